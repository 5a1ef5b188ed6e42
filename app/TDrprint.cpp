#include "app/TDrprint.h"
#include "app/FormWidgets.h"
#include "app/TGinFormat.h"
#include "app/TNinFormat.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "print/PrintTexts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace korvane {
namespace {

QString q(const char *text) { return QString::fromUtf8(text); }

// Digits, ".", "-" (and the editing keys, which a validator never sees).
QLineEdit *numberField(const QString &text, const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("[-0-9.]*"), e));
    e->setFixedWidth(70);
    return e;
}

}  // namespace

TDrprint::TDrprint(PrintDefaults &defaults, DrillInFormat &drillFormat, TNinFormat &drillFormatDialog,
                   ApertureTable &table, MacroLibrary &macros, GerberInFormat &gerberFormat,
                   TGinFormat &gerberFormatDialog, DialogPorts ports, PrintDevice &printer, PrintProgress &progress,
                   QWidget *parent)
    : QDialog(parent), defaults_(defaults), drillFormat_(drillFormat), drillFormatDialog_(drillFormatDialog),
      apertures_(table), macros_(macros), gerberFormat_(gerberFormat), gerberFormatDialog_(gerberFormatDialog),
      ports_(ports), printer_(printer), progress_(progress)
{
    setObjectName("TDrprint");
    setWindowTitle(q(printmsg::DrillPrintCaption));
    setModal(true);

    auto makeButton = [this](const QString &caption, const QString &name, QWidget *parent) {
        auto *b = new QPushButton(caption, parent);
        b->setObjectName(name);
        return b;
    };

    auto *drillGroup = new QGroupBox(QStringLiteral("ドリルファイル"), this);
    drillGroup->setObjectName("drillGroup");
    drillList_ = new QListWidget(drillGroup);
    drillList_->setObjectName("drillList");
    QPushButton *chooseButton = makeButton(QStringLiteral("ﾌｧｲﾙ選択"), "chooseDrillButton", drillGroup);
    QPushButton *drillFormatButton = makeButton(QStringLiteral("ﾌｫｰﾏｯﾄ"), "drillFormatButton", drillGroup);
    {
        auto *layout = new QVBoxLayout(drillGroup);
        layout->addWidget(drillList_);
        auto *buttons = new QHBoxLayout;
        buttons->addWidget(chooseButton);
        buttons->addWidget(drillFormatButton);
        buttons->addStretch();
        layout->addLayout(buttons);
    }

    auto *overlayGroup = new QGroupBox(QStringLiteral("合成用ガーバーファイル"), this);
    overlayGroup->setObjectName("overlayGroup");
    overlayList_ = new QListWidget(overlayGroup);
    overlayList_->setObjectName("overlayList");
    overlayList_->setSelectionMode(QAbstractItemView::NoSelection);
    apertureButton_ = makeButton(QStringLiteral("ｱﾊﾟｰﾁｬﾃｰﾌﾞﾙ"), "apertureButton", overlayGroup);
    overlayFormatButton_ = makeButton(QStringLiteral("ﾌｫｰﾏｯﾄ"), "overlayFormatButton", overlayGroup);
    {
        auto *layout = new QVBoxLayout(overlayGroup);
        layout->addWidget(overlayList_);
        auto *buttons = new QHBoxLayout;
        buttons->addWidget(apertureButton_);
        buttons->addWidget(overlayFormatButton_);
        buttons->addStretch();
        layout->addLayout(buttons);
    }
    setOverlayButtonsEnabled(false);

    scaleMode_ = new RadioGroup(QStringLiteral("印刷ｽｹｰﾙ"), {QStringLiteral("ｽｹｰﾙ指定"), QStringLiteral("自動ｽｹｰﾙ")},
                                "scaleGroup", this);
    scale_ = numberField(QStringLiteral("1.00"), "scaleField", this);
    keep_ = new QCheckBox(this);
    keep_->setObjectName("keepScaleBox");
    {
        auto *row = new QHBoxLayout;
        row->addWidget(scale_);
        row->addWidget(keep_);
        row->addStretch();
        static_cast<QVBoxLayout *>(scaleMode_->layout())->addLayout(row);
    }
    scaleMode_->setIndex(0);
    title_ = new RadioGroup(QStringLiteral("ﾀｲﾄﾙ印刷"), {QStringLiteral("有り"), QStringLiteral("無し")}, "titleGroup",
                            this, Qt::Horizontal);
    auto *offsets = new QGroupBox(QStringLiteral("ｵﾌｾｯﾄ印刷"), this);
    offsets->setObjectName("offsetGroup");
    {
        auto *grid = new QGridLayout(offsets);
        offsetX_ = numberField(QStringLiteral("0"), "offsetXField", offsets);
        offsetY_ = numberField(QStringLiteral("0"), "offsetYField", offsets);
        grid->addWidget(new QLabel(QStringLiteral("X :"), offsets), 0, 0);
        grid->addWidget(offsetX_, 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm"), offsets), 0, 2);
        grid->addWidget(new QLabel(QStringLiteral("Y :"), offsets), 1, 0);
        grid->addWidget(offsetY_, 1, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm"), offsets), 1, 2);
    }
    QPushButton *printerButton = makeButton(QStringLiteral("ﾌﾟﾘﾝﾀ設定"), "printerSetupButton", this);
    QPushButton *printButton = makeButton(QStringLiteral("印  刷"), "printButton", this);
    QPushButton *closeButton = makeButton(QStringLiteral("閉じる"), "closeButton", this);

    connect(chooseButton, &QPushButton::clicked, this, &TDrprint::chooseDrillFiles);
    connect(drillFormatButton, &QPushButton::clicked, this, &TDrprint::openDrillFormat);
    connect(drillList_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { chooseOverlay(drillList_->row(item)); });
    connect(apertureButton_, &QPushButton::clicked, this, &TDrprint::apertureRequested);
    connect(overlayFormatButton_, &QPushButton::clicked, this, &TDrprint::openGerberFormat);
    connect(printerButton, &QPushButton::clicked, this, &TDrprint::printerSetupRequested);
    connect(printButton, &QPushButton::clicked, this, &TDrprint::print);
    connect(closeButton, &QPushButton::clicked, this, &TDrprint::closeDialog);
    connect(title_, &RadioGroup::changed, this, [this](int i) { defaults_.drillTitle = i == 0; });

    auto *lists = new QHBoxLayout;
    lists->addWidget(drillGroup, 1);
    lists->addWidget(overlayGroup, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(scaleMode_);
    side->addWidget(title_);
    side->addWidget(offsets);
    side->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(lists, 1);
    top->addLayout(side);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(printerButton);
    bottom->addWidget(printButton);
    bottom->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(760, 360);
}

QPushButton *TDrprint::button(const QString &objectName) const { return findChild<QPushButton *>(objectName); }

void TDrprint::showEvent(QShowEvent *event)
{
    title_->setIndex(defaults_.drillTitle ? 0 : 1);
    QDialog::showEvent(event);
}

void TDrprint::showLists()
{
    drillList_->clear();
    overlayList_->clear();
    for (const DrillPrintRow &row : rows_) {
        drillList_->addItem(QString::fromStdString(row.drillPath));
        overlayList_->addItem(QString::fromStdString(row.overlayPath));
    }
}

void TDrprint::setOverlayButtonsEnabled(bool enabled)
{
    apertureButton_->setEnabled(enabled);
    overlayFormatButton_->setEnabled(enabled);
}

void TDrprint::chooseDrillFiles()
{
    FileDialogSpec request;
    request.title = printmsg::ChooseDrillTitle;
    request.filter = printmsg::DrillFilter;
    std::vector<std::string> paths = ports_.picker.openFiles(request);
    if (paths.empty())
        return;
    BusyGuard busy(ports_.status);
    rows_.clear();
    for (std::string &p : paths)
        rows_.push_back({std::move(p), {}});
    showLists();
}

void TDrprint::chooseOverlay(int row)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    FileDialogSpec request;
    request.title = printmsg::ChooseGerberTitle;
    request.filter = printmsg::OverlayFilter;
    std::optional<std::string> path = ports_.picker.openFile(request);
    if (!path)
        return;
    rows_[static_cast<std::size_t>(row)].overlayPath = *path;
    showLists();
    drillList_->setCurrentRow(row);
    setOverlayButtonsEnabled(true);
}

DrillPrintSettings TDrprint::printSettings() const
{
    DrillPrintSettings s;
    s.scale.mode = scaleMode_->index() == 1 ? ScaleMode::Automatic : ScaleMode::Given;
    s.scale.typedScale = parseReal(scale_->text().toStdString());
    s.scale.keep = keep_->isChecked();
    s.scale.offsetXMm = parseReal(offsetX_->text().toStdString());
    s.scale.offsetYMm = parseReal(offsetY_->text().toStdString());
    s.title = defaults_.drillTitle;
    return s;
}

void TDrprint::print()
{
    DrillPrintSettings settings;
    try {
        settings = printSettings();
    } catch (const KorvaneError &e) {
        ports_.prompter.error(e.text());
        return;
    }
    DrillPrintContext context{rows_,         settings,        drillFormat_,  apertures_, macros_,
                              gerberFormat_, ports_.prompter, ports_.status, progress_,  printer_};
    runDrillPrint(context);
}

void TDrprint::closeDialog()
{
    rows_.clear();
    showLists();
    setOverlayButtonsEnabled(false);
    if (isVisible())
        done(QDialog::Accepted);
}

void TDrprint::openDrillFormat()
{
    // The print reads ASCII only: EIA stays unavailable meanwhile.
    drillFormat_.charCode = CharCode::Ascii;
    drillFormatDialog_.setEiaEnabled(false);
    drillFormatDialog_.exec();
    drillFormatDialog_.setEiaEnabled(true);
}

void TDrprint::openGerberFormat()
{
    gerberFormat_.charCode = CharCode::Ascii;
    gerberFormatDialog_.setEbcdicEnabled(false);
    gerberFormatDialog_.exec();
    gerberFormatDialog_.setEbcdicEnabled(true);
}

}  // namespace korvane
