#include "app/TDdisp.h"
#include "lists/ListTexts.h"

#include <algorithm>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace korvane {
namespace {

QTableWidget *listGrid(const char *const (&headings)[4], QWidget *parent)
{
    auto *grid = new QTableWidget(0, 4, parent);
    grid->setObjectName("listGrid");
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setTabKeyNavigation(false);
    QStringList labels;
    for (const char *h : headings)
        labels << QString::fromUtf8(h);
    grid->setHorizontalHeaderLabels(labels);
    return grid;
}

void setRow(QTableWidget *grid, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        grid->setItem(row, c, new QTableWidgetItem(cells[c]));
}

// The source line and the three buttons around a grid.
QLineEdit *frame(QDialog *dialog, const char *label, QTableWidget *grid, const std::function<void()> &print,
                 const std::function<void()> &save)
{
    auto *layout = new QGridLayout(dialog);
    auto *source = new QLineEdit(dialog);
    source->setObjectName("sourceField");
    source->setReadOnly(true);
    layout->addWidget(new QLabel(QString::fromUtf8(label), dialog), 0, 0);
    layout->addWidget(source, 0, 1);
    layout->addWidget(grid, 1, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *caption, const char *objectName) {
        auto *b = new QPushButton(QString::fromUtf8(caption), dialog);
        b->setObjectName(objectName);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QObject::connect(button(listmsg::PrintButton, "printButton"), &QPushButton::clicked, dialog, print);
    QObject::connect(button(listmsg::CloseButton, "closeButton"), &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(button(listmsg::SaveButton, "saveButton"), &QPushButton::clicked, dialog, save);
    layout->addLayout(buttons, 2, 0, 1, 2);
    return source;
}

}  // namespace

TDdisp::TDdisp(const ListPorts &ports, PrintDevice &device, QWidget *parent)
    : QDialog(parent), ports_(ports), device_(device)
{
    setObjectName("TDdisp");
    setWindowTitle(QString::fromUtf8(listmsg::DcodeCaption));
    setModal(true);
    grid_ = listGrid(listmsg::DcodeColumns, this);
    grid_->setMinimumSize(240, 320);
    source_ = frame(
        this, listmsg::DcodeFileLabel, grid_, [this] { printDcodeList(ports_, device_, list_); },
        [this] { saveDcodeList(ports_, list_); });
}

void TDdisp::showList(const DcodeList &list)
{
    list_ = list;
    source_->setText(QString::fromStdString(list.source));
    grid_->setRowCount(static_cast<int>(list.rows.size()));
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const DcodeUsage &u = list.rows[static_cast<size_t>(r)];
        setRow(grid_, r,
               {QString::number(r + 1), QString::fromStdString(u.code), QString::number(u.flashes),
                QString::number(u.draws)});
    }
    fitColumns();
}

void TDdisp::fitColumns()
{
    if (grid_->width() < 201) {
        grid_->setColumnWidth(0, 28);
        return;
    }
    grid_->setColumnWidth(0, 39);
    for (int c = 1; c < 4; ++c)
        grid_->setColumnWidth(c, 50);
}

void TDdisp::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    fitColumns();
}

TTdisp::TTdisp(const ListPorts &ports, PrintDevice &device, QWidget *parent)
    : QDialog(parent), ports_(ports), device_(device)
{
    setObjectName("TTdisp");
    setWindowTitle(QString::fromUtf8(listmsg::ToolCaption));
    grid_ = listGrid(listmsg::ToolColumns, this);
    grid_->setRowCount(static_cast<int>(ToolListRows));
    for (int r = 0; r < grid_->rowCount(); ++r)
        setRow(grid_, r, {QString::number(r + 1), {}, {}, {}});
    grid_->setMinimumHeight(320);
    grid_->resize(240, 320);  // the form's grid, before any layout
    source_ = frame(
        this, listmsg::ToolFileLabel, grid_, [this] { printToolList(ports_, device_, list_); },
        [this] { saveToolList(ports_, list_); });
    fitColumns(FormGridWidth);
}

void TTdisp::showList(const ToolList &list)
{
    list_ = list;
    source_->setText(QString::fromStdString(list.source));
    grid_->setRowCount(static_cast<int>(list.gridRows()));
    for (int r = 0; r < grid_->rowCount(); ++r) {
        ToolUsage u = r < static_cast<int>(list.rows.size()) ? list.rows[static_cast<size_t>(r)] : ToolUsage{};
        // A tool without hits leaves its row empty, number and all, in the
        // list of a disk file.
        bool numbered = !u.tool.empty() || list.source == listmsg::DisplayedData;
        setRow(grid_, r,
               {numbered ? QString::number(r + 1) : QString(), QString::fromStdString(u.tool),
                u.tool.empty() ? QString() : QString::number(u.count), QString::fromStdString(u.diameter)});
    }
    // A slot row ("T02 長穴") is wider than a tool name: its column grows.
    fitColumns(FormGridWidth);
    int needed = 0;
    for (const ToolUsage &u : list.rows)
        needed = std::max(needed, grid_->fontMetrics().horizontalAdvance(QString::fromStdString(u.tool)) + 10);
    if (const int extra = needed - grid_->columnWidth(1); extra > 0) {
        grid_->setColumnWidth(1, needed);
        grid_->setFixedWidth(grid_->width() + extra);
    }
}

void TTdisp::fitColumns(int width)
{
    if (width < 208) {
        grid_->setFixedWidth(166);
        grid_->setColumnWidth(0, 28);
        return;
    }
    grid_->setFixedWidth(207);
    const int widths[] = {35, 48, 48, 48};
    for (int c = 0; c < 4; ++c)
        grid_->setColumnWidth(c, widths[c]);
}

}  // namespace korvane
