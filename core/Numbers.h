#pragma once
// Number formatting, rounding and strict parsing shared by every subsystem.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// The shortest decimal form with at most 15 significant digits: "0.25",
// "-12.5", "100", "0"; magnitudes below 0.00001 or with more than 15 integer
// digits in exponent form: "1E-6", "2E20", "-1.5E-7".
std::string formatReal(double value);

// Round half to even (the default rounding mode), to a whole number. It
// sits in the hot paths of the readers, writers and renderer, so it takes no
// library call where it need not: adding and taking away 1.5 x 2^52 leaves
// the nearest whole number, ties to even, for magnitudes below 2^51.
inline double roundHalfEven(double value)
{
    constexpr double Shift = 6755399441055744.0;
    if (std::fabs(value) < 2251799813685248.0)
        return (value + Shift) - Shift;
    return std::nearbyint(value);
}

// Round half to even into a 32-bit integer; values out of range are clamped
// and NaN gives 0, so a damaged input never causes undefined behaviour.
std::int32_t roundToInt(double value);
std::int64_t roundToInt64(double value);

// Truncation toward zero, clamped in the same way.
std::int32_t truncToInt(double value);
std::int64_t truncToInt64(double value);

// Strict parsing: optional blanks around, optional sign, digits (or "$"
// followed by hexadecimal digits for integers). Anything else throws
// KorvaneError("'text' は整数ではありません").
std::int32_t parseInt(std::string_view text);
std::int64_t parseInt64(std::string_view text);

// Strict real parsing: blanks around, sign, digits with an optional "." and
// exponent. Throws KorvaneError("'text' は浮動小数点数ではありません").
double parseReal(std::string_view text);

// Non-throwing variants.
bool tryParseInt(std::string_view text, std::int32_t &out);
bool tryParseInt64(std::string_view text, std::int64_t &out);
bool tryParseReal(std::string_view text, double &out);

}  // namespace korvane
