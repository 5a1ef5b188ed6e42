#pragma once
// The one step every writer takes for a coordinate: the text as it stands in
// the input file becomes the integer digit string of the output format
// (units, implied decimal digits, drill offsets, rounding, zero padding).
#include "core/Formats.h"
#include "core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// The mode the conversion dialog was last opened in; only Drill adds the
// drill offsets. None before the dialog was first opened.
enum class ConversionMode { None, Gerber, Drill };

// The two sides of a conversion as the coordinate step needs them.
struct CoordinateFormats {
    LengthUnit inUnit = LengthUnit::Mm;
    std::string inDecimalDigits = "3";
    LengthUnit outUnit = LengthUnit::Mm;
    std::string outIntegerDigits = "3";
    std::string outDecimalDigits = "3";
    ZeroSuppression outZeroSuppression = ZeroSuppression::Leading;
    CoordinateMode outCoordinateMode = CoordinateMode::Absolute;
    std::string xOffset = "0";
    std::string yOffset = "0";
    ConversionMode mode = ConversionMode::None;
};

CoordinateFormats coordinateFormats(const GerberInFormat &in, const GerberOutFormat &out);
CoordinateFormats coordinateFormats(const DrillInFormat &in, const DrillOutFormat &out, ConversionMode mode);

// Decimal digit counts "1" to "6"; anything else throws
// KorvaneError("'text' は整数ではありません").
int decimalDigitCount(const std::string &text);

// The prepared step for one file: digit counts and offsets are read once.
// Throws KorvaneError with the platform's texts for counts or offsets that are
// not numbers.
class CoordinateConverter {
public:
    explicit CoordinateConverter(const CoordinateFormats &formats);

    // The output integer of a coordinate text (digits with an optional sign,
    // possibly a decimal point, trailing zeros already completed). Throws
    // "'%s' は整数ではありません" / "'%s' は浮動小数点数ではありません".
    std::int64_t value(std::string_view text, char letter) const;
    // The two halves of value(): the text in input units, and a value in
    // input units as an output integer.
    double inputValue(std::string_view text) const
    {
        std::int64_t k;
        if (plainInteger(text, k))
            return static_cast<double>(k) / inScale_;
        return otherInputValue(text);
    }
    std::int64_t valueOfInput(double v, char letter) const
    {
        if (inchToMm_)
            v *= 25.4;
        if (letter == 'X')
            v += xOffset_;
        else if (letter == 'Y')
            v += yOffset_;
        v *= outScale_;
        if (mmToInch_)
            v /= 25.4;
        // Far beyond any board, and small enough that the writers'
        // differences of two positions never overflow.
        v = std::clamp(v, -1e15, 1e15);
        return nearestInteger(bias_ ? v + 0.1 : v);
    }
    // The same as text: the decimal integer, padded when the output suppresses
    // no zeros and is absolute.
    std::string convert(std::string_view text, char letter) const;
    // Leading zeros up to the output's total digit count.
    std::string pad(std::string text) const;
    // An output integer as a word's digits: padded when the output suppresses
    // no zeros (absolute and incremental alike); with trailing-zero
    // suppression written to full width without its trailing zeros, so that
    // a reader completing them gets the value back.
    std::string outputNumber(std::int64_t v) const;
    // The same digits into `buffer` (OutputNumberSize bytes); returns their
    // count. For writers that build a block without temporary strings.
    static constexpr std::size_t OutputNumberSize = 48;
    std::size_t outputNumber(std::int64_t v, char *buffer) const;
    // Whether two different values always give different digits (not so
    // with trailing zeros suppressed: 120000 and 1200000 both read "12").
    bool distinctNumbers() const { return zeroSuppression_ != ZeroSuppression::Trailing; }
    // The output's total digit count (integer + decimal digits).
    int totalDigits() const { return total_; }
    bool padsAbsolute() const { return padAbsolute_; }

private:
    // An optional "-" and up to 18 digits, the form nearly every word has.
    static bool plainInteger(std::string_view text, std::int64_t &out)
    {
        std::size_t i = 0, n = text.size();
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
    // Round half to even as roundToInt64 does; values beyond 2^51, where
    // the clamp acts, and NaN go the long way.
    static std::int64_t nearestInteger(double v)
    {
        if (!(std::abs(v) < 2251799813685248.0))
            return roundedFar(v);
        return static_cast<std::int64_t>(roundHalfEven(v));
    }
    static std::int64_t roundedFar(double v);
    // Texts with a decimal point or too many digits.
    double otherInputValue(std::string_view text) const;

    double inScale_ = 1000;
    double outScale_ = 1000;
    bool inchToMm_ = false;
    bool mmToInch_ = false;
    bool bias_ = false;
    double xOffset_ = 0;
    double yOffset_ = 0;
    int total_ = 6;
    bool padAbsolute_ = false;
    ZeroSuppression zeroSuppression_ = ZeroSuppression::Leading;
};

// The free functions of the step, for callers that convert one word.
std::string convertCoordinate(std::string_view text, char letter, const CoordinateFormats &formats);
std::string padCoordinate(std::string text, int totalDigits);

}  // namespace korvane
