#include "app/TAptbl.h"
#include "app/ApertureMacroPreview.h"
#include "app/ApertureShapePicker.h"
#include "app/ApertureSizeEntry.h"
#include "gerber/ApertureCommands.h"
#include "gerber/ApertureList.h"
#include "gerber/ApertureTexts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace korvane {
namespace {

QString q(const char *s) { return QString::fromUtf8(s); }
QString q(const std::string &s) { return QString::fromStdString(s); }

}  // namespace

ApertureTableModel::ApertureTableModel(const ApertureTable &table, QObject *parent)
    : QAbstractTableModel(parent), table_(table)
{
}

int ApertureTableModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ApertureRowCount; }

int ApertureTableModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ApertureTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= ApertureRowCount)
        return {};
    const ApertureDef &row = table_.row(index.row() + 1);
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case NumberColumn: return index.row() + 1;
        case DCodeColumn: return q(row.dcodeLabel);
        case ShapeColumn: return q(row.shape);
        case SizeColumn: return q(row.size);
        default: return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == NumberColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    // Rows that cannot be edited look it.
    if (role == Qt::ForegroundRole && index.column() >= ShapeColumn && isRowLocked(row))
        return QColor(Qt::darkGray);
    return {};
}

QVariant ApertureTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NumberColumn: return q(aptmsg::HeadingNumber);
    case DCodeColumn: return q(aptmsg::HeadingDCode);
    case ShapeColumn: return q(aptmsg::HeadingShape);
    case SizeColumn: return q(aptmsg::HeadingSize);
    default: return {};
    }
}

Qt::ItemFlags ApertureTableModel::flags(const QModelIndex &index) const
{
    // Never edited in place: clicks open the pick list and the size box.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ApertureTableModel::rowChanged(int rowNumber)
{
    emit dataChanged(index(rowNumber - 1, 0), index(rowNumber - 1, ColumnCount - 1));
}

void ApertureTableModel::tableChanged()
{
    beginResetModel();
    endResetModel();
}

TAptbl::TAptbl(ApertureTable &table, MacroLibrary &macros, DialogPorts ports, PrintDevice &printer, QWidget *parent)
    : QDialog(parent), table_(table), macros_(macros), ports_(ports), printer_(printer)
{
    setObjectName("TAptbl");
    setModal(true);

    model_ = new ApertureTableModel(table_, this);
    grid_ = new QTableView(this);
    grid_->setObjectName("apertureGrid");
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->verticalHeader()->setVisible(false);
    // Fixed row heights keep a 990-row table instant to open and scroll.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid_->setColumnWidth(ApertureTableModel::NumberColumn, 48);
    grid_->setColumnWidth(ApertureTableModel::DCodeColumn, 64);
    grid_->setColumnWidth(ApertureTableModel::ShapeColumn, 130);
    grid_->horizontalHeader()->setStretchLastSection(true);
    connect(grid_, &QTableView::clicked, this,
            [this](const QModelIndex &index) { clickCell(index.row() + 1, index.column()); });

    auto *pathLabel = new QLabel(q(aptmsg::PathLabel), this);
    path_ = new QLineEdit(this);
    path_->setObjectName("tablePathField");
    path_->setReadOnly(true);
    path_->setMinimumWidth(220);
    pathLabel->setBuddy(path_);

    auto button = [this](const char *text, const char *name) {
        auto *b = new QPushButton(q(text), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    load_ = button(aptmsg::ButtonLoad, "loadButton");
    save_ = button(aptmsg::ButtonSave, "saveButton");
    print_ = button(aptmsg::ButtonPrint, "printButton");
    gap_ = button(aptmsg::ButtonGap, "gapImportButton");
    close_ = button(aptmsg::ButtonClose, "closeButton");

    connect(load_, &QPushButton::clicked, this, [this] {
        LoadAptFile(table_, macros_, ports_.prompter, ports_.picker, ports_.status);
        refresh();
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        SaveAptFile(table_, macros_, ports_.prompter, ports_.picker, ports_.status);
        refresh();
    });
    connect(print_, &QPushButton::clicked, this,
            [this] { PrintApertureList(table_, printer_, ports_.prompter, ports_.status); });
    connect(gap_, &QPushButton::clicked, this, [this] {
        ImportGapFile(table_, ports_.prompter, ports_.picker, ports_.status);
        refresh();
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto *side = new QVBoxLayout;
    side->addWidget(pathLabel);
    side->addWidget(path_);
    side->addSpacing(12);
    for (QPushButton *b : {load_, save_, print_, gap_})
        side->addWidget(b);
    side->addStretch();
    side->addWidget(close_);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(side);
    resize(720, 560);
    refresh();
}

void TAptbl::refresh()
{
    // Rows an RS-274X file's %AD blocks wrote are no longer the table file
    // the title names: its save must not propose to overwrite that file.
    if (table_.filePath == aptmsg::Unsaved)
        table_.title = aptmsg::DefaultTitle;
    setWindowTitle(q(table_.title));
    path_->setText(q(table_.filePath));
    path_->setCursorPosition(path_->text().size());  // the file name, not the folder
    model_->tableChanged();
}

void TAptbl::showEvent(QShowEvent *event)
{
    refresh();
    QDialog::showEvent(event);
}

void TAptbl::clickCell(int rowNumber, int column)
{
    if (rowNumber < 1 || rowNumber > ApertureRowCount)
        return;
    ApertureDef &row = table_.row(rowNumber);
    switch (column) {
    case ApertureTableModel::DCodeColumn:
        if (isMacroRow(row))
            showMacroPreview(row);
        break;
    case ApertureTableModel::ShapeColumn: {
        if (isRowLocked(row))
            break;
        auto pick = pickShape(row);
        if (!pick)
            break;
        bool needsSize = applyShapePick(row, *pick);
        model_->rowChanged(rowNumber);
        if (needsSize)
            editSize(rowNumber);
        break;
    }
    case ApertureTableModel::SizeColumn:
        if (!isRowLocked(row))
            editSize(rowNumber);
        break;
    default: break;
    }
}

void TAptbl::editSize(int rowNumber)
{
    ApertureDef &row = table_.row(rowNumber);
    SizeEntryResult result = enterSize(row);
    applySizeEntry(row, result.exit, result.text);
    model_->rowChanged(rowNumber);
}

std::optional<std::string> TAptbl::pickShape(const ApertureDef &row)
{
    return ApertureShapePicker::choose(row.shape, this);
}

SizeEntryResult TAptbl::enterSize(const ApertureDef &row)
{
    ApertureSizeEntry box(row.dcodeLabel, row.size, this);
    box.exec();
    return {box.exitKind(), box.typedText()};
}

void TAptbl::showMacroPreview(const ApertureDef &row)
{
    ApertureMacroPreview preview(row, macros_, this);
    preview.exec();
}

}  // namespace korvane
