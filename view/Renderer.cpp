#include "view/Renderer.h"
#include "core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvane {

namespace {

// Keeps mapped positions far inside the range the raster primitives handle,
// whatever a damaged file holds. Rounding is half to even (the default
// rounding mode); NaN counts as 0. Both run for every point of every item
// (a redraw maps millions): the compiler is told to keep them inline.
constexpr double CoordinateLimit = double(1 << 24);

[[gnu::always_inline]] inline int toPixel(double value, int offset)
{
    if (std::isnan(value))
        value = 0;
    const double p = roundHalfEven(value) - offset;
    return static_cast<int>(std::clamp(p, -CoordinateLimit, CoordinateLimit));
}

[[gnu::always_inline]] inline double toExactPixel(double value, int offset)
{
    if (std::isnan(value))
        value = 0;
    return std::clamp(value - offset, -CoordinateLimit, CoordinateLimit);
}

// Strokes at least a pixel wide are drawn at their true geometry: a
// one-pixel line is narrower than they are, and strokes laid side by side
// at a pitch of more than a pixel would leave white rows between them.
// Narrower strokes are one-pixel lines, which overlapping neighbours (less
// than a pixel apart) never leave a gap between.
constexpr double WideStroke = 1.0;

constexpr std::int32_t underlayTwin(std::int32_t kind)
{
    switch (kind) {
    case 41:
    case 42:
    case 43:
    case 44:
    case 47:
    case 48:
    case 49: return kind - UnderlayOffset;
    default: return kind;
    }
}

bool isClose(std::int32_t kind) { return underlayTwin(kind) == 19; }

// A flash begins with its body; a macro's polygon closes and vertices after
// the first never do.
bool startsFlash(const DisplayItem &item) { return item.role == RoleFlash && !isClose(item.kind); }

}  // namespace

bool paintedBy(const DisplayItem &item, const LayerLook &look)
{
    const std::int32_t layer = item.layer, colourLayer = item.colourLayer;
    return layer >= 1 && layer <= LayerCount && look.visible[layer] && colourLayer >= 0 && colourLayer <= LayerCount;
}

bool paintsPixels(std::int32_t kind)
{
    switch (underlayTwin(kind)) {
    case 13:
    case 18: return false;
    default: return true;
    }
}

bool hasBoxCorners(std::int32_t kind)
{
    switch (underlayTwin(kind)) {
    case 11:
    case 12:
    case 15:
    case 16:
    case 55:
    case 56: return true;
    default: return false;
    }
}

bool startsFromPen(std::int32_t kind) { return underlayTwin(kind) == 14; }

bool movesPen(std::int32_t kind)
{
    const std::int32_t k = underlayTwin(kind);
    return k == 13 || k == 14;
}

PixelPoint PixelMapping::point(double x, double y) const
{
    return {toPixel((x * scale + shiftX) / mmPerPixelX, offsetX), toPixel((y * scale + shiftY) / mmPerPixelY, offsetY)};
}

PixelPoint PixelMapping::point(double x, double y, RayPoint &exact) const
{
    const double column = (x * scale + shiftX) / mmPerPixelX, row = (y * scale + shiftY) / mmPerPixelY;
    exact = {toExactPixel(column, offsetX), toExactPixel(row, offsetY)};
    return {toPixel(column, offsetX), toPixel(row, offsetY)};
}

int PixelMapping::penWidth(double mm) const { return std::max(0, toPixel(mm * scale / mmPerPixelX, 0)); }

double PixelMapping::exactWidth(double mm) const { return std::max(0.0, toExactPixel(mm * scale / mmPerPixelX, 0)); }

bool paintsWithoutReading(const DisplayList &list)
{
    auto floods = [](const ItemSequence &items) {
        return items.containsKind(17) || items.containsKind(UnderlayOffset + 17);
    };
    return !floods(list.underlay()) && !floods(list.main());
}

std::vector<std::size_t> passCuts(const DisplayList &list, const LayerLook &look, int pieces)
{
    std::vector<std::size_t> cuts;
    const ItemSequence &items = list.main();
    const std::size_t n = items.size();
    const bool polygons = items.containsKind(18) || items.containsKind(UnderlayOffset + 18);
    // The underlay is painted with the first piece: the pieces share out
    // the items of both sequences.
    const std::size_t all = list.underlay().size() + n;
    for (int k = 1; k < pieces; ++k) {
        const std::size_t share = all * std::size_t(k) / std::size_t(pieces), under = list.underlay().size();
        const std::size_t from =
            std::max<std::size_t>(share > under ? share - under : 0, cuts.empty() ? 1 : cuts.back() + 1);
        if (from >= n)
            break;
        // Until a close or a vertex is seen, whether a polygon is open at
        // `from` is not known.
        enum { Unknown, Closed, Open } polygon = polygons ? Unknown : Closed;
        std::size_t cut = from;
        for (auto it = ItemSequence::const_iterator(&items, from), end = items.end(); it != end; ++it, ++cut) {
            if (!paintedBy(*it, look))
                continue;
            const std::int32_t kind = underlayTwin(it->kind);
            if (kind == 19)
                polygon = Closed;
            else if (kind == 18)
                polygon = Open;
            else if (kind == 13 && polygon == Closed)
                break;
        }
        if (cut >= n)
            break;
        cuts.push_back(cut);
    }
    return cuts;
}

