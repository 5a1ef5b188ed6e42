#pragma once
// "ドリル印刷": the drill files with the Gerber file to draw under each
// chart, the print settings and the print itself.
#include "app/DialogPorts.h"
#include "core/Formats.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"
#include "print/DrillPrintJob.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace korvane {

class RadioGroup;
class TGinFormat;
class TNinFormat;

class TDrprint : public QDialog {
    Q_OBJECT
public:
    TDrprint(PrintDefaults &defaults, DrillInFormat &drillFormat, TNinFormat &drillFormatDialog, ApertureTable &table,
             MacroLibrary &macros, GerberInFormat &gerberFormat, TGinFormat &gerberFormatDialog, DialogPorts ports,
             PrintDevice &printer, PrintProgress &progress, QWidget *parent = nullptr);

    // Row n of the overlay list belongs to row n of the drill list.
    const std::vector<DrillPrintRow> &rows() const { return rows_; }
    // A scale or offset that is not a number throws with the platform's text.
    DrillPrintSettings printSettings() const;

    void chooseDrillFiles();
    // A double click on a drill row: the Gerber file to draw under it.
    void chooseOverlay(int row);
    void print();
    // "閉じる": both lists are emptied.
    void closeDialog();

    QListWidget *drillList() const { return drillList_; }
    QListWidget *overlayList() const { return overlayList_; }
    QPushButton *button(const QString &objectName) const;
    RadioGroup *scaleGroup() const { return scaleMode_; }
    RadioGroup *titleGroup() const { return title_; }
    QLineEdit *scaleField() const { return scale_; }
    QCheckBox *keepBox() const { return keep_; }
    QLineEdit *offsetXField() const { return offsetX_; }
    QLineEdit *offsetYField() const { return offsetY_; }

signals:
    void apertureRequested();
    void printerSetupRequested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showLists();
    void setOverlayButtonsEnabled(bool enabled);
    void openDrillFormat();
    void openGerberFormat();

    PrintDefaults &defaults_;
    DrillInFormat &drillFormat_;
    TNinFormat &drillFormatDialog_;
    ApertureTable &apertures_;
    MacroLibrary &macros_;
    GerberInFormat &gerberFormat_;
    TGinFormat &gerberFormatDialog_;
    DialogPorts ports_;
    PrintDevice &printer_;
    PrintProgress &progress_;
    std::vector<DrillPrintRow> rows_;

    QListWidget *drillList_;
    QListWidget *overlayList_;
    QPushButton *apertureButton_;
    QPushButton *overlayFormatButton_;
    RadioGroup *scaleMode_;
    QLineEdit *scale_;
    QCheckBox *keep_;
    RadioGroup *title_;
    QLineEdit *offsetX_;
    QLineEdit *offsetY_;
};

}  // namespace korvane
