#include "app/TNoutFormat.h"
#include "app/FormWidgets.h"
#include "core/FormatTexts.h"
#include "core/ParameterFile.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace korvane {

namespace t = formattext;

static QString q(const char *s) { return QString::fromUtf8(s); }

TNoutFormat::TNoutFormat(DrillOutFormat &format, DialogPorts ports, QWidget *parent)
    : QDialog(parent), format_(format), ports_(ports)
{
    setObjectName("TNoutFormat");
    setWindowTitle(q(t::DrillOutCaption));
    setModal(true);

    auto *templates = new QGroupBox(this);
    templates->setObjectName("commandTemplatesGroup");
    auto *templateLayout = new QFormLayout(templates);
    auto addTemplate = [&](const char *caption, const QString &name, std::string DrillOutFormat::*field) {
        auto *edit = new QLineEdit(templates);
        edit->setObjectName(name);
        templateLayout->addRow(q(caption), edit);
        connect(edit, &QLineEdit::textChanged, this,
                [this, field](const QString &s) { format_.*field = s.toStdString(); });
        return edit;
    };
    initCommand_ = addTemplate(t::InitCommand, "initCommandEdit", &DrillOutFormat::initCommand);
    toolSelect_ = addTemplate(t::ToolSelect, "toolSelectEdit", &DrillOutFormat::toolSelect);
    hitCommand_ = addTemplate(t::HitCommand, "hitCommandEdit", &DrillOutFormat::hitCommand);
    toolChange_ = addTemplate(t::ToolChange, "toolChangeEdit", &DrillOutFormat::toolChange);
    endCommand_ = addTemplate(t::EndCommand, "endCommandEdit", &DrillOutFormat::endCommand);

    coordinates_ =
        new RadioGroup(q(t::CoordinateSystem), {q(t::Absolute), q(t::Incremental)}, "coordinateModeGroup", this);
    eob_ = new RadioGroup(q(t::EobCode), {q(t::Attach), q(t::DoNotAttach)}, "eobCodeGroup", this);
    suppression_ =
        new RadioGroup(q(t::ZeroSuppress), {q(t::Leading), q(t::NoSuppression)}, "zeroSuppressionGroup", this);
    unit_ = new RadioGroup(q(t::InchMm), {q(t::MmSystemDrill), q(t::InchSystem)}, "unitGroup", this);
    toolDigits_ = new RadioGroup(q(t::ToolDigits), {q(t::ToolDigits1), q(t::ToolDigits2)}, "toolDigitsGroup", this);
    record_ = new RadioGroup(q(t::RecordLength), {q(t::EobNewline), q(t::FullRecordDrill)}, "recordModeGroup", this);
    zeroData_ = new RadioGroup(q(t::ZeroData), {q(t::ZeroDataAll), q(t::ZeroDataAddress), q(t::ZeroDataOmit)},
                               "zeroDataGroup", this);

    QGroupBox *digits = digitsGroup(q(t::DigitsOut), q(t::IntegerPartOut), q(t::DecimalPartOut), 5, integerDigits_,
                                    decimalDigits_, this);

    auto *offsets = new QGroupBox(q(t::Offset), this);
    offsets->setObjectName("offsetGroup");
    auto *offsetLayout = new QFormLayout(offsets);
    xOffset_ = new QLineEdit(offsets);
    xOffset_->setObjectName("xOffsetEdit");
    yOffset_ = new QLineEdit(offsets);
    yOffset_->setObjectName("yOffsetEdit");
    offsetLayout->addRow("X", xOffset_);
    offsetLayout->addRow("Y", yOffset_);

    auto *load = new QPushButton(q(t::Load), this);
    load->setObjectName("loadButton");
    auto *save = new QPushButton(q(t::Save), this);
    save->setObjectName("saveButton");
    auto *close = new QPushButton(q(t::Close), this);
    close->setObjectName("closeButton");
    close->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(templates, 0, 0, 1, 4);
    grid->addWidget(coordinates_, 1, 0);
    grid->addWidget(eob_, 1, 1);
    grid->addWidget(suppression_, 1, 2);
    grid->addWidget(unit_, 1, 3);
    grid->addWidget(toolDigits_, 2, 0);
    grid->addWidget(record_, 2, 1);
    grid->addWidget(zeroData_, 2, 2);
    grid->addWidget(digits, 2, 3);
    grid->addWidget(offsets, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(load);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 2, 1, 2, Qt::AlignBottom);

    connect(coordinates_, &RadioGroup::changed, this, [this](int i) {
        format_.coordinateMode = i == 0 ? CoordinateMode::Absolute : CoordinateMode::Incremental;
    });
    connect(eob_, &RadioGroup::changed, this, [this](int i) { format_.eobCode = i == 0; });
    connect(suppression_, &RadioGroup::changed, this,
            [this](int i) { format_.zeroSuppression = i == 0 ? ZeroSuppression::Leading : ZeroSuppression::None; });
    connect(unit_, &RadioGroup::changed, this,
            [this](int i) { format_.unit = i == 0 ? LengthUnit::Mm : LengthUnit::Inch; });
    connect(toolDigits_, &RadioGroup::changed, this, [this](int i) { format_.toolDigits = i == 0 ? 1 : 2; });
    connect(record_, &RadioGroup::changed, this,
            [this](int i) { format_.recordMode = i == 0 ? RecordMode::EobNewline : RecordMode::FullRecord; });
    connect(zeroData_, &RadioGroup::changed, this, [this](int i) {
        format_.zeroData = i == 0 ? ZeroDataMode::All : i == 1 ? ZeroDataMode::Address : ZeroDataMode::Omit;
    });
    connect(integerDigits_, &DigitsBox::digitsChanged, this,
            [this](const std::string &s) { format_.integerDigits = s; });
    connect(decimalDigits_, &DigitsBox::digitsChanged, this,
            [this](const std::string &s) { format_.decimalDigits = s; });
    connect(xOffset_, &QLineEdit::textChanged, this, [this](const QString &s) { format_.xOffset = s.toStdString(); });
    connect(yOffset_, &QLineEdit::textChanged, this, [this](const QString &s) { format_.yOffset = s.toStdString(); });
    connect(load, &QPushButton::clicked, this, [this] {
        if (loadParametersCommand(format_, ports_.picker, ports_.prompter, ports_.status))
            showRecord();
    });
    connect(save, &QPushButton::clicked, this,
            [this] { saveParametersCommand(format_, ports_.picker, ports_.prompter, ports_.status); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    showRecord();
}

void TNoutFormat::showRecord()
{
    auto setText = [](QLineEdit *edit, const std::string &text) {
        QSignalBlocker block(edit);
        edit->setText(QString::fromStdString(text));
    };
    setText(initCommand_, format_.initCommand);
    setText(toolSelect_, format_.toolSelect);
    setText(hitCommand_, format_.hitCommand);
    setText(toolChange_, format_.toolChange);
    setText(endCommand_, format_.endCommand);
    setText(xOffset_, format_.xOffset);
    setText(yOffset_, format_.yOffset);
    coordinates_->setIndex(format_.coordinateMode == CoordinateMode::Absolute ? 0 : 1);
    eob_->setIndex(format_.eobCode ? 0 : 1);
    suppression_->setIndex(format_.zeroSuppression == ZeroSuppression::Leading ? 0 : 1);
    unit_->setIndex(format_.unit == LengthUnit::Mm ? 0 : 1);
    toolDigits_->setIndex(format_.toolDigits == 1 ? 0 : 1);
    record_->setIndex(format_.recordMode == RecordMode::EobNewline ? 0 : 1);
    zeroData_->setIndex(static_cast<int>(format_.zeroData));
    integerDigits_->setDigits(format_.integerDigits);
    decimalDigits_->setDigits(format_.decimalDigits);
}

void TNoutFormat::showEvent(QShowEvent *event)
{
    showRecord();
    QDialog::showEvent(event);
}

}  // namespace korvane
