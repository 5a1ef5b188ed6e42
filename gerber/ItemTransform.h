#pragma once
// Linear maps of display items: the image parameters of a file (%OF %SF
// %MI %IR), the aperture transforms (%LM %LR %LS) of flashes and block
// flashes, and the copies of a step and repeat.
#include "core/Document.h"

#include <vector>

namespace korvane {

// p' = M p + t in the internal frame (Y down).
struct ItemTransform {
    double a = 1, b = 0, c = 0, d = 1;  // x' = a x + b y, y' = c x + d y
    double tx = 0, ty = 0;

    bool identity() const { return a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0; }
    bool linearIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1; }
    Point apply(Point p) const { return {a * p.x + b * p.y + tx, c * p.x + d * p.y + ty}; }
    // The factor lengths (widths, diameters) scale by.
    double lengthScale() const;
    // True when the map turns the picture over.
    bool mirrors() const { return a * d - b * c < 0; }
    // True when axis-parallel boxes stay axis-parallel.
    bool keepsAxes() const { return (b == 0 && c == 0) || (a == 0 && d == 0); }

    static ItemTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    // The board's own counter-clockwise rotation, in the internal frame.
    static ItemTransform rotation(double degrees);
    static ItemTransform scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // First `first`, then `then`.
    static ItemTransform compose(const ItemTransform &first, const ItemTransform &then);
};

// Appends the items the map makes of `item` to `out`: one item, or a
// polygon where a box turns off the axes.
void transformItem(const DisplayItem &item, const ItemTransform &t, std::vector<DisplayItem> &out);

}  // namespace korvane
