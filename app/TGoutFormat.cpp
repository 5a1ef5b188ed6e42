#include "app/TGoutFormat.h"
#include "app/FormWidgets.h"
#include "core/FormatTexts.h"
#include "core/ParameterFile.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace korvane {

namespace t = formattext;

static QString q(const char *s) { return QString::fromUtf8(s); }

static QGroupBox *textGroup(const char *title, QLineEdit *&edit, const QString &name, QWidget *parent)
{
    auto *box = new QGroupBox(q(title), parent);
    box->setObjectName(name + "Group");
    auto *layout = new QVBoxLayout(box);
    edit = new QLineEdit(box);
    edit->setObjectName(name + "Edit");
    layout->addWidget(edit);
    return box;
}

TGoutFormat::TGoutFormat(GerberOutFormat &format, const GerberInFormat &input, DialogPorts ports, QWidget *parent)
    : QDialog(parent), format_(format), input_(input), ports_(ports)
{
    setObjectName("TGoutFormat");
    setWindowTitle(q(t::GerberOutCaption));
    setModal(true);

    auto *initBox = textGroup(t::InitCommand, initCommand_, "initCommand", this);
    auto *endBox = textGroup(t::EndCommand, endCommand_, "endCommand", this);
    dialect_ = new RadioGroup(q(t::Format), {q(t::Rs274D), q(t::Rs274X)}, "dialectGroup", this);
    record_ = new RadioGroup(q(t::RecordLength), {q(t::EobNewline), q(t::FullRecordGerber)}, "recordModeGroup", this);
    coordinates_ =
        new RadioGroup(q(t::CoordinateSystem), {q(t::Absolute), q(t::Incremental)}, "coordinateModeGroup", this);
    modal_ =
        new RadioGroup(q(t::Modal), {q(t::ModalG), q(t::ModalD), q(t::ModalGD), q(t::ModalNone)}, "modalGroup", this);
    eob_ = new RadioGroup(q(t::EobCode), {q(t::Attach), q(t::DoNotAttach)}, "eobCodeGroup", this);
    g54_ = new RadioGroup(q(t::G54), {q(t::Attach), q(t::DoNotAttach)}, "g54Group", this);
    zeroData_ = new RadioGroup(q(t::ZeroData), {q(t::ZeroDataAll), q(t::ZeroDataAddress), q(t::ZeroDataOmit)},
                               "zeroDataGroup", this);
    suppression_ =
        new RadioGroup(q(t::ZeroSuppress), {q(t::Leading), q(t::NoSuppression)}, "zeroSuppressionGroup", this);
    unit_ = new RadioGroup(q(t::InchMm), {q(t::MmSystemGerber), q(t::InchSystem)}, "unitGroup", this);

    QGroupBox *digits = digitsGroup(q(t::DigitsOut), q(t::IntegerPartOut), q(t::DecimalPartOut), 5, integerDigits_,
                                    decimalDigits_, this);

    auto *load = new QPushButton(q(t::Load), this);
    load->setObjectName("loadButton");
    auto *save = new QPushButton(q(t::Save), this);
    save->setObjectName("saveButton");
    aperture_ = new QPushButton(q(t::Aperture), this);
    aperture_->setObjectName("apertureButton");
    aperture_->setEnabled(false);
    auto *close = new QPushButton(q(t::Close), this);
    close->setObjectName("closeButton");
    close->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(initBox, 0, 0, 1, 2);
    grid->addWidget(endBox, 0, 2, 1, 2);
    grid->addWidget(dialect_, 1, 0);
    grid->addWidget(record_, 1, 1);
    grid->addWidget(coordinates_, 1, 2);
    grid->addWidget(modal_, 1, 3, 2, 1);
    grid->addWidget(eob_, 2, 0);
    grid->addWidget(g54_, 2, 1);
    grid->addWidget(zeroData_, 2, 2);
    grid->addWidget(suppression_, 3, 0);
    grid->addWidget(unit_, 3, 1);
    grid->addWidget(digits, 3, 2, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(load);
    buttons->addWidget(save);
    buttons->addWidget(aperture_);
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addLayout(buttons, 4, 0, 1, 4);

    connect(initCommand_, &QLineEdit::textChanged, this,
            [this](const QString &s) { format_.initCommand = s.toStdString(); });
    connect(endCommand_, &QLineEdit::textChanged, this,
            [this](const QString &s) { format_.endCommand = s.toStdString(); });
    connect(dialect_, &RadioGroup::changed, this, [this](int i) {
        format_.dialect = i == 0 ? GerberDialect::Rs274D : GerberDialect::Rs274X;
        updateApertureButton();
        emit dialectChanged();
    });
    connect(record_, &RadioGroup::changed, this,
            [this](int i) { format_.recordMode = i == 0 ? RecordMode::EobNewline : RecordMode::FullRecord; });
    connect(coordinates_, &RadioGroup::changed, this, [this](int i) {
        format_.coordinateMode = i == 0 ? CoordinateMode::Absolute : CoordinateMode::Incremental;
    });
    connect(modal_, &RadioGroup::changed, this, [this](int i) {
        static const ModalMode modes[] = {ModalMode::G, ModalMode::D, ModalMode::GD, ModalMode::None};
        format_.modal = modes[i < 0 || i > 3 ? 3 : i];
    });
    connect(eob_, &RadioGroup::changed, this, [this](int i) { format_.eobCode = i == 0; });
    connect(g54_, &RadioGroup::changed, this, [this](int i) { format_.g54 = i == 0; });
    connect(zeroData_, &RadioGroup::changed, this, [this](int i) {
        format_.zeroData = i == 0 ? ZeroDataMode::All : i == 1 ? ZeroDataMode::Address : ZeroDataMode::Omit;
    });
    connect(suppression_, &RadioGroup::changed, this,
            [this](int i) { format_.zeroSuppression = i == 0 ? ZeroSuppression::Leading : ZeroSuppression::None; });
    connect(unit_, &RadioGroup::changed, this,
            [this](int i) { format_.unit = i == 0 ? LengthUnit::Mm : LengthUnit::Inch; });
    connect(integerDigits_, &DigitsBox::digitsChanged, this,
            [this](const std::string &s) { format_.integerDigits = s; });
    connect(decimalDigits_, &DigitsBox::digitsChanged, this,
            [this](const std::string &s) { format_.decimalDigits = s; });
    connect(load, &QPushButton::clicked, this, &TGoutFormat::loadParameters);
    connect(save, &QPushButton::clicked, this, &TGoutFormat::saveParameters);
    connect(aperture_, &QPushButton::clicked, this, &TGoutFormat::apertureRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    showRecord();
}

void TGoutFormat::showRecord()
{
    {
        QSignalBlocker a(initCommand_), b(endCommand_);
        initCommand_->setText(QString::fromStdString(format_.initCommand));
        endCommand_->setText(QString::fromStdString(format_.endCommand));
    }
    dialect_->setIndex(format_.dialect == GerberDialect::Rs274D ? 0 : 1);
    record_->setIndex(format_.recordMode == RecordMode::EobNewline ? 0 : 1);
    coordinates_->setIndex(format_.coordinateMode == CoordinateMode::Absolute ? 0 : 1);
    modal_->setIndex(static_cast<int>(format_.modal));
    eob_->setIndex(format_.eobCode ? 0 : 1);
    g54_->setIndex(format_.g54 ? 0 : 1);
    zeroData_->setIndex(static_cast<int>(format_.zeroData));
    suppression_->setIndex(format_.zeroSuppression == ZeroSuppression::Leading ? 0 : 1);
    unit_->setIndex(format_.unit == LengthUnit::Mm ? 0 : 1);
    integerDigits_->setDigits(format_.integerDigits);
    decimalDigits_->setDigits(format_.decimalDigits);
    updateApertureButton();
}

void TGoutFormat::updateApertureButton() { aperture_->setEnabled(apertureButtonEnabled(input_, format_)); }

void TGoutFormat::showEvent(QShowEvent *event)
{
    showRecord();
    QDialog::showEvent(event);
}

void TGoutFormat::loadParameters()
{
    GerberDialect before = format_.dialect;
    if (loadParametersCommand(format_, ports_.picker, ports_.prompter, ports_.status)) {
        showRecord();
        if (format_.dialect != before)
            emit dialectChanged();
    }
}

void TGoutFormat::saveParameters() { saveParametersCommand(format_, ports_.picker, ports_.prompter, ports_.status); }

}  // namespace korvane