bool mainPaintsAfresh(const DisplayList &list, const LayerLook &look)
{
    const ItemSequence &under = list.underlay();
    if (under.containsKind(18) || under.containsKind(UnderlayOffset + 18)) {
        // The last vertex or close painted decides.
        for (std::size_t i = under.size(); i-- > 0;) {
            const DisplayItem item = under[i];
            if (!paintedBy(item, look))
                continue;
            const std::int32_t kind = underlayTwin(item.kind);
            if (kind == 19)
                break;
            if (kind == 18)
                return false;
        }
    }
    for (const DisplayItem &item : list.main())
        if (paintedBy(item, look))
            return underlayTwin(item.kind) == 13;
    return true;  // nothing painted
}

LayerLook LayerLook::from(const LayerTable &layers)
{
    LayerLook look;
    look.colour[0] = colours::White;
    for (int n = 1; n <= LayerCount; ++n) {
        look.colour[n] = layers.slot(n).colour;
        look.visible[n] = layers.slot(n).visible != 0;
        look.negative[n] = layers.slot(n).negative;
    }
    return look;
}

Renderer::Renderer(DrawingSurface &surface, const LayerLook &look, RegionFill regionFill, const PixelMapping &mapping)
    : surface_(surface), look_(look), regionFill_(regionFill), map_(mapping)
{
    vertices_.reserve(8000);
}

void Renderer::paint(const DisplayList &list)
{
    startPass();
    paint(list.underlay());
    paint(list.main());
}

void Renderer::paint(const ItemSequence &items)
{
    for (const DisplayItem &item : items)
        paintItem(item);
}

void Renderer::paintPiece(const DisplayList &list, std::size_t first, std::size_t last)
{
    startPass();
    if (first == 0)
        paint(list.underlay());
    paintRange(list.main(), first, last);
}

void Renderer::paintRange(const ItemSequence &items, std::size_t first, std::size_t last)
{
    last = std::min(last, items.size());
    if (first >= last)
        return;
    for (auto it = ItemSequence::const_iterator(&items, first), end = ItemSequence::const_iterator(&items, last);
         it != end; ++it)
        paintItem(*it);
}

void Renderer::paintAsImage(Colour holeMarker, bool negative)
{
    asImage_ = true;
    holeMarker_ = holeMarker;
    negative_ = negative;
}

void Renderer::placePen(const DisplayItem *item)
{
    flushFlash();
    if (item == nullptr) {
        exactPen_ = {};
        surface_.moveTo(0, 0);
        return;
    }
    const PixelPoint p = map_.point(item->x1, item->y1, exactPen_);
    surface_.moveTo(p.x, p.y);
}

void Renderer::paintItem(const DisplayItem &item)
{
    if (!paintedBy(item, look_))
        return;
    if (!asImage_) {
        draw(item, look_.colour[item.colourLayer]);
        return;
    }
    // A flash is gathered up to its last auxiliary item, so that the pixels
    // its holes cover can be kept before its body is painted.
    if (!flash_.empty()) {
        if (partOfFlash(item)) {
            flash_.push_back(item);
            flashHasHole_ = flashHasHole_ || (item.colourLayer == 0 && paintsPixels(item.kind));
            widenFlashReach(item);
            return;
        }
        flushFlash();
    }
    if (startsFlash(item) && item.colourLayer != 0) {
        flash_.push_back(item);
        flashHasHole_ = false;
        flashPen_ = surface_.penPosition();
        flashReach_ = {item.x1, item.y1, item.x1, item.y1};
        widenFlashReach(item);
        return;
    }
    draw(item, look_.colour[item.colourLayer]);
}

// What follows a flash's body and belongs to it: its holes, gaps, further
// primitives, their moves, vertices and closes (all auxiliary items).
// Strokes, drill hits and the next flash end it. A region drawn in clear
// right after a flash cannot be told from a macro's exposure-off outline by
// its items: clear vertices belong to the flash only within what the flash
// reaches, which a hole never leaves.
bool Renderer::partOfFlash(const DisplayItem &item) const
{
    if (item.layer != flash_.front().layer || item.role != RoleAuxiliary)
        return false;
    if (underlayTwin(item.kind) != 18 || item.colourLayer != 0)
        return true;
    constexpr double Tolerance = 1e-9;
    return item.x1 >= flashReach_.minX - Tolerance && item.x1 <= flashReach_.maxX + Tolerance &&
           item.y1 >= flashReach_.minY - Tolerance && item.y1 <= flashReach_.maxY + Tolerance;
}

