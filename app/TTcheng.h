#pragma once
// "Dcode番号の変更" / "Tool番号の変更": renumbering one CAM file by a change
// table typed into the grid or loaded from a .tbl file, and the report
// window of its run.
#include "app/DialogPorts.h"
#include "renumber/RenumberSession.h"

#include <QDialog>

class QLineEdit;
class QTableWidget;

namespace korvane {

// "変換結果レポート": every looked-up word of a run, one row each.
class RenumberReport : public QDialog {
    Q_OBJECT
public:
    explicit RenumberReport(QWidget *parent = nullptr);
    void showReport(const std::string &inputName, const std::string &outputName,
                    const std::vector<RenumberReportLine> &lines);
    QTableWidget *grid() const { return grid_; }

private:
    QLineEdit *input_;
    QLineEdit *output_;
    QTableWidget *grid_;
};

class TTcheng : public QDialog {
    Q_OBJECT
public:
    explicit TTcheng(DialogPorts ports, QWidget *parent = nullptr);

    // Sets the mode with its caption and row count and opens the dialog.
    int openIn(RenumberMode mode);
    void setMode(RenumberMode mode);
    const RenumberSession &session() const { return session_; }
    QTableWidget *grid() const { return grid_; }
    RenumberReport *reportWindow() const { return report_; }

    void loadTable();
    void saveTable();
    void selectFiles();
    void run();
    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showSession();

    DialogPorts ports_;
    RenumberSession session_;
    QTableWidget *grid_;
    QLineEdit *tableFile_;
    QLineEdit *input_;
    QLineEdit *output_;
    RenumberReport *report_;
    bool showing_ = false;
};

// The widths of the grid's three columns for the grid's width.
void setChangeGridColumns(QTableWidget *grid);

}  // namespace korvane
