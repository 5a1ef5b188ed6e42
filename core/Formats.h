#pragma once
// The four format records, the layer colours and the print defaults.
#include "core/Colour.h"

#include <array>
#include <string>

namespace korvane {

enum class GerberDialect { Rs274D, Rs274X };
enum class CharCode { Ascii, Ebcdic, Eia };
enum class LengthUnit { Mm, Inch };
enum class ZeroSuppression { Leading, Trailing, None };
enum class CoordinateMode { Absolute, Incremental };
enum class ArcMode { FullCircle, QuarterCircle };
enum class RecordMode { EobNewline, FullRecord };
enum class ModalMode { G, D, GD, None };
enum class ZeroDataMode { All, Address, Omit };
enum class PrintMode { Mono, Color };

struct GerberInFormat {
    GerberDialect dialect = GerberDialect::Rs274D;
    CharCode charCode = CharCode::Ascii;
    LengthUnit unit = LengthUnit::Mm;
    ZeroSuppression zeroSuppression = ZeroSuppression::Leading;
    CoordinateMode coordinateMode = CoordinateMode::Absolute;
    ArcMode arcMode = ArcMode::FullCircle;
    std::string integerDigits = "3";
    std::string decimalDigits = "3";
    bool operator==(const GerberInFormat &) const = default;
};

struct GerberOutFormat {
    std::string initCommand;
    std::string endCommand;
    GerberDialect dialect = GerberDialect::Rs274D;
    RecordMode recordMode = RecordMode::EobNewline;
    CoordinateMode coordinateMode = CoordinateMode::Absolute;
    ModalMode modal = ModalMode::None;
    bool eobCode = true;
    bool g54 = false;
    ZeroDataMode zeroData = ZeroDataMode::All;
    ZeroSuppression zeroSuppression = ZeroSuppression::Leading;
    LengthUnit unit = LengthUnit::Mm;
    std::string integerDigits = "3";
    std::string decimalDigits = "3";
    bool operator==(const GerberOutFormat &) const = default;
};

struct DrillInFormat {
    CharCode charCode = CharCode::Ascii;
    LengthUnit unit = LengthUnit::Mm;
    ZeroSuppression zeroSuppression = ZeroSuppression::Leading;
    CoordinateMode coordinateMode = CoordinateMode::Absolute;
    bool x0y0IsHit = false;
    std::string integerDigits = "3";
    std::string decimalDigits = "2";
    bool operator==(const DrillInFormat &) const = default;
};

struct DrillOutFormat {
    std::string initCommand;
    std::string toolSelect;
    std::string hitCommand;
    std::string toolChange;
    std::string endCommand;
    CoordinateMode coordinateMode = CoordinateMode::Absolute;
    bool eobCode = true;
    ZeroSuppression zeroSuppression = ZeroSuppression::Leading;
    LengthUnit unit = LengthUnit::Mm;
    int toolDigits = 2;
    RecordMode recordMode = RecordMode::EobNewline;
    ZeroDataMode zeroData = ZeroDataMode::All;
    std::string integerDigits = "3";
    std::string decimalDigits = "2";
    std::string xOffset = "0";
    std::string yOffset = "0";
    bool operator==(const DrillOutFormat &) const = default;
};

using LayerColours = std::array<Colour, 15>;

LayerColours defaultLayerColours();

struct PrintDefaults {
    bool drillTitle = true;
    bool gerberTitle = true;
    PrintMode gerberMode = PrintMode::Mono;
    LayerColours gerberRowColours = defaultGerberRowColours();
    bool operator==(const PrintDefaults &) const = default;

    static LayerColours defaultGerberRowColours();
};

// Everything the settings file holds.
struct Settings {
    GerberInFormat gerberIn;
    GerberOutFormat gerberOut;
    DrillInFormat drillIn;
    DrillOutFormat drillOut;
    LayerColours layerColours = defaultLayerColours();
    PrintDefaults print;
    bool operator==(const Settings &) const = default;
};

// The "アパーチャ" button of the Gerber output format is usable exactly when
// RS-274D data are read and RS-274X data written.
bool apertureButtonEnabled(const GerberInFormat &in, const GerberOutFormat &out);

}  // namespace korvane
