#pragma once
// The D-code usage list window (modal) and the tool usage list window
// (modeless for the displayed data, modal for a disk file), with their
// print, save and close buttons.
#include "lists/ListCommands.h"

#include <QDialog>

class QLineEdit;
class QTableWidget;

namespace korvane {

class PrintDevice;

class TDdisp : public QDialog {
    Q_OBJECT
public:
    TDdisp(const ListPorts &ports, PrintDevice &device, QWidget *parent = nullptr);
    void showList(const DcodeList &list);
    const DcodeList &list() const { return list_; }
    QTableWidget *grid() const { return grid_; }
    QLineEdit *sourceField() const { return source_; }
    // The column widths by the grid's width.
    void fitColumns();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    ListPorts ports_;
    PrintDevice &device_;
    DcodeList list_;
    QLineEdit *source_;
    QTableWidget *grid_;
};

class TTdisp : public QDialog {
    Q_OBJECT
public:
    TTdisp(const ListPorts &ports, PrintDevice &device, QWidget *parent = nullptr);
    void showList(const ToolList &list);
    const ToolList &list() const { return list_; }
    QTableWidget *grid() const { return grid_; }
    QLineEdit *sourceField() const { return source_; }
    // The grid's width and columns by the width the form gives it.
    void fitColumns(int width);
    static constexpr int FormGridWidth = 240;

private:
    ListPorts ports_;
    PrintDevice &device_;
    ToolList list_;
    QLineEdit *source_;
    QTableWidget *grid_;
};

}  // namespace korvane
