#pragma once
// "ガーバー印刷": the file grid of the Gerber print with its pick lists, the
// print settings, the choice of files, the print parameter file and the
// print itself.
#include "app/DialogPorts.h"
#include "core/Formats.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"
#include "print/GerberPrintGrid.h"
#include "print/GerberPrintJob.h"

#include <QDialog>
#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace korvane {

class RadioGroup;
class TGinFormat;

class TGbprint : public QDialog {
    Q_OBJECT
public:
    TGbprint(PrintDefaults &defaults, ApertureTable &table, MacroLibrary &macros, GerberInFormat &format,
             TGinFormat &formatDialog, DialogPorts ports, PrintDevice &printer, PrintProgress &progress,
             QWidget *parent = nullptr);

    const GerberPrintGrid &grid() const { return grid_; }
    GerberPrintGrid &grid() { return grid_; }
    // The dialog's settings as the print job takes them; a scale or offset
    // that is not a number throws with the platform's text.
    GerberPrintSettings printSettings() const;

    // A click on a grid cell: columns 2 to 12 open their pick list.
    void cellClicked(int row, int column);
    void chooseFiles();
    void loadParameters();
    void saveParameters();
    void print();
    // "閉じる": the grid and the file list are emptied.
    void closeDialog();

    QTableWidget *fileGrid() const { return table_; }
    QPushButton *colourBox(int row) const { return colourBoxes_[static_cast<size_t>(row - 1)]; }
    QPushButton *colourButton() const { return colourButton_; }
    QPushButton *button(const QString &objectName) const;
    RadioGroup *scaleGroup() const { return scaleMode_; }
    RadioGroup *titleGroup() const { return title_; }
    RadioGroup *modeGroup() const { return mode_; }
    RadioGroup *regionGroup() const { return region_; }
    QLineEdit *scaleField() const { return scale_; }
    QCheckBox *keepBox() const { return keep_; }
    QLineEdit *offsetXField() const { return offsetX_; }
    QLineEdit *offsetYField() const { return offsetY_; }

    // The column widths of a grid of the given width.
    static std::array<int, GerberPrintGrid::Columns> columnWidths(int gridWidth);
    // The same, each widened to its widest text in the font in use.
    std::array<int, GerberPrintGrid::Columns> fittedColumnWidths(int gridWidth) const;

signals:
    void apertureRequested();
    void printerSetupRequested();

protected:
    // The pick list of a column: the entry chosen, or empty when the list
    // was closed without one. Tests replace it.
    virtual std::string pickEntry(int column, const std::string &current);
    virtual std::optional<Colour> chooseColour(Colour current);
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showGrid();
    void showColours();
    void layOutGrid();
    void pickColour(int row);
    void openFormat();

    PrintDefaults &defaults_;
    ApertureTable &apertures_;
    MacroLibrary &macros_;
    GerberInFormat &format_;
    TGinFormat &formatDialog_;
    DialogPorts ports_;
    PrintDevice &printer_;
    PrintProgress &progress_;
    GerberPrintGrid grid_;

    QTableWidget *table_;
    std::array<QPushButton *, GerberPrintGrid::Rows> colourBoxes_{};
    QPushButton *colourButton_;
    RadioGroup *scaleMode_;
    QLineEdit *scale_;
    QCheckBox *keep_;
    RadioGroup *title_;
    RadioGroup *mode_;
    RadioGroup *region_;
    QLineEdit *offsetX_;
    QLineEdit *offsetY_;
    QPushButton *chooseButton_;
};

}  // namespace korvane
