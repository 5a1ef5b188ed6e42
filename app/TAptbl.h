#pragma once
// The aperture table window: the 990 rows in a grid (a model/view grid, so
// opening a full table creates no widget per row), the table's path and the
// load, save, print and import buttons. Rows are edited only by clicks.
#include "app/DialogPorts.h"
#include "core/PrintDevice.h"
#include "gerber/ApertureEditing.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace korvane {

class ApertureTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NumberColumn, DCodeColumn, ShapeColumn, SizeColumn, ColumnCount };

    explicit ApertureTableModel(const ApertureTable &table, QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void rowChanged(int rowNumber);
    void tableChanged();

private:
    const ApertureTable &table_;
};

struct SizeEntryResult {
    SizeEntryExit exit;
    std::string text;
};

class TAptbl : public QDialog {
    Q_OBJECT
public:
    TAptbl(ApertureTable &table, MacroLibrary &macros, DialogPorts ports, PrintDevice &printer,
           QWidget *parent = nullptr);

    // Shows the table as it is now (it may have been changed by a Gerber
    // load since the window was last open); called on every show.
    void refresh();

    // What a mouse click on a cell does (row 1 to 990, a Column).
    void clickCell(int rowNumber, int column);

    QTableView *grid() const { return grid_; }
    ApertureTableModel *model() const { return model_; }
    QLineEdit *pathField() const { return path_; }
    QPushButton *loadButton() const { return load_; }
    QPushButton *saveButton() const { return save_; }
    QPushButton *printButton() const { return print_; }
    QPushButton *gapButton() const { return gap_; }
    QPushButton *closeButton() const { return close_; }

protected:
    void showEvent(QShowEvent *event) override;

    // The small dialogs a click opens; tests replace them.
    virtual std::optional<std::string> pickShape(const ApertureDef &row);
    virtual SizeEntryResult enterSize(const ApertureDef &row);
    virtual void showMacroPreview(const ApertureDef &row);

private:
    void editSize(int rowNumber);

    ApertureTable &table_;
    MacroLibrary &macros_;
    DialogPorts ports_;
    PrintDevice &printer_;
    ApertureTableModel *model_;
    QTableView *grid_;
    QLineEdit *path_;
    QPushButton *load_;
    QPushButton *save_;
    QPushButton *print_;
    QPushButton *gap_;
    QPushButton *close_;
};

}  // namespace korvane
