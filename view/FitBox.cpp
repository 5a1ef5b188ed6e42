#include "view/FitBox.h"

#include <algorithm>
#include <limits>

namespace korvane {
namespace {

constexpr std::int32_t mainKindOf(std::int32_t kind) { return kind >= 41 && kind <= 49 ? kind - UnderlayOffset : kind; }

// Grows a box in board orientation by points in stored millimetres (Y down).
class DrawnBox {
public:
    DrawnBox()
    {
        const double inf = std::numeric_limits<double>::infinity();
        box_ = {inf, -inf, inf, -inf};
    }
    void add(double x, double storedY, double halfPen)
    {
        const double y = -storedY;
        box_.minX = std::min(box_.minX, x - halfPen);
        box_.maxX = std::max(box_.maxX, x + halfPen);
        box_.minY = std::min(box_.minY, y - halfPen);
        box_.maxY = std::max(box_.maxY, y + halfPen);
    }
    void addCorners(const DisplayItem &item, double halfPen)
    {
        add(item.x1, item.y1, halfPen);
        add(item.x2, item.y2, halfPen);
    }
    void addSequence(const ItemSequence &items)
    {
        // Where the pen stands: a stroke starts there.
        double penX = 0, penY = 0;
        for (const DisplayItem &item : items) {
            const double halfPen = item.width > 0 ? item.width / 2 : 0;
            switch (mainKindOf(item.kind)) {
            case 11:  // the width 1.0 marks a one-pixel outline, not a millimetre
                addCorners(item, item.width == 1.0 ? 0 : halfPen);
                break;
            case 12: addCorners(item, 0); break;  // a one-pixel pen
            case 13:
                penX = item.x1;
                penY = item.y1;
                break;
            case 14:
                add(penX, penY, halfPen);
                add(item.x1, item.y1, halfPen);
                penX = item.x1;
                penY = item.y1;
                break;
            case 15:
            case 16:
            case 55:
            case 56: addCorners(item, halfPen); break;  // the whole ellipse: a safe bound
            case 17:
            case 18: add(item.x1, item.y1, 0); break;
            default: break;
            }
        }
    }
    const Extents &extents() const { return box_; }

private:
    Extents box_;
};

struct AxisBox {
    double min = 0, extent = 0;
};

// One axis of the fit box: the coordinates' span, or what is drawn when the
// coordinates span less than the floor and less than half the drawing.
AxisBox fitAxis(double min, double extent, double drawnMin, double drawnMax)
{
    const double drawn = drawnMax - drawnMin;
    if (!(drawn >= 0) || extent >= FitFloorMm || drawn <= 2 * extent)
        return {min, extent};
    const double span = std::max(drawn, FitFloorMm);
    return {(drawnMin + drawnMax) / 2 - span / 2, span};
}

}  // namespace

Extents drawnExtentsOf(const DisplayList &list)
{
    DrawnBox box;
    box.addSequence(list.underlay());
    box.addSequence(list.main());
    return box.extents();
}

bool fitMayNeedItems(const Document &doc) { return doc.extentX < FitFloorMm || doc.extentY < FitFloorMm; }

FitBox fitBoxOf(const Document &doc)
{
    const FitBox asExtents{doc.minX, doc.minY, doc.extentX, doc.extentY};
    if (!fitMayNeedItems(doc))
        return asExtents;
    const Extents drawn = drawnExtentsOf(doc.displayList);
    const AxisBox x = fitAxis(doc.minX, doc.extentX, drawn.minX, drawn.maxX);
    const AxisBox y = fitAxis(doc.minY, doc.extentY, drawn.minY, drawn.maxY);
    return {x.min, y.min, x.extent, y.extent};
}

}  // namespace korvane
