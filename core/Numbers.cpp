#include "core/Numbers.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Messages.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace korvane {

std::string formatReal(double value)
{
    if (value == 0.0 || std::isnan(value))
        return "0";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";

    // Fifteen significant digits, then decide on the form from the rounded value.
    // The shortest form that reads back is tried first: when it has at most
    // fifteen digits it is the fifteen-digit rounding (a double's spacing is
    // far finer than the fifteen-digit grid, except below the normal range),
    // and it costs much less.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    if (std::fabs(value) < std::numeric_limits<double>::min() ||
        text.find('e') > 16 + (text.front() == '-' ? 1u : 0u)) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
        text = std::string_view(buffer, static_cast<size_t>(result.ptr - buffer));
    }
    bool negative = text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    auto ePos = text.find('e');
    std::string digits;
    for (char c : text.substr(0, ePos))
        if (c != '.')
            digits += c;
    int exponent = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    bool fixed = exponent >= -5 && exponent < 15;
    if (fixed) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            size_t intDigits = static_cast<size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                out += digits;
                out.append(intDigits - digits.size(), '0');
            } else {
                out += digits.substr(0, intDigits);
                out += '.';
                out += digits.substr(intDigits);
            }
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

namespace {

template <typename Int>
Int clampToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<Int>::max());
    if (value <= lo)
        return std::numeric_limits<Int>::min();
    if (value >= hi)
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

template <typename Int>
bool parseIntegerText(std::string_view text, Int &out)
{
    text = trimBlanks(text);
    if (text.empty())
        return false;
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return false;
    // Hexadecimal texts may name the full bit pattern ($FF00000F).
    using Wide = std::uint64_t;
    Wide magnitude = 0;
    for (char c : text) {
        unsigned digit;
        if (isDecimalDigit(c))
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        if (magnitude > (std::numeric_limits<Wide>::max() - digit) / static_cast<Wide>(base))
            return false;
        magnitude = magnitude * static_cast<Wide>(base) + digit;
    }
    using Unsigned = std::make_unsigned_t<Int>;
    const Wide maxPositive = static_cast<Wide>(std::numeric_limits<Int>::max());
    if (base == 16 && !negative) {
        if (magnitude > static_cast<Wide>(std::numeric_limits<Unsigned>::max()))
            return false;
        out = static_cast<Int>(static_cast<Unsigned>(magnitude));
        return true;
    }
    if (negative) {
        if (magnitude > maxPositive + 1)
            return false;
        out = magnitude == maxPositive + 1 ? std::numeric_limits<Int>::min()
                                           : static_cast<Int>(-static_cast<Int>(magnitude));
        return true;
    }
    if (magnitude > maxPositive)
        return false;
    out = static_cast<Int>(magnitude);
    return true;
}

}  // namespace

std::int32_t roundToInt(double value) { return clampToInt<std::int32_t>(std::nearbyint(value)); }
std::int64_t roundToInt64(double value) { return clampToInt<std::int64_t>(std::nearbyint(value)); }
std::int32_t truncToInt(double value) { return clampToInt<std::int32_t>(std::trunc(value)); }
std::int64_t truncToInt64(double value) { return clampToInt<std::int64_t>(std::trunc(value)); }

bool tryParseInt(std::string_view text, std::int32_t &out) { return parseIntegerText(text, out); }
bool tryParseInt64(std::string_view text, std::int64_t &out) { return parseIntegerText(text, out); }

bool tryParseReal(std::string_view text, double &out)
{
    text = trimBlanks(text);
    if (text.empty())
        return false;
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Only digits, one ".", and an exponent: no "inf", "nan" or hexadecimal.
    size_t i = 0;
    size_t mantissaDigits = 0;
    while (i < text.size() && isDecimalDigit(text[i]))
        ++i, ++mantissaDigits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDecimalDigit(text[i]))
            ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < text.size() && isDecimalDigit(text[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != text.size())
        return false;
    double value = 0;
    std::string plain(text);
    if (plain.front() == '.')
        plain.insert(plain.begin(), '0');
    auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Overflow is not a number we can use; underflow reads as 0. The
        // exponent's sign tells them apart (a mantissa of 1e308 digits is
        // not a drawing coordinate).
        auto ePos = plain.find_first_of("eE");
        bool hugeExponent = ePos != std::string::npos && plain[ePos + 1] != '-';
        if (hugeExponent || ePos == std::string::npos)
            return false;
        value = 0;
    } else if (ec != std::errc() || ptr != plain.data() + plain.size()) {
        return false;
    }
    if (!std::isfinite(value))
        return false;
    out = negative ? -value : value;
    return true;
}

std::int32_t parseInt(std::string_view text)
{
    std::int32_t v;
    if (!tryParseInt(text, v))
        throw KorvaneError(msg::format(msg::NotAnInteger, text));
    return v;
}

std::int64_t parseInt64(std::string_view text)
{
    std::int64_t v;
    if (!tryParseInt64(text, v))
        throw KorvaneError(msg::format(msg::NotAnInteger, text));
    return v;
}

double parseReal(std::string_view text)
{
    double v;
    if (!tryParseReal(text, v))
        throw KorvaneError(msg::format(msg::NotAReal, text));
    return v;
}

}  // namespace korvane
