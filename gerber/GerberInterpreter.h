#pragma once
// Turns the blocks of a Gerber file into display items: flashes, strokes,
// arcs and regions on the file's layer, with the photoplotter's modal state.
#include "core/Document.h"
#include "core/Formats.h"
#include "core/Ports.h"
#include "gerber/ApertureTable.h"
#include "gerber/GerberBlockSink.h"
#include "gerber/MacroLibrary.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct SelectedAperture {
    std::string dcode;                   // as written
    std::int32_t code = 0;               // its number, as items carry it
    std::optional<ApertureShape> shape;  // nothing: no geometry to draw
    double q = 0, p = 0, hx = 0, hy = 0, gap = 0.5;
    int macroLine = 0;
};

// Extents of one load in mm, Y in the file's own direction.
struct LoadExtents {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool xSeen = false, ySeen = false;
    void addX(double v);
    void addY(double v);
};

enum class Interpolation { Linear, Clockwise, CounterClockwise };

class GerberInterpreter : public GerberBlockSink {
public:
    GerberInterpreter(Document &document, const ApertureTable &table, const MacroLibrary &library,
                      GerberInFormat &format, Prompter &prompter);

    // Resets the per-file state; the aperture and the previous point carry over.
    void startFile(int layer);

    // G-codes by number. False when the file is to stop.
    void selectGCode(long code);
    // A D-code's digits as written; false when the user chose to stop the file.
    bool selectDCode(std::string_view digits);

    void setX(double x)
    {
        current_.x = x;
        extents_.addX(x);
    }
    // y in the internal frame (negated board Y).
    void setY(double y)
    {
        current_.y = y;
        extents_.addY(-y);
    }
    void setI(double i) { i_ = i; }
    void setJ(double j) { j_ = j; }
    void setClearPolarity(bool clear) { clear_ = clear; }
    void setImageNegative(bool negative) override;

    void executeBlock();

    const LoadExtents &extents() const { return extents_; }
    const SelectedAperture &aperture() const { return aperture_; }
    Point currentPoint() const { return current_; }

private:
    AppendArgs item(ItemKind kind, int role) const;
    void append(AppendArgs a);
    void moveTo(ItemKind kind, Point p);
    void vertex(Point p);
    void closeContour();
    void flash();
    void draw();
    void drawArc();
    void flattenArcIntoRegion(Point centre, double radius, bool clockwise, bool fullCircle);
    bool ask(const std::string &question);

    // A table row as last read: its texts, its shape and the numbers of its
    // size text, each parsed when first needed. Files select the same few
    // apertures over and over.
    struct ParsedRow {
        int row = 0;
        std::string shape;
        std::string size;
        std::optional<ApertureShape> code;
        std::vector<std::string> parts;
        std::array<double, 4> value{};
        std::array<bool, 4> known{};
    };
    ParsedRow &parsedRow(int row, const ApertureDef &def);
    static double sizeValue(ParsedRow &row, size_t i, double missing = 0);
    std::array<ParsedRow, 16> parsedRows_;

    Document &doc_;
    const ApertureTable &table_;
    const MacroLibrary &library_;
    GerberInFormat &format_;
    Prompter &prompter_;

    int layer_ = 1;
    Point current_{};
    Point previous_{};
    int dMode_ = 2;
    Interpolation interpolation_ = Interpolation::Linear;
    bool region_ = false;
    bool regionStarted_ = false;  // a vertex of the open contour was appended
    bool regionInMain_ = false;   // the open region is a clear one
    bool clear_ = false;
    double i_ = 0, j_ = 0;
    SelectedAperture aperture_;
    LoadExtents extents_;
    // Where the pen of the main sequence stands, so that a stroke never
    // starts from a stale pen position.
    Point mainPen_{};
    bool mainPenKnown_ = false;
};

}  // namespace korvane
