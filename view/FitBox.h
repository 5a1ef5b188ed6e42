#pragma once
// The box of board millimetres that fit and zoom centre and scale to.
#include "core/Document.h"

namespace korvane {

// Board orientation (Y up), like the document's extents.
struct FitBox {
    double minX = 0, minY = 0;
    double extentX = 0, extentY = 0;

    bool operator==(const FitBox &) const = default;
};

// The least span in mm the fit gives an axis whose coordinates span
// (almost) nothing.
inline constexpr double FitFloorMm = 5.0;

// Whether the box may depend on the items: an axis of the extents spans
// less than the floor. Boards of ordinary size never do, so the fit's
// set-up can be known from the extents alone, before any item is read.
bool fitMayNeedItems(const Document &doc);

// The document's extents, except in an axis whose coordinates span less
// than the floor and less than half of what the items draw there (a single
// pad, a cluster of flashes within micrometres, one drill hole at the
// origin): there the box spans what is drawn, apertures and marks
// included, at least FitFloorMm, centred on the drawing. Without such an
// axis the items are not looked at.
FitBox fitBoxOf(const Document &doc);

// What the items draw, in board millimetres: every point an item paints
// at, widened by half its pen, and the start of each stroke; moves that
// draw nothing are left out. Empty (min > max) when nothing is drawn.
Extents drawnExtentsOf(const DisplayList &list);

}  // namespace korvane
