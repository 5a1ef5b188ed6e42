#include "print/PrintFrame.h"
#include "core/Numbers.h"
#include "print/PrintTexts.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace korvane {

PrintProgress::~PrintProgress() = default;

PageGeometry computePageGeometry(const PrinterMetrics &m, PrintKind kind)
{
    PageGeometry g;
    // A device that reports no size still maps: one dot per 1/600 inch.
    constexpr double fallbackDot = 25.4 / 600;
    g.dotWidthMm =
        m.printableWidthDots > 0 && m.printableWidthMm > 0 ? m.printableWidthMm / m.printableWidthDots : fallbackDot;
    g.dotHeightMm = m.printableHeightDots > 0 && m.printableHeightMm > 0 ? m.printableHeightMm / m.printableHeightDots
                                                                         : fallbackDot;
    const double w = m.pageWidthDots * g.dotWidthMm, h = m.pageHeightDots * g.dotHeightMm;
    if (kind == PrintKind::Gerber) {
        g.usableWidthMm = truncToInt(w) - 15;
        g.usableHeightMm = truncToInt(h) - 15;
    } else {
        g.usableWidthMm = roundToInt(w) - 20;
        g.usableHeightMm = roundToInt(h) - 20;
    }
    return g;
}

namespace {

// Dots stay well inside the integer range, so that boxes and offsets built
// from them cannot overflow whatever a file's numbers are.
constexpr std::int64_t DotLimit = std::int64_t(1) << 29;

int clampDots(std::int64_t v) { return static_cast<int>(std::clamp(v, -DotLimit, DotLimit)); }
int truncDots(double v) { return clampDots(truncToInt64(v)); }

// The scale that makes the drawing fit the page along the axis with less
// room; an axis of zero length does not limit it.
double fittingScale(double uw, double uh, double w, double h, double sw, double sh, double fallback)
{
    const bool byWidth = (uh - sh) >= (uw - sw);
    if (byWidth && w > 0)
        return uw / w;
    if (!byWidth && h > 0)
        return uh / h;
    if (w > 0)
        return uw / w;
    if (h > 0)
        return uh / h;
    return fallback;
}

}  // namespace

PrintPlacement placeDrawing(const DrawingExtents &e, PageGeometry &g, const ScaleSettings &settings, PrintKind kind)
{
    PrintPlacement p;
    const double w = e.width(), h = e.height();
    double uw = g.usableWidthMm, uh = g.usableHeightMm;
    auto turn = [&] {
        p.landscape = true;
        std::swap(g.usableWidthMm, g.usableHeightMm);
        std::swap(uw, uh);
    };
    double scale;
    if (settings.mode == ScaleMode::Automatic) {
        scale = fittingScale(uw, uh, w, h, w, h, 1);
    } else if (settings.keep) {
        scale = settings.typedScale;
    } else {
        const double s = settings.typedScale;
        if (uw > w * s && uh > h * s) {
            scale = s;
        } else if (uw > h * s && uh > w * s) {
            turn();
            scale = s;
        } else {
            if (kind == PrintKind::Gerber && h * s < w * s && uh > uw)
                turn();
            scale = fittingScale(uw, uh, w, h, w * s, h * s, s);
        }
    }
    p.scale = static_cast<float>(scale);
    const double sc = p.scale;
    const double minX = e.minX * sc, minY = e.minY * sc;
    const double mX = (uw - w * sc) / 2, mY = (uh - h * sc) / 2;
    p.offsetXDots = roundToInt((minX - (mX + 10)) / g.dotWidthMm);
    p.offsetYDots = roundToInt((minY - (mY + 10)) / g.dotHeightMm);
    p.offsetXDots = clampDots(std::int64_t(p.offsetXDots) - roundToInt(settings.offsetXMm / g.dotWidthMm));
    p.offsetYDots = clampDots(std::int64_t(p.offsetYDots) - roundToInt(settings.offsetYMm / g.dotHeightMm));
    return p;
}