void Renderer::widenFlashReach(const DisplayItem &item)
{
    if (item.colourLayer == 0)
        return;
    auto take = [this](double x, double y) {
        flashReach_.minX = std::min(flashReach_.minX, x);
        flashReach_.maxX = std::max(flashReach_.maxX, x);
        flashReach_.minY = std::min(flashReach_.minY, y);
        flashReach_.maxY = std::max(flashReach_.maxY, y);
    };
    take(item.x1, item.y1);
    if (hasBoxCorners(item.kind))
        take(item.x2, item.y2);
}

void Renderer::flushFlash()
{
    if (flash_.empty())
        return;
    if (flashHasHole_)
        surface_.keepPixels(flashBox());
    for (const DisplayItem &item : flash_)
        draw(item, flashHasHole_ && item.colourLayer == 0 ? holeMarker_ : look_.colour[item.colourLayer]);
    if (flashHasHole_) {
        surface_.restoreKept(holeMarker_);
        lastFigure_.reset();
    }
    flash_.clear();
    flashHasHole_ = false;
}

// A figure painted again over itself, with nothing painted in between,
// changes no pixel: a file that flashes one pad thousands of times at one
// place costs one flash.
bool Renderer::repeatsLastFigure(const BoxFigure &figure)
{
    if (lastFigure_ == figure)
        return true;
    lastFigure_ = figure;
    return false;
}

// Every pixel the flash's items may paint: their points, the pen position
// the first stroke starts from, and half the widest pen around them.
PixelRect Renderer::flashBox() const
{
    int left = flashPen_.x, right = flashPen_.x, top = flashPen_.y, bottom = flashPen_.y;
    double widest = 1;
    auto take = [&](PixelPoint p) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    };
    for (const DisplayItem &item : flash_) {
        take(map_.point(item.x1, item.y1));
        if (hasBoxCorners(item.kind))
            take(map_.point(item.x2, item.y2));
        widest = std::max(widest, map_.exactWidth(item.width));
    }
    const int margin = static_cast<int>(std::min(widest / 2, CoordinateLimit)) + 3;
    return {left - margin, top - margin, right + margin, bottom + margin};
}

void Renderer::draw(const DisplayItem &item, Colour colour)
{
    const std::int32_t layer = item.layer;
    const std::int32_t colourLayer = item.colourLayer;
    const std::int32_t fill = item.fill;
    const BrushStyle solidOrHollow = fill == 1 ? BrushStyle::Hollow : BrushStyle::Solid;
    const BrushStyle region = regionFill_ == RegionFill::Solid ? BrushStyle::Solid : BrushStyle::DiagonalCross;
    const std::int32_t kind = underlayTwin(item.kind);
    if (kind != 11 && kind != 12 && paintsPixels(kind))
        lastFigure_.reset();

    switch (kind) {
    case 11: {  // Ellipse: the exact width 1.0 keeps a one-pixel outline at every zoom
        const int pen = item.width == 1.0 ? 1 : map_.penWidth(item.width);
        const BrushStyle brush = fill == 2 || fill == 3 ? BrushStyle::Hollow : BrushStyle::Solid;
        const PixelPoint a = map_.point(item.x1, item.y1), b = map_.point(item.x2, item.y2);
        if (repeatsLastFigure({kind, a, b, pen, colour, colour, brush}))
            break;
        surface_.setPen(colour, pen);
        surface_.setBrush(colour, brush);
        surface_.ellipse(a.x, a.y, b.x, b.y);
        break;
    }
    case 12: {  // Rectangle: fill 3 is an outline in the layer colour
        // Square flashes and strokes are outlines on the screen, but an
        // outline of clearing (or of a hole) would clear nothing that
        // matters: those clear their whole area, as dark ones do on a
        // negative image.
        const bool hollow = (fill == 1 && (colourLayer != 0) != negative_) || fill == 3;
        const Colour brushColour = fill == 3 && colourLayer != 0 ? colours::White : colour;
        const BrushStyle brush = hollow ? BrushStyle::Hollow : BrushStyle::Solid;
        const PixelPoint a = map_.point(item.x1, item.y1), b = map_.point(item.x2, item.y2);
        if (repeatsLastFigure({kind, a, b, 1, colour, brushColour, brush}))
            break;
        surface_.setPen(colour, 1);
        surface_.setBrush(brushColour, brush);
        surface_.rectangle(a.x, a.y, b.x, b.y);
        break;
    }
    case 13: {
        const PixelPoint p = map_.point(item.x1, item.y1, exactPen_);
        surface_.moveTo(p.x, p.y);
        break;
    }
    case 14: lineTo(item, colour, solidOrHollow); break;
    case 15:
    case 16: {
        surface_.setPen(colour, map_.penWidth(item.width));
        surface_.setBrush(colour, solidOrHollow);
        sweepFigure(item, false);
        break;
    }
    case 17: {
        surface_.setPen(colour, map_.penWidth(item.width));
        surface_.setBrush(colour, solidOrHollow);
        const PixelPoint p = map_.point(item.x1, item.y1);
        surface_.floodFill(p.x, p.y, surface_.getPixel(p.x, p.y));
        break;
    }
    case 18:
        // A polygon belongs to one layer: vertices another file left open
        // never join it.
        if (layer != polygonLayer_)
            vertices_.clear();
        polygonLayer_ = layer;
        vertices_.push_back(map_.point(item.x1, item.y1));
        break;
    case 19:
        surface_.setPen(colour, item.width != 0 ? 1 : 0);
        surface_.setBrush(colour, region);
        closePolygon();
        break;
    case 55:
    case 56:
        surface_.setPen(colour, map_.penWidth(item.width));
        surface_.setBrush(colour, region);
        sweepFigure(item, true);
        break;
    default: break;
    }
}

