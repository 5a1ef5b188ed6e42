#include "app/TGNcheng.h"
#include "app/TGNreport.h"
#include "app/TGinFormat.h"
#include "app/TGoutFormat.h"
#include "app/TNinFormat.h"
#include "app/TNoutFormat.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/FileFilters.h"
#include "renumber/CrossTexts.h"

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
namespace {

QLineEdit *nameField(const QString &objectName, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setReadOnly(true);
    return field;
}

QString text(const char *utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TGNcheng::TGNcheng(Settings &settings, const ApertureTable &apertures, const MacroLibrary &macros,
                   const CrossFormatDialogs &formats, const DialogPorts &ports, QWidget *parent)
    : QDialog(parent), settings_(settings), apertures_(apertures), macros_(macros), formats_(formats), ports_(ports)
{
    setObjectName("TGNcheng");
    auto *layout = new QHBoxLayout(this);

    auto *tableGroup = new QGroupBox(QStringLiteral("ﾁｪﾝｼﾞﾃｰﾌﾞﾙ"), this);
    tableGroup->setObjectName("creationTableGroup");
    auto *tableLayout = new QVBoxLayout(tableGroup);
    grid_ = new QTableWidget(CreationTableRows, 3, tableGroup);
    grid_->setObjectName("creationTableGrid");
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(20);
    // Tab leaves the table for the buttons, as in the other forms.
    grid_->setTabKeyNavigation(false);
    grid_->setColumnWidth(0, 35);
    grid_->setColumnWidth(1, 64);
    grid_->setColumnWidth(2, 64);
    grid_->setMinimumSize(190, 360);
    for (int r = 0; r < CreationTableRows; ++r) {
        auto *number = new QTableWidgetItem(QString::number(r + 1));
        number->setFlags(number->flags() & ~Qt::ItemIsEditable);
        grid_->setItem(r, 0, number);
    }
    tableLayout->addWidget(grid_);
    layout->addWidget(tableGroup);

    auto *side = new QVBoxLayout;
    auto *names = new QGridLayout;
    tableNameField_ = nameField("tableNameField", this);
    sourceNameField_ = nameField("sourceNameField", this);
    targetNameField_ = nameField("targetNameField", this);
    names->addWidget(new QLabel(text(crossmsg::LabelTableFile), this), 0, 0);
    names->addWidget(tableNameField_, 1, 0);
    names->addWidget(new QLabel(text(crossmsg::LabelSource), this), 2, 0);
    names->addWidget(sourceNameField_, 3, 0);
    names->addWidget(new QLabel(text(crossmsg::LabelTarget), this), 4, 0);
    names->addWidget(targetNameField_, 5, 0);
    side->addLayout(names);
    auto button = [&](const QString &caption, const char *objectName) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(objectName);
        b->setAutoDefault(false);
        side->addWidget(b);
        return b;
    };
    connect(button(QStringLiteral("読  込"), "loadTableButton"), &QPushButton::clicked, this, &TGNcheng::loadTable);
    connect(button(QStringLiteral("保  存"), "saveTableButton"), &QPushButton::clicked, this, &TGNcheng::saveTable);
    connect(button(QStringLiteral("CAMﾌｧｲﾙ選択"), "pickFilesButton"), &QPushButton::clicked, this,
            &TGNcheng::pickFiles);
    connect(button(QStringLiteral("入力ﾌｫｰﾏｯﾄ"), "inputFormatButton"), &QPushButton::clicked, this, [this] {
        if (direction_ == CreationDirection::GerberToDrill)
            formats_.gerberIn.exec();
        else
            formats_.drillIn.exec();
    });
    connect(button(QStringLiteral("出力ﾌｫｰﾏｯﾄ"), "outputFormatButton"), &QPushButton::clicked, this, [this] {
        if (direction_ == CreationDirection::GerberToDrill)
            formats_.drillOut.exec();
        else
            formats_.gerberOut.exec();
    });
    side->addStretch();
    connect(button(QStringLiteral("実  行"), "runButton"), &QPushButton::clicked, this, &TGNcheng::run);
    connect(button(QStringLiteral("閉じる"), "closeButton"), &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(side);

    report_ = new TGNreport(this);
}

void TGNcheng::prepare(CreationDirection direction)
{
    direction_ = direction;
    bool toDrill = direction == CreationDirection::GerberToDrill;
    setWindowTitle(text(toDrill ? crossmsg::TitleGerberToDrill : crossmsg::TitleDrillToGerber));
    grid_->setHorizontalHeaderLabels({text(crossmsg::ColumnNumber),
                                      text(toDrill ? crossmsg::ColumnDcode : crossmsg::ColumnTool),
                                      text(toDrill ? crossmsg::ColumnTool : crossmsg::ColumnDcode)});
    for (int r = 0; r < CreationTableRows; ++r)
        grid_->item(r, 0)->setText(QString::number(r + 1));
    // The Gerber output format offers its aperture table only for RS-274D
    // input: drill data are read, and RS-274X output needs the table.
    dialectHeld_ = false;
    if (!toDrill && settings_.gerberIn.dialect == GerberDialect::Rs274X) {
        settings_.gerberIn.dialect = GerberDialect::Rs274D;
        dialectHeld_ = true;
    }
    formats_.gerberIn.showRecord();
    formats_.gerberOut.updateApertureButton();
    showNames();
}

int TGNcheng::openFor(CreationDirection direction)
{
    prepare(direction);
    return exec();
}

void TGNcheng::done(int result)
{
    if (dialectHeld_) {
        settings_.gerberIn.dialect = GerberDialect::Rs274X;
        dialectHeld_ = false;
        formats_.gerberIn.showRecord();
        formats_.gerberOut.updateApertureButton();
    }
    QDialog::done(result);
}

CreationTable TGNcheng::table() const
{
    CreationTable t;
    t.tableName = tableName_;
    for (int r = 0; r < CreationTableRows; ++r) {
        auto cell = [&](int c) {
            QTableWidgetItem *item = grid_->item(r, c);
            return item ? std::string(trimBlanks(item->text().toStdString())) : std::string();
        };
        t.rows[static_cast<size_t>(r)] = {cell(1), cell(2)};
    }
    return t;
}

void TGNcheng::setTable(const CreationTable &t)
{
    tableName_ = t.tableName;
    for (int r = 0; r < CreationTableRows; ++r) {
        const CreationRow &row = t.rows[static_cast<size_t>(r)];
        grid_->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(row.source)));
        grid_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(row.target)));
    }
    showNames();
}