PrintMapping::PrintMapping(const PageGeometry &geometry, const PrintPlacement &placement, bool mirrored)
    : geometry_(geometry), placement_(placement), mirrored_(mirrored),
      flipBase_(truncToInt((geometry.usableHeightMm + 20) / geometry.dotHeightMm))
{
}

int PrintMapping::mapX(double x) const
{
    return clampDots(std::int64_t(truncDots(x * placement_.scale / geometry_.dotWidthMm)) - placement_.offsetXDots);
}

int PrintMapping::mapYRaw(double y) const
{
    return clampDots(std::int64_t(truncDots(y * placement_.scale / geometry_.dotHeightMm)) - placement_.offsetYDots);
}

int PrintMapping::mapY(double y) const
{
    const int raw = mapYRaw(y);
    return mirrored_ ? raw : clampDots(std::int64_t(flipBase_) - raw);
}

int PrintMapping::toDotsX(double size) const { return truncDots(size * placement_.scale / geometry_.dotWidthMm); }
int PrintMapping::toDotsY(double size) const { return truncDots(size * placement_.scale / geometry_.dotHeightMm); }
int PrintMapping::roundDotsX(double size) const
{
    return clampDots(roundToInt64(size * placement_.scale / geometry_.dotWidthMm));
}
int PrintMapping::roundDotsY(double size) const
{
    return clampDots(roundToInt64(size * placement_.scale / geometry_.dotHeightMm));
}

std::string titleText(const std::string &fullPath, float scale)
{
    // The scale as typed: the shortest text that reads back as the same
    // single-precision value, so 1.1 prints as 1.1 and not 1.10000002384186.
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, scale);
    double shown = scale;
    if (ec == std::errc())
        tryParseReal(std::string_view(buffer, static_cast<std::size_t>(end - buffer)), shown);
    return fullPath + printmsg::TitleSeparator + formatReal(shown);
}

void drawTitle(DrawingSurface &page, const std::string &fullPath, float scale)
{
    page.textOut(1, 1, titleText(fullPath, scale));
}

// ---------------------------------------------------------------- command list

void PrintCommandList::add(const PrintCommand &c)
{
    if (c.kind == PrintCommandKind::RegionVertex || c.kind == PrintCommandKind::RegionClose)
        regions_.push_back(c);
    else
        main_.push_back(c);
}

void PrintCommandList::addPoint(PrintCommandKind kind, int x, int y, Colour colour, int penWidth, int fill)
{
    PrintCommand c;
    c.kind = kind;
    c.left = x;
    c.top = y;
    c.colour = colour;
    c.penWidth = penWidth;
    c.fill = fill;
    add(c);
}

void PrintCommandList::addBox(PrintCommandKind kind, int left, int top, int right, int bottom, Colour colour,
                              int penWidth, int fill)
{
    PrintCommand c;
    c.kind = kind;
    c.left = left;
    c.top = top;
    c.right = right;
    c.bottom = bottom;
    c.colour = colour;
    c.penWidth = penWidth;
    c.fill = fill;
    add(c);
}

void PrintCommandList::addArc(PrintCommandKind kind, int left, int top, int right, int bottom, PixelPoint start,
                              PixelPoint end, Colour colour, int penWidth)
{
    PrintCommand c;
    c.kind = kind;
    c.left = left;
    c.top = top;
    c.right = right;
    c.bottom = bottom;
    const bool clockwise = kind == PrintCommandKind::ArcCw || kind == PrintCommandKind::SectorCw;
    if (clockwise)
        std::swap(start, end);
    c.startX = start.x;
    c.startY = start.y;
    c.endX = end.x;
    c.endY = end.y;
    c.colour = colour;
    c.penWidth = penWidth;
    add(c);
}

void PrintCommandList::clear()
{
    main_.clear();
    regions_.clear();
    vertices_.clear();
}

