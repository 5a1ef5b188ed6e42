#include "app/TNinFormat.h"
#include "app/FormWidgets.h"
#include "core/FormatTexts.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

namespace korvane {

namespace t = formattext;

static QString q(const char *s) { return QString::fromUtf8(s); }

TNinFormat::TNinFormat(DrillInFormat &format, QWidget *parent) : QDialog(parent), format_(format)
{
    setObjectName("TNinFormat");
    setWindowTitle(q(t::DrillInCaption));
    setModal(true);

    code_ = new RadioGroup(q(t::Code), {q(t::Ascii), q(t::Eia)}, "codeGroup", this);
    unit_ = new RadioGroup(q(t::Unit), {q(t::UnitMmIn), q(t::UnitInchIn)}, "unitGroup", this);
    suppression_ = new RadioGroup(q(t::ZeroSuppress), {q(t::LZ), q(t::TZ)}, "zeroSuppressionGroup", this);
    coordinates_ =
        new RadioGroup(q(t::CoordinateSystem), {q(t::Absolute), q(t::Incremental)}, "coordinateModeGroup", this);
    x0y0_ = new RadioGroup(q(t::X0Y0Data), {q(t::X0Y0NoHit), q(t::X0Y0Hit)}, "x0y0Group", this);

    QGroupBox *digits =
        digitsGroup(q(t::DigitsIn), q(t::IntegerPartIn), q(t::DecimalPartIn), 5, integerDigits_, decimalDigits_, this);

    auto *close = new QPushButton(q(t::Close), this);
    close->setObjectName("closeButton");
    close->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(code_, 0, 0);
    grid->addWidget(unit_, 0, 1);
    grid->addWidget(suppression_, 0, 2);
    grid->addWidget(coordinates_, 1, 0);
    grid->addWidget(x0y0_, 1, 1);
    grid->addWidget(digits, 1, 2);
    grid->addWidget(close, 2, 2, Qt::AlignRight);

    connect(code_, &RadioGroup::changed, this,
            [this](int i) { format_.charCode = i == 0 ? CharCode::Ascii : CharCode::Eia; });
    connect(unit_, &RadioGroup::changed, this,
            [this](int i) { format_.unit = i == 0 ? LengthUnit::Mm : LengthUnit::Inch; });
    connect(suppression_, &RadioGroup::changed, this,
            [this](int i) { format_.zeroSuppression = i == 0 ? ZeroSuppression::Leading : ZeroSuppression::Trailing; });
    connect(coordinates_, &RadioGroup::changed, this, [this](int i) {
        format_.coordinateMode = i == 0 ? CoordinateMode::Absolute : CoordinateMode::Incremental;
    });
    connect(x0y0_, &RadioGroup::changed, this, [this](int i) { format_.x0y0IsHit = i == 1; });
    connect(integerDigits_, &DigitsBox::digitsChanged, this,
            [this](const std::string &s) { format_.integerDigits = s; });
    connect(decimalDigits_, &DigitsBox::digitsChanged, this,
            [this](const std::string &s) { format_.decimalDigits = s; });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    showRecord();
}

void TNinFormat::showRecord()
{
    code_->setIndex(format_.charCode == CharCode::Eia ? 1 : 0);
    unit_->setIndex(format_.unit == LengthUnit::Mm ? 0 : 1);
    suppression_->setIndex(format_.zeroSuppression == ZeroSuppression::Trailing ? 1 : 0);
    coordinates_->setIndex(format_.coordinateMode == CoordinateMode::Absolute ? 0 : 1);
    x0y0_->setIndex(format_.x0y0IsHit ? 1 : 0);
    integerDigits_->setDigits(format_.integerDigits);
    decimalDigits_->setDigits(format_.decimalDigits);
}

void TNinFormat::setEiaEnabled(bool enabled) { code_->button(1)->setEnabled(enabled); }

void TNinFormat::showEvent(QShowEvent *event)
{
    showRecord();
    QDialog::showEvent(event);
}

}  // namespace korvane