// A wide stroke runs between the unrounded end points, so that strokes
// laid side by side (pours written as overlapping strokes) stay solid at
// every scale; thin ones are one-pixel lines between the pixels.
void Renderer::lineTo(const DisplayItem &item, Colour colour, BrushStyle brush)
{
    const int pen = map_.penWidth(item.width);
    surface_.setPen(colour, pen);
    surface_.setBrush(colour, brush);
    RayPoint exact;
    const PixelPoint p = map_.point(item.x1, item.y1, exact);
    if (const double width = map_.exactWidth(item.width); width >= WideStroke) {
        // Whoever moved the pen without the renderer left no exact position.
        const PixelPoint at = surface_.penPosition();
        const RayPoint from = at == PixelPoint{toPixel(exactPen_.x, 0), toPixel(exactPen_.y, 0)}
                                  ? exactPen_
                                  : RayPoint{double(at.x), double(at.y)};
        surface_.strokeTo(p.x, p.y, {from, exact, width});
    } else {
        surface_.lineTo(p.x, p.y);
    }
    exactPen_ = exact;
}

// Arcs and sectors. The rays are taken from the stored millimetres, not from
// rounded pixels: sweep ends that are close but not equal keep their real
// directions (a short or a nearly full arc), and only equal ends give the
// whole ellipse.
void Renderer::sweepFigure(const DisplayItem &item, bool pie)
{
    RayPoint e1, e2;
    const PixelPoint c1 = map_.point(item.x1, item.y1, e1), c2 = map_.point(item.x2, item.y2, e2);
    const double centreX = (double(c1.x) + c2.x) / 2, centreY = (double(c1.y) + c2.y) / 2;
    const double midX = (item.x1 + item.x2) / 2, midY = (item.y1 + item.y2) / 2;
    const double kx = map_.scale / map_.mmPerPixelX, ky = map_.scale / map_.mmPerPixelY;
    const RayPoint start{centreX + (item.sweepStartX - midX) * kx, centreY + (item.sweepStartY - midY) * ky};
    const RayPoint end{centreX + (item.sweepEndX - midX) * kx, centreY + (item.sweepEndY - midY) * ky};
    if (pie) {
        surface_.pie(c1.x, c1.y, c2.x, c2.y, start, end);
    } else if (const double width = map_.exactWidth(item.width); width >= WideStroke) {
        const double ex = (e1.x + e2.x) / 2, ey = (e1.y + e2.y) / 2;
        surface_.strokeArc(c1.x, c1.y, c2.x, c2.y, start, end,
                           {e1,
                            e2,
                            {start.x - centreX + ex, start.y - centreY + ey},
                            {end.x - centreX + ex, end.y - centreY + ey},
                            width});
    } else {
        surface_.arc(c1.x, c1.y, c2.x, c2.y, start, end);
    }
}

// The last stored vertex is left out only when it repeats the first; fewer
// than three vertices (a close without its vertices) draw nothing.
void Renderer::closePolygon()
{
    std::size_t n = vertices_.size();
    if (n >= 3) {
        if (vertices_.back() == vertices_.front())
            --n;
        surface_.polygon(std::span<const PixelPoint>(vertices_.data(), n));
    }
    vertices_.clear();
}

}  // namespace korvane
