#pragma once
// The program-wide aperture table: one row per D-code from D10 to D999.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

inline constexpr int FirstDCode = 10;
inline constexpr int LastDCode = 999;
inline constexpr int ApertureRowCount = LastDCode - FirstDCode + 1;  // 990

// The shapes the program knows; the numbers are the codes by which the
// interpreter tells them apart.
enum class ApertureShape {
    Round = 1,
    Square = 2,
    Rectangle = 3,
    Oblong = 4,
    DrillHole = 5,
    Target = 6,
    Counterbore = 7,
    ThermalX = 8,
    ThermalPlus = 9,
    Macro = 10,
    RoundDonut = 11,
    SquareDonut = 12,
    OblongDonut = 13,
};

// The shape a row's text names: the exact names, or "Macro" followed by a
// line number. Nothing for " ", "カスタム", "？？？？？" and other texts.
std::optional<ApertureShape> apertureShapeOf(std::string_view shape);

// The MacroLibrary line number of a "Macro n" shape; 0 for other shapes.
int macroLineOf(std::string_view shape);

struct ApertureDef {
    std::string dcodeLabel;  // "D10" .. "D999"; a .gap import may write its own spelling
    std::string shape;
    std::string size;

    bool isSet() const { return !shape.empty() && !size.empty(); }
};

// Shape and size of a looked-up D-code; both empty when it has no row.
struct ApertureLookup {
    std::string shape;
    std::string size;
    bool isSet() const { return !shape.empty() && !size.empty(); }
};

class ApertureTable {
public:
    ApertureTable();

    std::string filePath;
    std::string title;

    // Row numbers are 1 to 990 (row 1 is D10); callers get them from rowOf
    // or count within ApertureRowCount.
    ApertureDef &row(int rowNumber) { return rows_[static_cast<std::size_t>(rowNumber - 1)]; }
    const ApertureDef &row(int rowNumber) const { return rows_[static_cast<std::size_t>(rowNumber - 1)]; }

    // The row number of a D-code, or nothing when the D-code has no row.
    static std::optional<int> rowOf(std::int64_t dcode);
    // The same for the digits as written after "D"; digit strings too long
    // for an integer, signs and other characters have no row.
    static std::optional<int> rowOf(std::string_view digits);

    // D-codes above D999, which RS-274X files may define: kept beside the
    // rows (the window, .apt files and RS-274D work know D10 to D999 only).
    const ApertureDef *extraRow(std::int64_t dcode) const;
    const std::map<std::int64_t, ApertureDef> &extraRows() const { return extra_; }

    ApertureLookup Lookup(std::int64_t dcode) const;
    ApertureLookup Lookup(std::string_view digits) const;
    // Overwrites the row of the D-code (above D999: its extra row); D-codes
    // below D10 are ignored.
    void SetRow(std::int64_t dcode, std::string shape, std::string size);
    // Empties filePath and every row's shape and size.
    void Clear();
    // Empties every row (shape, size, and a .gap spelling of the label).
    void clearRows();

private:
    std::array<ApertureDef, ApertureRowCount> rows_;
    std::map<std::int64_t, ApertureDef> extra_;
};

}  // namespace korvane
