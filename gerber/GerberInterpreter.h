#pragma once
// Turns the blocks of a Gerber file into display items: flashes, strokes,
// arcs and regions on the file's layer, with the photoplotter's modal state.
#include "core/Document.h"
#include "core/Formats.h"
#include "core/Ports.h"
#include "gerber/ApertureTable.h"
#include "gerber/GerberBlockSink.h"
#include "gerber/ItemTransform.h"
#include "gerber/MacroLibrary.h"

#include <array>
#include <cstdint>
#include <map>
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
    bool block = false;  // a block aperture (%AB) of the file
};

// Extents of one load in mm, Y in the file's own direction.
struct LoadExtents {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool xSeen = false, ySeen = false;
    void addX(double v)
    {
        if (!xSeen) {
            minX = maxX = v;
            xSeen = true;
            return;
        }
        minX = v < minX ? v : minX;
        maxX = v > maxX ? v : maxX;
    }
    void addY(double v)
    {
        if (!ySeen) {
            minY = maxY = v;
            ySeen = true;
            return;
        }
        minY = v < minY ? v : minY;
        maxY = v > maxY ? v : maxY;
    }
    // A point in the internal frame (Y down).
    void add(Point internal)
    {
        addX(internal.x);
        addY(-internal.y);
    }
    void add(const LoadExtents &other)
    {
        if (other.xSeen) {
            addX(other.minX);
            addX(other.maxX);
        }
        if (other.ySeen) {
            addY(other.minY);
            addY(other.maxY);
        }
    }
};

// Far more items than any real board makes from one file (the largest
// real files make a few million): past it a load stops rather than fill
// the memory with a file's step-and-repeat, block or macro expansion.
inline constexpr std::size_t DefaultItemLimit = 50'000'000;

enum class Interpolation { Linear, Clockwise, CounterClockwise };

class GerberInterpreter : public GerberBlockSink {
public:
    GerberInterpreter(Document &document, const ApertureTable &table, const MacroLibrary &library,
                      GerberInFormat &format, Prompter &prompter);

    // Resets the per-file state; the aperture and the previous point carry over.
    void startFile(int layer) override;
    void endFile() override;

    // G-codes by number. False when the file is to stop.
    void selectGCode(long code) override;
    // A D-code's digits as written; false when the user chose to stop the file.
    bool selectDCode(std::string_view digits) override;

    void setX(double x) override { current_.x = x; }
    // y in the internal frame (negated board Y).
    void setY(double y) override { current_.y = y; }
    void setI(double i) override { i_ = i; }
    void setJ(double j) override { j_ = j; }
    void setClearPolarity(bool clear) override { clear_ = clear && polarity_; }
    // False: every object is dark, as RS-274D has no polarity.
    void setPolarity(bool honoured) { polarity_ = honoured; }
    void setImageNegative(bool negative) override;

    void executeBlock() override;

    bool stepRepeat(long countX, long countY, double stepX, double stepY) override;
    bool openBlock(long dcode) override;
    bool closeBlock() override;
    bool setApertureTransform(bool mirrorX, bool mirrorY, double degrees, double scale) override;
    bool setImage(const Image &image) override;
    void flashAsMacro(long dcode, int macroLine) override { macroFlashes_[dcode] = macroLine; }

    // Items one file may make before its load stops.
    void setItemLimit(std::size_t limit) { itemLimit_ = limit; }

    const LoadExtents &extents() const { return extents_; }
    const SelectedAperture &aperture() const { return aperture_; }

private:
    AppendArgs item(ItemKind kind, int role) const;
    void append(AppendArgs a);
    void moveTo(ItemKind kind, Point p);
    void vertex(Point p);
    void closeContour();
    void flash();
    void flashShape();
    void flashBlock();
    void output(const DisplayItem &item);
    void placeInImage(const DisplayItem &item);
    void store(const DisplayItem &item);
    void widenExtents(Point internal);
    void expandStepRepeat();
    void updateOutput();
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

    ArcMode loadArcMode_;  // each file starts from the format record's
    ItemTransform image_;  // %OF %SF %MI %IR of the file
    bool plainImage_ = true;
    bool polarity_ = true;
    bool plainOutput_ = true;
    bool previousCounted_ = false;
    ItemTransform apertureTransform_;
    std::vector<DisplayItem> scratch_;
    std::vector<DisplayItem> *flashCapture_ = nullptr;
    struct Block {
        std::vector<DisplayItem> items;
        LoadExtents extents;
    };
    std::map<long, Block> blocks_;
    std::vector<std::pair<long, Block>> openBlocks_;
    struct StepRepeat {
        bool open = false;
        long countX = 1, countY = 1;
        double stepX = 0, stepY = 0;
        std::size_t mainStart = 0, underlayStart = 0;
        LoadExtents extents;
    } stepRepeat_;
    std::map<long, int> macroFlashes_;
    std::size_t itemLimit_ = DefaultItemLimit;
    std::size_t itemsThisFile_ = 0;
    const char *construct_ = "";
};

}  // namespace korvane
