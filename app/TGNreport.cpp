#include "app/TGNreport.h"
#include "renumber/CrossTexts.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>

namespace korvane {

TGNreport::TGNreport(QWidget *parent) : QDialog(parent)
{
    setObjectName("TGNreport");
    setWindowTitle(QString::fromUtf8(crossmsg::ReportCaption));
    auto *layout = new QGridLayout(this);
    inputName_ = new QLabel(this);
    inputName_->setObjectName("inputNameLabel");
    outputName_ = new QLabel(this);
    outputName_->setObjectName("outputNameLabel");
    layout->addWidget(new QLabel(QString::fromUtf8(crossmsg::LabelReportInput), this), 0, 0);
    layout->addWidget(inputName_, 0, 1);
    layout->addWidget(new QLabel(QString::fromUtf8(crossmsg::LabelReportOutput), this), 1, 0);
    layout->addWidget(outputName_, 1, 1);
    grid_ = new QTableWidget(0, 4, this);
    grid_->setObjectName("reportGrid");
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setMinimumSize(360, 300);
    layout->addWidget(grid_, 2, 0, 1, 2);
    auto *ok = new QPushButton(QStringLiteral("O  K"), this);
    ok->setObjectName("okButton");
    layout->addWidget(ok, 3, 1, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, [this] {
        clear();
        accept();
    });
}

void TGNreport::clear()
{
    inputName_->clear();
    outputName_->clear();
    grid_->setRowCount(0);
}

void TGNreport::showReport(CreationDirection direction, const CreationReport &report)
{
    bool toDrill = direction == CreationDirection::GerberToDrill;
    inputName_->setText(QString::fromStdString(report.inputPath));
    outputName_->setText(QString::fromStdString(report.outputPath));
    grid_->setHorizontalHeaderLabels({QString::fromUtf8(crossmsg::ReportNumber),
                                      QString::fromUtf8(toDrill ? crossmsg::ReportDcode : crossmsg::ReportTool),
                                      QString::fromUtf8(toDrill ? crossmsg::ReportTool : crossmsg::ReportDcode),
                                      QString::fromUtf8(crossmsg::ReportCount)});
    grid_->setRowCount(static_cast<int>(report.rows.size()));
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const CreationReportRow &row = report.rows[static_cast<size_t>(r)];
        const QString cells[] = {QString::number(r + 1), QString::fromStdString(row.source),
                                 QString::fromStdString(row.target), QString::number(row.count)};
        for (int c = 0; c < 4; ++c)
            grid_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    fitToContents();
}

// Every column and both file names whole: the grid as wide as its columns
// (and the scroll bar beside them), the window as wide as the longest name.
void TGNreport::fitToContents()
{
    grid_->resizeColumnsToContents();
    int width = 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < grid_->columnCount(); ++c) {
        grid_->setColumnWidth(c, grid_->columnWidth(c) + 12);
        width += grid_->columnWidth(c);
    }
    grid_->setMinimumWidth(std::max(360, width));
    for (QLabel *name : {inputName_, outputName_})
        name->setMinimumWidth(name->sizeHint().width());
    adjustSize();
}

}  // namespace korvane
