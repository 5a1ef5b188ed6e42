#pragma once
// Paints the DisplayList onto a DrawingSurface, item by item, in the layer
// colours, skipping hidden layers.
#include "core/Document.h"
#include "view/DrawingSurface.h"

#include <array>
#include <cstddef>
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
// used by clear items) and never a visible layer.
struct LayerLook {
    std::array<Colour, LayerCount + 1> colour{};
    std::array<bool, LayerCount + 1> visible{};

    bool operator==(const LayerLook &) const = default;

    static LayerLook from(const LayerTable &layers);
};

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

private:
    void lineTo(const DisplayItem &item, Colour colour, BrushStyle brush);
    void sweepFigure(const DisplayItem &item, bool pie);
    void closePolygon();

    DrawingSurface &surface_;
    LayerLook look_;
    RegionFill regionFill_;
    PixelMapping map_;
    // Grows past the customary 8000 points rather than dropping vertices.
    std::vector<PixelPoint> vertices_;
    std::int32_t polygonLayer_ = 0;
    // The pen position before rounding, where wide strokes start.
    RayPoint exactPen_;
};

}  // namespace korvane
