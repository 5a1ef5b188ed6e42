#include "app/TTcheng.h"
#include "core/Encoding.h"
#include "renumber/RenumberTexts.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvane {

namespace rm = renumbermsg;

static QString q(const char *s) { return QString::fromUtf8(s); }
static QString q(const std::string &s) { return QString::fromStdString(s); }

void setChangeGridColumns(QTableWidget *grid)
{
    if (grid->width() <= 160) {
        int text = std::max(0, (grid->viewport()->width() - 28) / 2);
        grid->setColumnWidth(0, 28);
        grid->setColumnWidth(1, text);
        grid->setColumnWidth(2, text);
    } else {
        grid->setColumnWidth(0, 35);
        grid->setColumnWidth(1, 52);
        grid->setColumnWidth(2, 52);
    }
}

static QTableWidget *changeGrid(const QString &name, QWidget *parent)
{
    auto *grid = new QTableWidget(0, 3, parent);
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels({q(rm::NumberColumn), q(rm::BeforeColumn), q(rm::AfterColumn)});
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->horizontalHeader()->setStretchLastSection(false);
    grid->setFixedWidth(165);
    grid->setMinimumHeight(300);
    return grid;
}

static void setRowCount(QTableWidget *grid, int rows)
{
    grid->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        auto *number = new QTableWidgetItem(QString::number(r + 1));
        number->setFlags(Qt::ItemIsEnabled);
        grid->setItem(r, 0, number);
    }
}

static void setCell(QTableWidget *grid, int row, int column, const std::string &text)
{
    auto *item = grid->item(row, column);
    if (!item)
        grid->setItem(row, column, new QTableWidgetItem(q(text)));
    else
        item->setText(q(text));
}

static QLineEdit *nameField(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setMinimumWidth(200);
    return edit;
}

RenumberReport::RenumberReport(QWidget *parent) : QDialog(parent)
{
    setObjectName("RenumberReport");
    setWindowTitle(q(rm::ReportCaption));
    setModal(true);
    input_ = nameField("reportInputName", this);
    output_ = nameField("reportOutputName", this);
    grid_ = changeGrid("reportGrid", this);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *ok = new QPushButton(q("O  K"), this);
    ok->setObjectName("okButton");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    auto *names = new QFormLayout;
    names->addRow(q(rm::InputLabel), input_);
    names->addRow(q(rm::OutputLabel), output_);
    layout->addLayout(names);
    layout->addWidget(grid_, 1, Qt::AlignHCenter);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void RenumberReport::showReport(const std::string &inputName, const std::string &outputName,
                                const std::vector<RenumberReportLine> &lines)
{
    input_->setText(q(inputName));
    output_->setText(q(outputName));
    // Every line is shown, however many the file gave.
    setRowCount(grid_, static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int row = static_cast<int>(i);
        setCell(grid_, row, 1, lines[i].before);
        setCell(grid_, row, 2, lines[i].after);
        for (int c = 1; c < 3; ++c)
            grid_->item(row, c)->setFlags(Qt::ItemIsEnabled);
    }
    setChangeGridColumns(grid_);
}

TTcheng::TTcheng(DialogPorts ports, QWidget *parent) : QDialog(parent), ports_(ports)
{
    setObjectName("TTcheng");
    setModal(true);

    auto *group = new QGroupBox(q(rm::TableGroup), this);
    group->setObjectName("changeTableGroup");
    grid_ = changeGrid("changeTableGrid", group);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(grid_);
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (showing_ || item->column() == 0)
            return;
        ChangeRow &row = session_.table.rows.at(static_cast<std::size_t>(item->row()));
        (item->column() == 1 ? row.before : row.after) = std::string(trimBlanks(item->text().toStdString()));
    });

    tableFile_ = nameField("tableFileName", this);
    input_ = nameField("inputFileName", this);
    output_ = nameField("outputFileName", this);
    auto button = [this](const char *caption, const char *name, void (TTcheng::*slot)()) {
        auto *b = new QPushButton(q(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    QPushButton *load = button("読  込", "loadTableButton", &TTcheng::loadTable);
    QPushButton *save = button("保  存", "saveTableButton", &TTcheng::saveTable);
    QPushButton *select = button("CAMﾌｧｲﾙ選択", "selectFilesButton", &TTcheng::selectFiles);
    QPushButton *runButton = button("実  行", "runButton", &TTcheng::run);
    auto *close = new QPushButton(q("閉じる"), this);
    close->setObjectName("closeButton");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &TTcheng::reject);

    auto *side = new QVBoxLayout;
    side->addWidget(new QLabel(q(rm::TableFileLabel), this));
    side->addWidget(tableFile_);
    auto *tableButtons = new QHBoxLayout;
    tableButtons->addWidget(load);
    tableButtons->addWidget(save);
    side->addLayout(tableButtons);
    side->addSpacing(16);
    side->addWidget(new QLabel(q(rm::InputLabel), this));
    side->addWidget(input_);
    side->addWidget(new QLabel(q(rm::OutputLabel), this));
    side->addWidget(output_);
    side->addWidget(select);
    side->addStretch(1);
    auto *runButtons = new QHBoxLayout;
    runButtons->addWidget(runButton);
    runButtons->addWidget(close);
    side->addLayout(runButtons);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(side);

    report_ = new RenumberReport(this);
    setMode(RenumberMode::DCode);
}

void TTcheng::setMode(RenumberMode mode)
{
    session_.setMode(mode);
    setWindowTitle(q(mode == RenumberMode::DCode ? rm::DCodeCaption : rm::ToolCaption));
    showSession();
}

int TTcheng::openIn(RenumberMode mode)
{
    if (mode != session_.mode)
        setMode(mode);
    return exec();
}

void TTcheng::loadTable()
{
    if (session_.loadTable(ports_.prompter, ports_.picker, ports_.status))
        showSession();
}

void TTcheng::saveTable() { session_.saveTable(ports_.prompter, ports_.picker, ports_.status); }

void TTcheng::selectFiles()
{
    if (session_.selectFiles(ports_.picker))
        showSession();
}

void TTcheng::run()
{
    RenumberReportLines report;
    if (!session_.run(ports_.prompter, ports_.status, report))
        return;
    report_->showReport(fileNameOf(session_.inputPath), fileNameOf(session_.outputPath), report.lines);
    report_->exec();
}

void TTcheng::reject()
{
    session_.clear();
    showSession();
    QDialog::reject();
}

void TTcheng::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    setChangeGridColumns(grid_);
}

void TTcheng::showSession()
{
    showing_ = true;
    int rows = static_cast<int>(session_.table.rows.size());
    if (grid_->rowCount() != rows)
        setRowCount(grid_, rows);
    for (int r = 0; r < rows; ++r) {
        const ChangeRow &row = session_.table.rows[static_cast<std::size_t>(r)];
        setCell(grid_, r, 1, row.before);
        setCell(grid_, r, 2, row.after);
    }
    tableFile_->setText(q(session_.tableFileName));
    input_->setText(q(fileNameOf(session_.inputPath)));
    output_->setText(q(fileNameOf(session_.outputPath)));
    setChangeGridColumns(grid_);
    showing_ = false;
}

}  // namespace korvane
