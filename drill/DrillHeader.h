#pragma once
// What a drill file says about its own number format: Excellon's unit and
// zero lines (INCH,LZ / METRIC,TZ / M72 / M71), the digit comments of
// several CAD programs (;FILE_FORMAT=2:4, ;FORMAT={2:4/ absolute / inch /
// keep zeros}) and absolute or incremental input (G90, G91, ICI).
#include "core/Formats.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

struct DrillDeclaredFormat {
    std::optional<LengthUnit> unit;
    // In this program's terms: Excellon's ",LZ" keeps leading zeros and
    // leaves out trailing ones, which is ZeroSuppression::Trailing here.
    std::optional<ZeroSuppression> zeroSuppression;
    std::optional<int> integerDigits, decimalDigits;
    std::optional<CoordinateMode> coordinateMode;

    bool any() const { return unit || zeroSuppression || integerDigits || coordinateMode; }
    // Unit, zeros and digits are all declared: nothing is left to guess.
    bool complete() const { return unit && zeroSuppression && integerDigits && decimalDigits; }
};

// Reads the declarations up to the file's first coordinate (at most the
// first 64 KB are looked at).
DrillDeclaredFormat readDrillHeader(std::string_view bytes);

// Writes what was declared into the format. Units declared without digits
// take Excellon's defaults: 2.4 for inch, 3.3 for millimetres.
void applyDeclaredFormat(const DrillDeclaredFormat &declared, DrillInFormat &format);

// The format a file is read by: what its header (the first 64 KB) declares
// over the format as set.
DrillInFormat declaredDrillFormat(std::string_view bytes, const DrillInFormat &set);

// A format as the operator reads it, for example "インチ 2.4 TZ": unit,
// integer and decimal digits, and the zero suppression as the format
// dialog names it ("インクリメンタル" added for incremental input).
std::string drillFormatName(const DrillInFormat &format);

}  // namespace korvane
