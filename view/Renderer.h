#pragma once
// Paints the DisplayList onto a DrawingSurface, item by item, in the layer
// colours, skipping hidden layers.
#include "core/Document.h"
#include "view/DrawingSurface.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace korvane {

// The layer file selection's "G36/G37ﾓｰﾄﾞ": regions and sectors solid or
// cross-hatched.
enum class RegionFill { Solid, Hatch };

// Stored millimetres to pixels (or printer dots):
//   column = Round((x * scale + shiftX) / mmPerPixelX) - offsetX
//   row    = Round((y * scale + shiftY) / mmPerPixelY) - offsetY
// The view uses shiftX 0 and shiftY areaHeight + 20.
struct PixelMapping {
    double scale = 1;
    double shiftX = 0;
    double shiftY = 0;
    double mmPerPixelX = 1;
    double mmPerPixelY = 1;
    int offsetX = 0;
    int offsetY = 0;

    bool operator==(const PixelMapping &) const = default;
    PixelPoint point(double x, double y) const;
    // The same, with the position before rounding in `exact`.
    PixelPoint point(double x, double y, RayPoint &exact) const;
    // A width in mm as a pen width, by the horizontal resolution.
    int penWidth(double mm) const;
    // The same width before rounding.
    double exactWidth(double mm) const;
};

// Colour and visibility per layer number; index 0 is the background (white,
// used by clear items) and never a visible layer. A negative layer's file
// declared %IPNEG: its image is drawn inverted within its extents.
struct LayerLook {
    std::array<Colour, LayerCount + 1> colour{};
    std::array<bool, LayerCount + 1> visible{};
    std::array<bool, LayerCount + 1> negative{};

    bool operator==(const LayerLook &) const = default;

    static LayerLook from(const LayerTable &layers);
};

// Whether the renderer paints the item at all: a hidden item neither paints
// nor moves the pen.
bool paintedBy(const DisplayItem &item, const LayerLook &look);
// Whether items of the kind paint pixels (all but moves and vertices).
bool paintsPixels(std::int32_t kind);
// Whether the item's second point (x2, y2) is a corner of its box.
bool hasBoxCorners(std::int32_t kind);
// Whether the kind strokes from the pen position (LineTo of both sequences).
bool startsFromPen(std::int32_t kind);
// Whether the kind moves the pen (MoveTo and LineTo of both sequences).
bool movesPen(std::int32_t kind);

// Whether no item reads the pixels it paints over (no flood fill): only then
// may pieces of a pass be painted apart and laid over one another.
bool paintsWithoutReading(const DisplayList &list);

// Where the main sequence may be cut into at most `pieces` pieces that paint
// apart, about as many items each (the first piece paints the underlay as
// well): each cut is a visible move with no polygon open, so a fresh renderer
// paints the rest from there as the whole pass does. Ascending, each after
// the first item; empty when there is no such place.
std::vector<std::size_t> passCuts(const DisplayList &list, const LayerLook &look, int pieces);

// Whether a fresh renderer paints the main sequence from its start as the
// pass does after the underlay: the underlay leaves no polygon open and the
// first item painted is a move.
bool mainPaintsAfresh(const DisplayList &list, const LayerLook &look);

class Renderer {
public:
    Renderer(DrawingSurface &surface, const LayerLook &look, RegionFill regionFill, const PixelMapping &mapping);

    // One drawing pass: the underlay, then the main sequence. The pen
    // position carries from item to item; the polygon store starts empty so
    // that vertices left open by earlier data never join this pass.
    void paint(const DisplayList &list);
    void paint(const ItemSequence &items);
    // A piece of a pass: the main items [first, last), after the underlay
    // when first is 0.
    void paintPiece(const DisplayList &list, std::size_t first, std::size_t last);
    // The items [first, last) of a sequence, going on from the items painted
    // before them.
    void paintRange(const ItemSequence &items, std::size_t first, std::size_t last);
    void paintItem(const DisplayItem &item);
    void startPass() { vertices_.clear(); }

    // Paints one layer's image: items of colourLayer 0 paint in the look's
    // colour 0 (what erases from the image), except the holes of a dark
    // flash (a donut's hole, a thermal's gaps, a macro's exposure-off
    // primitives), which leave whatever lay beneath the flash: they are
    // painted in holeMarker and the pixels beneath laid back. On a negative
    // image (the look inverted) dark objects are what erases. Call
    // endImage after the last item.
    void paintAsImage(Colour holeMarker, bool negative);
    void endImage() { flushFlash(); }
    // Puts the pen where the given item (a MoveTo or LineTo) left it, or at
    // the origin for nullptr, as a pass that painted everything before would.
    void placePen(const DisplayItem *item);

private:
    void draw(const DisplayItem &item, Colour colour);
    void flushFlash();
    bool partOfFlash(const DisplayItem &item) const;
    void widenFlashReach(const DisplayItem &item);
    PixelRect flashBox() const;
    void lineTo(const DisplayItem &item, Colour colour, BrushStyle brush);
    void sweepFigure(const DisplayItem &item, bool pie);
    void closePolygon();
    struct BoxFigure {
        std::int32_t kind;
        PixelPoint a, b;
        int pen;
        Colour penColour, brushColour;
        BrushStyle brush;
        bool operator==(const BoxFigure &) const = default;
    };
    bool repeatsLastFigure(const BoxFigure &figure);

    DrawingSurface &surface_;
    LayerLook look_;
    RegionFill regionFill_;
    PixelMapping map_;
    // Grows past the customary 8000 points rather than dropping vertices.
    std::vector<PixelPoint> vertices_;
    std::int32_t polygonLayer_ = 0;
    // The pen position before rounding, where wide strokes start.
    RayPoint exactPen_;

    // Layer image painting: the items of the flash being gathered (its
    // body first), whether it has holes, and the hole colour.
    bool asImage_ = false;
    bool negative_ = false;
    Colour holeMarker_ = 0;
    std::vector<DisplayItem> flash_;
    bool flashHasHole_ = false;
    PixelPoint flashPen_;
    // The stored box the flash's dark items reach.
    struct Reach {
        double minX, minY, maxX, maxY;
    };
    Reach flashReach_{};
    // The ellipse or rectangle painted last, while nothing else was painted
    // after it.
    std::optional<BoxFigure> lastFigure_;
};

}  // namespace korvane
