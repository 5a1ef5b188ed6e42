#pragma once
// The cross-creation dialog: the creation table, the file names, the format
// buttons and "実  行", in the direction the menu command opened it.
#include "app/DialogPorts.h"
#include "core/Formats.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"
#include "renumber/CrossCreation.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace korvane {

class TGinFormat;
class TGoutFormat;
class TNinFormat;
class TNoutFormat;
class TGNreport;

struct CrossFormatDialogs {
    TGinFormat &gerberIn;
    TGoutFormat &gerberOut;
    TNinFormat &drillIn;
    TNoutFormat &drillOut;
};

class TGNcheng : public QDialog {
    Q_OBJECT
public:
    TGNcheng(Settings &settings, const ApertureTable &apertures, const MacroLibrary &macros,
             const CrossFormatDialogs &formats, const DialogPorts &ports, QWidget *parent = nullptr);

    // Sets the direction, the title, the headings and the row numbers; the
    // other cells keep what they held. While drill-to-Gerber is open the
    // Gerber input dialect is held at RS-274D.
    void prepare(CreationDirection direction);
    int openFor(CreationDirection direction);

    // The buttons' actions.
    void loadTable();
    void saveTable();
    void pickFiles();
    void run();

    CreationTable table() const;
    void setTable(const CreationTable &table);
    CreationDirection direction() const { return direction_; }
    QTableWidget *grid() const { return grid_; }
    TGNreport *report() const { return report_; }
    const std::string &sourcePath() const { return source_; }
    const std::string &targetPath() const { return target_; }

    void done(int result) override;

private:
    void showNames();

    Settings &settings_;
    const ApertureTable &apertures_;
    const MacroLibrary &macros_;
    CrossFormatDialogs formats_;
    DialogPorts ports_;
    CreationDirection direction_ = CreationDirection::GerberToDrill;
    std::string tableName_;
    std::string source_, target_;
    bool dialectHeld_ = false;

    QTableWidget *grid_;
    QLineEdit *tableNameField_;
    QLineEdit *sourceNameField_;
    QLineEdit *targetNameField_;
    TGNreport *report_;
};

}  // namespace korvane
