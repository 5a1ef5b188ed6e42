#include "app/TGerSel.h"
#include "app/FormWidgets.h"
#include "app/LayerColourBoxes.h"
#include "app/TGinFormat.h"
#include "app/TNinFormat.h"
#include "gerber/ApertureCommands.h"
#include "platform/QtColour.h"

#include <QApplication>
#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvane {
namespace {

const char *GerberCaption = "ｶﾞｰﾊﾞｰﾌｧｲﾙの設定";
const char *DrillCaption = "ﾄﾞﾘﾙﾌｧｲﾙの設定";

}  // namespace

TGerSel::TGerSel(Document &document, ApertureTable &table, MacroLibrary &macros, LayerColourBoxes &colours,
                 TGinFormat &gerberFormat, TNinFormat &drillFormat, DialogPorts ports, QWidget *parent)
    : QDialog(parent), doc_(document), table_(table), macros_(macros), colours_(colours), gerberFormat_(gerberFormat),
      drillFormat_(drillFormat), ports_(ports)
{
    setObjectName("TGerSel");
    setModal(true);

    modeField_ = new QLabel(this);
    modeField_->setObjectName("modeField");

    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    auto heading = [&](const char *text, int column) {
        auto *label = new QLabel(QString::fromUtf8(text), this);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, column);
    };
    heading("層", 0);
    heading("入 力 フ ァ イ ル 名", 1);
    heading("カラー", 2);
    for (int n = 1; n <= LayerCount; ++n) {
        auto *button = new QPushButton(QString::number(n), this);
        button->setObjectName(QStringLiteral("slotButton%1").arg(n));
        button->setFixedWidth(36);
        auto *name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("nameField%1").arg(n));
        name->setMinimumWidth(320);
        auto *box = new QPushButton(this);
        box->setObjectName(QStringLiteral("colourBox%1").arg(n));
        box->setFixedSize(48, 20);
        slotButtons_[static_cast<size_t>(n - 1)] = button;
        names_[static_cast<size_t>(n - 1)] = name;
        colourBoxes_[static_cast<size_t>(n - 1)] = box;
        grid->addWidget(button, n, 0);
        grid->addWidget(name, n, 1);
        grid->addWidget(box, n, 2);
        connect(button, &QPushButton::clicked, this, [this, n] { pick(n); });
        connect(box, &QPushButton::clicked, this, [this, n] { pickColour(n); });
    }
    connect(&colours_, &LayerColourBoxes::changed, this,
            [this](int n) { LayerColourBoxes::paintBox(colourBox(n), colours_.colour(n)); });

    aperture_ = new QPushButton(QStringLiteral("ｱﾊﾟｰﾁｬﾃｰﾌﾞﾙ"), this);
    aperture_->setObjectName("apertureTableButton");
    aperturePath_ = new QLineEdit(this);
    aperturePath_->setObjectName("aperturePathField");
    aperturePath_->setReadOnly(true);
    connect(aperture_, &QPushButton::clicked, this, [this] {
        LoadAptFileForSelection(table_, macros_, ports_.prompter, ports_.picker, ports_.status);
        aperturePath_->setText(QString::fromStdString(table_.filePath));
    });

    region_ = new RadioGroup(QStringLiteral("G36/G37ﾓｰﾄﾞ"), {QStringLiteral("塗潰し"), QStringLiteral("ﾊｯﾁﾝｸﾞ")},
                             "regionFillGroup", this, Qt::Horizontal);
    region_->setIndex(0);

    format_ = new QPushButton(QStringLiteral("ﾌｫｰﾏｯﾄ"), this);
    format_->setObjectName("formatButton");
    ok_ = new QPushButton(QStringLiteral("O  K"), this);
    ok_->setObjectName("okButton");
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel_->setObjectName("cancelButton");
    connect(format_, &QPushButton::clicked, this, &TGerSel::openFormat);
    connect(ok_, &QPushButton::clicked, this, &TGerSel::confirm);
    connect(cancel_, &QPushButton::clicked, this, &TGerSel::cancel);

    auto *tableRow = new QHBoxLayout;
    tableRow->addWidget(aperture_);
    tableRow->addWidget(aperturePath_, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(region_);
    buttons->addStretch();
    buttons->addWidget(format_);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(modeField_);
    layout->addLayout(tableRow);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setMode(LayerLoadKind::Gerber);
}

void TGerSel::setMode(LayerLoadKind kind)
{
    mode_ = kind;
    const char *caption = kind == LayerLoadKind::Gerber ? GerberCaption : DrillCaption;
    setWindowTitle(QString::fromUtf8(caption));
    modeField_->setText(QString::fromUtf8(caption));
    aperture_->setEnabled(kind == LayerLoadKind::Gerber);
    region_->setVisible(kind == LayerLoadKind::Gerber);
}

RegionFill TGerSel::regionFill() const { return region_->index() == 1 ? RegionFill::Hatch : RegionFill::Solid; }

void TGerSel::showEvent(QShowEvent *event)
{
    for (int n = 1; n <= LayerCount; ++n)
        LayerColourBoxes::paintBox(colourBox(n), colours_.colour(n));
    aperturePath_->setText(QString::fromStdString(table_.filePath));
    cleared_ = false;
    QDialog::showEvent(event);
}

void TGerSel::clearFields()
{
    for (QLineEdit *name : names_)
        name->clear();
    aperturePath_->clear();
}

LayerSelectionFields TGerSel::fields() const
{
    LayerSelectionFields f;
    for (int n = 1; n <= LayerCount; ++n) {
        f.names[static_cast<size_t>(n - 1)] = nameField(n)->text().toStdString();
        f.colours[static_cast<size_t>(n - 1)] = colours_.colour(n);
    }
    return f;
}

void TGerSel::showFields(const LayerSelectionFields &f)
{
    for (int n = 1; n <= LayerCount; ++n)
        nameField(n)->setText(QString::fromStdString(f.names[static_cast<size_t>(n - 1)]));
}

void TGerSel::pick(int slot)
{
    LayerSelectionFields f = fields();
    if (pickLayerFile(doc_, f, slot, mode_, ports_.picker))
        showFields(f);
}

std::optional<Colour> TGerSel::chooseColour(Colour current)
{
    QColor c = QColorDialog::getColor(toQColor(current), this);
    if (!c.isValid())
        return std::nullopt;
    return fromQColor(c);
}

void TGerSel::pickColour(int slot)
{
    // Shown at once in both dialogs' boxes; it becomes the slot's colour at OK.
    if (auto c = chooseColour(colours_.colour(slot)))
        colours_.pick(slot, *c);
}

void TGerSel::openFormat()
{
    // The loads read ASCII only: the tape codes stay unavailable meanwhile.
    if (mode_ == LayerLoadKind::Gerber) {
        gerberFormat_.setEbcdicEnabled(false);
        gerberFormat_.exec();
        gerberFormat_.setEbcdicEnabled(true);
    } else {
        drillFormat_.setEiaEnabled(false);
        drillFormat_.exec();
        drillFormat_.setEiaEnabled(true);
    }
}

void TGerSel::confirm()
{
    BusyGuard busy(ports_.status);
    LayerSelectionFields f = fields();
    LayerSelectionResult result = confirmLayerSelection(doc_, f, mode_, ports_.prompter);
    showFields(f);
    cleared_ = result.presentDataCleared;
    accept();
}

void TGerSel::cancel()
{
    LayerSelectionFields f = fields();
    cancelLayerSelection(doc_, f);
    showFields(f);
    reject();
}

}  // namespace korvane
