#include "app/TGinFormat.h"
#include "app/FormWidgets.h"
#include "core/FormatTexts.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

namespace korvane {

namespace t = formattext;

static QString q(const char *s) { return QString::fromUtf8(s); }

TGinFormat::TGinFormat(GerberInFormat &format, QWidget *parent) : QDialog(parent), format_(format)
{
    setObjectName("TGinFormat");
    setWindowTitle(q(t::GerberInCaption));
    setModal(true);

    dialect_ = new RadioGroup(q(t::Format), {q(t::Rs274D), q(t::Rs274X)}, "dialectGroup", this);
    code_ = new RadioGroup(q(t::Code), {q(t::Ascii), q(t::Ebcdic)}, "codeGroup", this);
    unit_ = new RadioGroup(q(t::Unit), {q(t::UnitMmIn), q(t::UnitInchIn)}, "unitGroup", this);
    suppression_ = new RadioGroup(q(t::ZeroSuppress), {q(t::LZ), q(t::TZ)}, "zeroSuppressionGroup", this);
    coordinates_ =
        new RadioGroup(q(t::CoordinateSystem), {q(t::Absolute), q(t::Incremental)}, "coordinateModeGroup", this);
    arc_ = new RadioGroup(q(t::Arc), {q(t::FullCircle), q(t::QuarterCircle)}, "arcModeGroup", this);

    QGroupBox *digits =
        digitsGroup(q(t::DigitsIn), q(t::IntegerPartIn), q(t::DecimalPartIn), 6, integerDigits_, decimalDigits_, this);

    close_ = new QPushButton(q(t::Close), this);
    close_->setObjectName("closeButton");
    close_->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(dialect_, 0, 0);
    grid->addWidget(code_, 0, 1);
    grid->addWidget(unit_, 0, 2);
    grid->addWidget(suppression_, 1, 0);
    grid->addWidget(coordinates_, 1, 1);
    grid->addWidget(arc_, 1, 2);
    grid->addWidget(digits, 2, 0, 1, 2);
    grid->addWidget(close_, 2, 2, Qt::AlignBottom | Qt::AlignRight);

    connect(dialect_, &RadioGroup::changed, this, [this](int i) {
        format_.dialect = i == 0 ? GerberDialect::Rs274D : GerberDialect::Rs274X;
        emit dialectChanged();
    });
    connect(code_, &RadioGroup::changed, this,
            [this](int i) { format_.charCode = i == 0 ? CharCode::Ascii : CharCode::Ebcdic; });
    connect(unit_, &RadioGroup::changed, this,
            [this](int i) { format_.unit = i == 0 ? LengthUnit::Mm : LengthUnit::Inch; });
    connect(suppression_, &RadioGroup::changed, this,
            [this](int i) { format_.zeroSuppression = i == 0 ? ZeroSuppression::Leading : ZeroSuppression::Trailing; });
    connect(coordinates_, &RadioGroup::changed, this, [this](int i) {
        format_.coordinateMode = i == 0 ? CoordinateMode::Absolute : CoordinateMode::Incremental;
    });
    connect(arc_, &RadioGroup::changed, this,
            [this](int i) { format_.arcMode = i == 0 ? ArcMode::FullCircle : ArcMode::QuarterCircle; });
    connect(integerDigits_, &DigitsBox::digitsChanged, this,
            [this](const std::string &s) { format_.integerDigits = s; });
    connect(decimalDigits_, &DigitsBox::digitsChanged, this,
            [this](const std::string &s) { format_.decimalDigits = s; });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    showRecord();
}

void TGinFormat::showRecord()
{
    dialect_->setIndex(format_.dialect == GerberDialect::Rs274D ? 0 : 1);
    code_->setIndex(format_.charCode == CharCode::Ebcdic ? 1 : 0);
    unit_->setIndex(format_.unit == LengthUnit::Mm ? 0 : 1);
    suppression_->setIndex(format_.zeroSuppression == ZeroSuppression::Trailing ? 1 : 0);
    coordinates_->setIndex(format_.coordinateMode == CoordinateMode::Absolute ? 0 : 1);
    arc_->setIndex(format_.arcMode == ArcMode::FullCircle ? 0 : 1);
    integerDigits_->setDigits(format_.integerDigits);
    decimalDigits_->setDigits(format_.decimalDigits);
}

void TGinFormat::setEbcdicEnabled(bool enabled)
{
    if (!enabled) {
        format_.charCode = CharCode::Ascii;
        code_->setIndex(0);
    }
    code_->button(1)->setEnabled(enabled);
}

void TGinFormat::showEvent(QShowEvent *event)
{
    showRecord();
    QDialog::showEvent(event);
}

}  // namespace korvane
