#include "gerber/ItemTransform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane {
namespace {

constexpr std::int32_t baseKind(std::int32_t kind) { return kind >= 41 && kind <= 49 ? kind - UnderlayOffset : kind; }

// Multiples of 90 degrees give exact quarter turns, not 6.1E-17.
double exactSine(double degrees)
{
    const double turns = degrees / 90.0;
    if (std::abs(turns) < 1e9 && turns == std::round(turns)) {
        static constexpr double Quarter[] = {0, 1, 0, -1};
        return Quarter[((static_cast<long long>(turns) % 4) + 4) % 4];
    }
    return std::sin(degrees * std::numbers::pi / 180.0);
}

double exactCosine(double degrees) { return exactSine(degrees + 90.0); }

void box(DisplayItem &item, const ItemTransform &t)
{
    const Point p = t.apply({item.x1, item.y1}), q = t.apply({item.x2, item.y2});
    item.x1 = std::min(p.x, q.x);
    item.x2 = std::max(p.x, q.x);
    item.y1 = std::min(p.y, q.y);
    item.y2 = std::max(p.y, q.y);
}

}  // namespace

double ItemTransform::lengthScale() const { return std::sqrt(std::abs(a * d - b * c)); }

ItemTransform ItemTransform::rotation(double degrees)
{
    // Counter-clockwise on the board is clockwise in the Y-down frame.
    const double s = exactSine(degrees), co = exactCosine(degrees);
    return {co, s, -s, co, 0, 0};
}

ItemTransform ItemTransform::compose(const ItemTransform &first, const ItemTransform &then)
{
    ItemTransform r;
    r.a = then.a * first.a + then.b * first.c;
    r.b = then.a * first.b + then.b * first.d;
    r.c = then.c * first.a + then.d * first.c;
    r.d = then.c * first.b + then.d * first.d;
    r.tx = then.a * first.tx + then.b * first.ty + then.tx;
    r.ty = then.c * first.tx + then.d * first.ty + then.ty;
    return r;
}

void transformItem(const DisplayItem &item, const ItemTransform &t, std::vector<DisplayItem> &out)
{
    DisplayItem copy = item;
    const double k = t.lengthScale();
    switch (baseKind(item.kind)) {
    case 13:  // MoveTo, LineTo, FloodFill, PolygonVertex: a point
    case 14:
    case 17:
    case 18: {
        const Point p = t.apply({item.x1, item.y1});
        copy.x1 = p.x;
        copy.y1 = p.y;
        if (baseKind(item.kind) == 14)
            copy.width = item.width * k;
        break;
    }
    case 19: break;  // PolygonClose
    case 11:         // Ellipse: a circle stays a circle about its moved centre
    case 12: {       // Rectangle
        const bool circle = baseKind(item.kind) == 11 && (item.x2 - item.x1) == (item.y2 - item.y1);
        if (t.keepsAxes() || circle) {
            if (circle && !t.keepsAxes()) {
                const Point c = t.apply({(item.x1 + item.x2) / 2, (item.y1 + item.y2) / 2});
                const double r = (item.x2 - item.x1) / 2 * k;
                copy.x1 = c.x - r;
                copy.x2 = c.x + r;
                copy.y1 = c.y - r;
                copy.y2 = c.y + r;
            } else {
                box(copy, t);
            }
            if (item.width != 1.0)
                copy.width = item.width * k;
            break;
        }
        // A box turned off the axes becomes its four corners, filled.
        const bool under = item.kind >= 41 && item.kind <= 49;
        DisplayItem v = item;
        v.kind = static_cast<std::int32_t>(under ? ItemKind::UnderPolygonVertex : ItemKind::PolygonVertex);
        v.x2 = v.y2 = 0;
        v.width = 0;
        v.fill = 1;
        const Point corners[] = {{item.x1, item.y1}, {item.x2, item.y1}, {item.x2, item.y2}, {item.x1, item.y2}};
        for (const Point &c : corners) {
            const Point p = t.apply(c);
            v.x1 = p.x;
            v.y1 = p.y;
            out.push_back(v);
            v.role = RoleAuxiliary;
        }
        DisplayItem close = v;
        close.kind = static_cast<std::int32_t>(under ? ItemKind::UnderPolygonClose : ItemKind::PolygonClose);
        close.x1 = close.y1 = 0;
        out.push_back(close);
        return;
    }
    case 15:  // arcs and sectors: centre, radius and the two sweep points
    case 16:
    case 55:
    case 56: {
        const Point c = t.apply({(item.x1 + item.x2) / 2, (item.y1 + item.y2) / 2});
        const double rx = (item.x2 - item.x1) / 2 * k, ry = (item.y2 - item.y1) / 2 * k;
        copy.x1 = c.x - rx;
        copy.x2 = c.x + rx;
        copy.y1 = c.y - ry;
        copy.y2 = c.y + ry;
        Point s = t.apply({item.sweepStartX, item.sweepStartY}), e = t.apply({item.sweepEndX, item.sweepEndY});
        if (t.mirrors())
            std::swap(s, e);  // the sweep runs the other way round
        copy.sweepStartX = s.x;
        copy.sweepStartY = s.y;
        copy.sweepEndX = e.x;
        copy.sweepEndY = e.y;
        copy.width = item.width * k;
        break;
    }
    default: break;
    }
    out.push_back(copy);
}

}  // namespace korvane
