#include "convert/OutputCoordinates.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "core/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;

constexpr double PowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

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

double CoordinateConverter::otherInputValue(std::string_view text) const
{
    if (text.find('.') != std::string_view::npos)
        return parseReal(text);
    return static_cast<double>(parseInt64(text)) / inScale_;
}

std::int64_t CoordinateConverter::roundedFar(double v) { return roundToInt64(v); }

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
    char buffer[OutputNumberSize];
    return {buffer, outputNumber(v, buffer)};
}

std::size_t CoordinateConverter::outputNumber(std::int64_t v, char *buffer) const
{
    char digits[24];
    char *end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    auto n = static_cast<std::size_t>(end - digits);
    if (zeroSuppression_ == ZeroSuppression::Leading) {
        std::memcpy(buffer, digits, n);
        return n;
    }
    bool negative = v < 0;
    std::size_t width = static_cast<std::size_t>(total_);
    std::size_t magnitude = n - (negative ? 1 : 0);
    char *o = buffer;
    if (negative)
        *o++ = '-';
    if (magnitude < width)
        o = std::fill_n(o, width - magnitude, '0');
    o = std::copy(digits + (negative ? 1 : 0), end, o);
    std::size_t size = static_cast<std::size_t>(o - buffer);
    if (zeroSuppression_ == ZeroSuppression::Trailing) {
        while (size > 1 && buffer[size - 1] == '0' && buffer[size - 2] >= '0' && buffer[size - 2] <= '9')
            --size;
    }
    return size;
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