void TGNcheng::showNames()
{
    tableNameField_->setText(QString::fromStdString(tableName_));
    sourceNameField_->setText(QString::fromStdString(fileNameOf(source_)));
    targetNameField_->setText(QString::fromStdString(fileNameOf(target_)));
}

void TGNcheng::loadTable()
{
    FileDialogSpec request;
    request.title = crossmsg::TableOpenTitle;
    request.filter = crossmsg::TableFilter;
    std::optional<std::string> path = ports_.picker.openFile(request);
    if (!path)
        return;
    BusyGuard busy(ports_.status);
    CreationTable t = table();
    try {
        loadCreationTable(*path, t);
    } catch (const KorvaneError &e) {
        ports_.prompter.error(e.text());
        return;
    }
    setTable(t);
}

void TGNcheng::saveTable()
{
    FileDialogSpec request;
    request.title = crossmsg::TableSaveTitle;
    request.filter = crossmsg::TableFilter;
    request.defaultExtension = "tbl";
    request.proposedName = "*.tbl";
    request.confirmOverwrite = true;
    std::optional<std::string> path = ports_.picker.saveFile(request);
    if (!path)
        return;
    BusyGuard busy(ports_.status);
    try {
        saveCreationTable(*path, table(), direction_);
    } catch (const KorvaneError &e) {
        ports_.prompter.error(e.text());
    }
}

void TGNcheng::pickFiles()
{
    bool toDrill = direction_ == CreationDirection::GerberToDrill;
    FileDialogSpec open;
    open.title = crossmsg::SourceTitle;
    open.filter = toDrill ? filters::GerberOpen : filters::DrillOpen;
    std::optional<std::string> source = ports_.picker.openFile(open);
    if (!source)
        return;
    source_ = *source;
    FileDialogSpec save;
    save.title = crossmsg::TargetTitle;
    save.filter = toDrill ? crossmsg::DrillSaveFilter : crossmsg::GerberSaveFilter;
    save.defaultExtension = toDrill ? "drl" : "ger";
    save.proposedName = toDrill ? "*.drl" : "*.ger";
    save.confirmOverwrite = true;
    if (std::optional<std::string> target = ports_.picker.saveFile(save))
        target_ = *target;
    showNames();
}

void TGNcheng::run()
{
    CreationTable t = table();
    CrossCreationContext ctx{settings_.gerberIn, settings_.gerberOut, settings_.drillIn,
                             settings_.drillOut, apertures_,          macros_,
                             ports_.prompter};
    std::optional<CreationReport> result = runCrossCreation(direction_, ctx, ports_.status, t, source_, target_);
    formats_.gerberIn.showRecord();
    formats_.gerberOut.showRecord();
    if (!result)
        return;
    report_->showReport(direction_, *result);
    report_->exec();
}

}  // namespace korvane