void PrintCommandList::bufferVertex(int x, int y)
{
    if (vertices_.capacity() == 0)
        vertices_.reserve(VertexBufferSize);
    vertices_.push_back({x, y});
}

void PrintCommandList::closePolygon(DrawingSurface &page, const PrintCommand &close, BrushStyle style, Colour colour)
{
    page.setBrush(colour, style);
    page.setPen(colour, close.penWidth == 0 ? 1 : close.penWidth);
    std::size_t n = vertices_.size();
    // The last vertex repeats the first; an outline left open keeps all.
    if (n > 1 && vertices_.front() == vertices_.back())
        --n;
    if (n > 0)
        page.polygon(std::span<const PixelPoint>(vertices_.data(), n));
    vertices_.clear();
}

void PrintCommandList::flush(DrawingSurface &page, PrintRenderMode mode, RegionFillMode regionFill)
{
    const bool drill = mode == PrintRenderMode::Drill;
    const BrushStyle polygonBrush =
        !drill && regionFill == RegionFillMode::Hatched ? BrushStyle::DiagonalCross : BrushStyle::Solid;
    page.setCopyMode();
    vertices_.clear();
    for (const PrintCommand &c : regions_) {
        if (c.kind == PrintCommandKind::RegionVertex)
            bufferVertex(c.left, c.top);
        else
            closePolygon(page, c, regionFill == RegionFillMode::Solid ? BrushStyle::Solid : BrushStyle::DiagonalCross,
                         c.colour);
    }
    vertices_.clear();
    for (const PrintCommand &c : main_) {
        const Colour lineColour = drill ? colours::Black : c.colour;
        switch (c.kind) {
        case PrintCommandKind::Ellipse:
            page.setPen(c.colour, c.penWidth);
            page.setBrush(c.colour, c.fill == 2 || c.fill == 3 ? BrushStyle::Hollow : BrushStyle::Solid);
            page.ellipse(c.left, c.top, c.right, c.bottom);
            break;
        case PrintCommandKind::Rectangle: {
            const BrushStyle style = c.fill == 1 || c.fill == 3 ? BrushStyle::Hollow : BrushStyle::Solid;
            if (c.fill == 3) {
                page.setBrush(colours::White, style);
                page.setPen(lineColour, 1);
            } else {
                page.setBrush(lineColour, style);
                page.setPen(lineColour, 1);
            }
            page.rectangle(c.left, c.top, c.right, c.bottom);
            break;
        }
        case PrintCommandKind::MoveTo: page.moveTo(c.left, c.top); break;
        case PrintCommandKind::LineTo:
            page.setPen(lineColour, c.penWidth);
            page.setBrush(lineColour, c.fill == 1 ? BrushStyle::Hollow : BrushStyle::Solid);
            page.lineTo(c.left, c.top);
            break;
        case PrintCommandKind::ArcCcw:
        case PrintCommandKind::ArcCw:
            page.setPen(lineColour, c.penWidth);
            page.setBrush(lineColour, c.fill == 1 ? BrushStyle::Hollow : BrushStyle::Solid);
            page.arc(c.left, c.top, c.right, c.bottom, {double(c.startX), double(c.startY)},
                     {double(c.endX), double(c.endY)});
            break;
        case PrintCommandKind::PolygonVertex: bufferVertex(c.left, c.top); break;
        case PrintCommandKind::PolygonClose: closePolygon(page, c, polygonBrush, c.colour); break;
        case PrintCommandKind::SectorCcw:
        case PrintCommandKind::SectorCw:
            page.setPen(c.colour, c.penWidth);
            page.setBrush(c.colour, polygonBrush);
            page.pie(c.left, c.top, c.right, c.bottom, {double(c.startX), double(c.startY)},
                     {double(c.endX), double(c.endY)});
            break;
        case PrintCommandKind::RegionVertex:
        case PrintCommandKind::RegionClose: break;
        }
    }
    clear();
}

}  // namespace korvane
