#include "drill/DrillHeader.h"
#include "core/Encoding.h"

#include <algorithm>
#include <cctype>

namespace korvane {
namespace {

constexpr std::size_t HeaderLimit = std::size_t{64} * 1024;

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool startsWith(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }

// "a:b" digit counts, each 0 to 9.
bool digitPair(std::string_view text, int &integer, int &decimals)
{
    size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 >= text.size())
        return false;
    char a = text[colon - 1], b = text[colon + 1];
    if (!std::isdigit(static_cast<unsigned char>(a)) || !std::isdigit(static_cast<unsigned char>(b)))
        return false;
    integer = a - '0';
    decimals = b - '0';
    return true;
}

// A line that holds a coordinate ends the header.
bool holdsCoordinate(std::string_view line)
{
    if (!line.empty() && line[0] == ';')
        return false;
    for (size_t i = 0; i + 1 < line.size(); ++i)
        if ((line[i] == 'X' || line[i] == 'Y') && (std::isdigit(static_cast<unsigned char>(line[i + 1])) ||
                                                   line[i + 1] == '-' || line[i + 1] == '+' || line[i + 1] == '.'))
            return true;
    return false;
}

void readUnitLine(std::string_view line, DrillDeclaredFormat &d)
{
    d.unit = startsWith(line, "INCH") ? LengthUnit::Inch : LengthUnit::Mm;
    size_t at = line.find(',');
    while (at != std::string_view::npos) {
        size_t next = line.find(',', at + 1);
        std::string_view field = trimBlanks(line.substr(at + 1, next == std::string_view::npos ? next : next - at - 1));
        if (field == "LZ")
            d.zeroSuppression = ZeroSuppression::Trailing;  // leading zeros kept
        else if (field == "TZ")
            d.zeroSuppression = ZeroSuppression::Leading;  // trailing zeros kept
        else if (!field.empty() && field.find_first_not_of("0.") == std::string_view::npos &&
                 field.find('.') != std::string_view::npos) {
            // A digit pattern such as 000.000 or 00.0000.
            size_t dot = field.find('.');
            d.integerDigits = static_cast<int>(dot);
            d.decimalDigits = static_cast<int>(field.size() - dot - 1);
        }
        at = next;
    }
}

void readFormatComment(std::string_view line, DrillDeclaredFormat &d)
{
    // ;FORMAT={2:4/ absolute / inch / keep zeros}
    int integer, decimals;
    if (digitPair(line, integer, decimals)) {
        d.integerDigits = integer;
        d.decimalDigits = decimals;
    }
    if (line.find("ABSOLUTE") != std::string_view::npos)
        d.coordinateMode = CoordinateMode::Absolute;
    else if (line.find("INCREMENTAL") != std::string_view::npos)
        d.coordinateMode = CoordinateMode::Incremental;
    if (line.find("INCH") != std::string_view::npos)
        d.unit = LengthUnit::Inch;
    else if (line.find("METRIC") != std::string_view::npos || line.find("/ MM") != std::string_view::npos)
        d.unit = LengthUnit::Mm;
    if (line.find("SUPPRESS TRAILING") != std::string_view::npos)
        d.zeroSuppression = ZeroSuppression::Trailing;
    else if (line.find("SUPPRESS LEADING") != std::string_view::npos ||
             line.find("KEEP ZEROS") != std::string_view::npos)  // full width: nothing to pad
        d.zeroSuppression = ZeroSuppression::Leading;
}

}  // namespace

DrillDeclaredFormat readDrillHeader(std::string_view bytes)
{
    DrillDeclaredFormat d;
    bytes = bytes.substr(0, HeaderLimit);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string line = upper(trimBlanks(bytes.substr(start, end - start)));
        start = end + 1;
        if (line.empty())
            continue;
        if (holdsCoordinate(line))
            break;
        if (startsWith(line, "INCH") || startsWith(line, "METRIC")) {
            readUnitLine(line, d);
        } else if (startsWith(line, "M72")) {
            d.unit = LengthUnit::Inch;
        } else if (startsWith(line, "M71")) {
            d.unit = LengthUnit::Mm;
        } else if (startsWith(line, ";FILE_FORMAT")) {
            int integer, decimals;
            if (digitPair(line, integer, decimals)) {
                d.integerDigits = integer;
                d.decimalDigits = decimals;
            }
        } else if (startsWith(line, ";FORMAT")) {
            readFormatComment(line, d);
        } else if (startsWith(line, "ICI")) {
            d.coordinateMode =
                line.find("OFF") != std::string::npos ? CoordinateMode::Absolute : CoordinateMode::Incremental;
        } else if (startsWith(line, "G90")) {
            d.coordinateMode = CoordinateMode::Absolute;
        } else if (startsWith(line, "G91")) {
            d.coordinateMode = CoordinateMode::Incremental;
        }
    }
    // Digits 0 and 0 say nothing.
    if (d.integerDigits && d.decimalDigits && *d.decimalDigits == 0) {
        d.integerDigits.reset();
        d.decimalDigits.reset();
    }
    return d;
}

void applyDeclaredFormat(const DrillDeclaredFormat &declared, DrillInFormat &format)
{
    if (declared.unit) {
        format.unit = *declared.unit;
        if (!declared.integerDigits) {
            const bool inch = *declared.unit == LengthUnit::Inch;
            format.integerDigits = inch ? "2" : "3";
            format.decimalDigits = inch ? "4" : "3";
        }
    }
    if (declared.integerDigits && declared.decimalDigits) {
        format.integerDigits = std::to_string(*declared.integerDigits);
        format.decimalDigits = std::to_string(*declared.decimalDigits);
    }
    if (declared.zeroSuppression)
        format.zeroSuppression = *declared.zeroSuppression;
    if (declared.coordinateMode)
        format.coordinateMode = *declared.coordinateMode;
}

DrillInFormat declaredDrillFormat(std::string_view bytes, const DrillInFormat &set)
{
    DrillInFormat format = set;
    applyDeclaredFormat(readDrillHeader(bytes), format);
    return format;
}

std::string drillFormatName(const DrillInFormat &format)
{
    std::string name = format.unit == LengthUnit::Inch ? "インチ" : "ミリ";
    name += " " + format.integerDigits + "." + format.decimalDigits;
    name += format.zeroSuppression == ZeroSuppression::Leading ? " LZ" : " TZ";
    if (format.coordinateMode == CoordinateMode::Incremental)
        name += " インクリメンタル";
    return name;
}

}  // namespace korvane
