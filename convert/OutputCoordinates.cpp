#include "convert/OutputCoordinates.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "core/Numbers.h"

#include <algorithm>
#include <charconv>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;

constexpr double PowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// An optional "-" and up to 18 digits, the form nearly every word has.
bool plainInteger(std::string_view text, std::int64_t &out)
{
    size_t i = 0, n = text.size();
    bool negative = n > 0 && text[0] == '-';
    if (negative)
        i = 1;
    if (n == i || n - i > 18)
        return false;
    std::int64_t v = 0;
    for (; i < n; ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    out = negative ? -v : v;
    return true;
}

double offsetOf(const std::string &text)
{
    if (text.empty() || text == "0")
        return 0;
    return parseReal(text);
}

}  // namespace

namespace {

// The fields both pairs of records share.
template <typename In, typename Out>
CoordinateFormats sharedFormats(const In &in, const Out &out)
{
    CoordinateFormats f;
    f.inUnit = in.unit;
    f.inDecimalDigits = in.decimalDigits;
    f.outUnit = out.unit;
    f.outIntegerDigits = out.integerDigits;
    f.outDecimalDigits = out.decimalDigits;
    f.outZeroSuppression = out.zeroSuppression;
    f.outCoordinateMode = out.coordinateMode;
    return f;
}

}  // namespace

CoordinateFormats coordinateFormats(const GerberInFormat &in, const GerberOutFormat &out)
{
    CoordinateFormats f = sharedFormats(in, out);
    f.mode = ConversionMode::Gerber;
    return f;
}

CoordinateFormats coordinateFormats(const DrillInFormat &in, const DrillOutFormat &out, ConversionMode mode)
{
    CoordinateFormats f = sharedFormats(in, out);
    f.xOffset = out.xOffset;
    f.yOffset = out.yOffset;
    f.mode = mode;
    return f;
}

int decimalDigitCount(const std::string &text)
{
    std::int32_t v = 0;
    if (!tryParseInt(text, v) || v < 1 || v > 6)
        throw KorvaneError(msg::format(msg::NotAnInteger, text));
    return v;
}

CoordinateConverter::CoordinateConverter(const CoordinateFormats &f)
{
    inScale_ = PowersOfTen[decimalDigitCount(f.inDecimalDigits)];
    int outDecimals = decimalDigitCount(f.outDecimalDigits);
    outScale_ = PowersOfTen[outDecimals];
    std::int32_t integers = parseInt(f.outIntegerDigits);
    if (integers < 0 || integers > 20)
        throw KorvaneError(msg::format(msg::NotAnInteger, f.outIntegerDigits));
    total_ = integers + outDecimals;
    inchToMm_ = f.inUnit == LengthUnit::Inch && f.outUnit == LengthUnit::Mm;
    mmToInch_ = f.inUnit == LengthUnit::Mm && f.outUnit == LengthUnit::Inch;
    bias_ = f.inUnit == LengthUnit::Mm && f.outUnit == LengthUnit::Mm;
    if (f.mode == ConversionMode::Drill) {
        xOffset_ = offsetOf(f.xOffset);
        yOffset_ = offsetOf(f.yOffset);
    }
    zeroSuppression_ = f.outZeroSuppression;
    padAbsolute_ = f.outZeroSuppression == ZeroSuppression::None && f.outCoordinateMode == CoordinateMode::Absolute;
}

std::int64_t CoordinateConverter::value(std::string_view text, char letter) const
{
    return valueOfInput(inputValue(text), letter);
}

double CoordinateConverter::inputValue(std::string_view text) const
{
    std::int64_t k;
    if (plainInteger(text, k))
        return static_cast<double>(k) / inScale_;
    if (text.find('.') != std::string_view::npos)
        return parseReal(text);
    return static_cast<double>(parseInt64(text)) / inScale_;
}

std::int64_t CoordinateConverter::valueOfInput(double v, char letter) const
{
    if (inchToMm_)
        v *= InchToMm;
    if (letter == 'X')
        v += xOffset_;
    else if (letter == 'Y')
        v += yOffset_;
    v *= outScale_;
    if (mmToInch_)
        v /= InchToMm;
    // Far beyond any board, and small enough that the writers' differences
    // of two positions never overflow.
    v = std::clamp(v, -1e15, 1e15);
    return roundToInt64(bias_ ? v + 0.1 : v);
}

std::string CoordinateConverter::convert(std::string_view text, char letter) const
{
    char buffer[24];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value(text, letter));
    std::string out(buffer, r.ptr);
    return padAbsolute_ ? pad(std::move(out)) : out;
}

std::string CoordinateConverter::pad(std::string text) const { return padCoordinate(std::move(text), total_); }

std::string CoordinateConverter::outputNumber(std::int64_t v) const
{
    char buffer[24];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    std::string text(buffer, r.ptr);
    if (zeroSuppression_ == ZeroSuppression::Leading)
        return text;
    text = pad(std::move(text));
    if (zeroSuppression_ == ZeroSuppression::Trailing) {
        while (text.size() > 1 && text.back() == '0' && text[text.size() - 2] >= '0' && text[text.size() - 2] <= '9')
            text.pop_back();
    }
    return text;
}

std::string convertCoordinate(std::string_view text, char letter, const CoordinateFormats &formats)
{
    return CoordinateConverter(formats).convert(text, letter);
}

std::string padCoordinate(std::string text, int totalDigits)
{
    size_t n = static_cast<size_t>(totalDigits);
    if (text.find('-') != std::string::npos && text.size() < n + 1) {
        std::string digits = text.substr(1);
        if (digits.size() < n)
            digits.insert(0, n - digits.size(), '0');
        else
            digits.insert(0, 1, '0');
        return "-" + digits;
    }
    if (text.size() < n)
        text.insert(0, n - text.size(), '0');
    return text;
}

}  // namespace korvane
