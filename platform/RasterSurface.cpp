#include "platform/RasterSurface.h"

#include "core/Numbers.h"
#include "platform/PolygonFill.h"
#include "platform/QtColour.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <numbers>
#include <vector>

namespace korvane {

namespace {

struct Box {
    int left, top, right, bottom;  // right and bottom exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    // The rectangle whose aliased outline covers exactly the box's pixels.
    QRect outline() const { return QRect(left, top, width() - 1, height() - 1); }
    // The same for a wide pen, which QPainter centres on pixel corners
    // unless moved by half a pixel.
    QRectF outlineFor(int penWidth) const
    {
        const double shift = penWidth > 1 ? 0.5 : 0.0;
        return QRectF(outline()).translated(shift, shift);
    }
};

Box boxOf(int x1, int y1, int x2, int y2)
{
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// The corners of a polygon of four vertices whose edges run along the axes
// in turn (a rectangular pad or pour written as a region), when it is at
// least a pixel wide and high; right and bottom are the corner pixels'.
bool axisRectangle(std::span<const PixelPoint> p, int &left, int &top, int &right, int &bottom)
{
    if (p.size() != 4)
        return false;
    const bool acrossFirst = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
    const bool downFirst = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
    if (!acrossFirst && !downFirst)
        return false;
    left = std::min(p[0].x, p[2].x);
    right = std::max(p[0].x, p[2].x);
    top = std::min(p[0].y, p[2].y);
    bottom = std::max(p[0].y, p[2].y);
    return left < right && top < bottom;
}

// Which pixels of each row of an 8 x 8 cell Qt's diagonal cross pattern
// paints (bit x of row y), taken from Qt itself so that hatched regions
// look the same whichever way they are filled.
using HatchRows = std::array<std::uint8_t, 8>;
const HatchRows &diagonalCrossRows()
{
    static const HatchRows rows = [] {
        QImage cell(8, 8, QImage::Format_RGB16);
        cell.fill(Qt::white);
        {
            QPainter p(&cell);
            p.fillRect(QRect(0, 0, 8, 8), QBrush(Qt::black, Qt::DiagCrossPattern));
        }
        HatchRows r{};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (cell.pixelColor(x, y) != QColor(Qt::white))
                    r[static_cast<std::size_t>(y)] |= static_cast<std::uint8_t>(1u << x);
        return r;
    }();
    return rows;
}

// A run of one colour, where strokes and fills spend most of their time:
// a few wide stores that may overlap (the same value twice) instead of a
// loop over the last pixels.
void fillRun(std::uint16_t *first, std::uint16_t *last, std::uint16_t colour)
{
    const std::uint64_t four = colour * 0x0001000100010001ull;
    const std::ptrdiff_t n = last - first;
    if (n >= 8) {
        const std::uint64_t eight[2] = {four, four};
        for (std::uint16_t *end = last - 8; first < end; first += 8)
            std::memcpy(first, eight, sizeof eight);
        std::memcpy(last - 8, eight, sizeof eight);
    } else if (n >= 4) {
        std::memcpy(first, &four, sizeof four);
        std::memcpy(last - 4, &four, sizeof four);
    } else if (n >= 2) {
        std::memcpy(first, &four, 4);
        std::memcpy(last - 2, &four, 4);
    } else if (n == 1) {
        *first = colour;
    }
}

// The pixels QPainter's aliased one-pixel ellipse covers in a box of one
// size, outline and (when solid) interior, as runs of rows relative to the
// box's top left. Integer boxes rasterise the same wherever they lie, so a
// pad drawn a thousand times is asked of QPainter once and then copied.
struct EllipseRun {
    int dy, x0, x1;  // x1 exclusive
};
using EllipseRuns = std::vector<EllipseRun>;

// Flashes and holes are small; larger boxes go to QPainter each time.
constexpr int MaskedEllipseLimit = 96;

// Null when QPainter paints that box farther outside it than the scratch
// raster holds (flat ellipses overshoot their ends by a few pixels).
const EllipseRuns *ellipseRuns(int width, int height, bool solid)
{
    // One cache per thread: a batch front end may draw on several.
    enum : std::uint8_t { Unknown, Made, Unusable };
    thread_local std::vector<EllipseRuns> cache[2];
    thread_local std::vector<std::uint8_t> state[2];
    std::vector<EllipseRuns> &runs = cache[solid ? 1 : 0];
    std::vector<std::uint8_t> &known = state[solid ? 1 : 0];
    const std::size_t key = std::size_t(height) * (MaskedEllipseLimit + 1) + std::size_t(width);
    if (runs.empty()) {
        runs.resize(std::size_t(MaskedEllipseLimit + 1) * (MaskedEllipseLimit + 1));
        known.assign(runs.size(), Unknown);
    }
    if (known[key] == Unknown) {
        constexpr int Margin = 8;
        QImage scratch(width + 2 * Margin, height + 2 * Margin, QImage::Format_RGB16);
        scratch.fill(Qt::white);
        {
            QPainter p(&scratch);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QPen(Qt::black, 0));
            p.setBrush(solid ? QBrush(Qt::black) : QBrush(Qt::NoBrush));
            p.drawEllipse(QRect(Margin, Margin, width - 1, height - 1));
        }
        EllipseRuns &out = runs[key];
        for (int y = 0; y < scratch.height(); ++y) {
            const auto *line = reinterpret_cast<const std::uint16_t *>(scratch.constScanLine(y));
            for (int x = 0; x < scratch.width();) {
                if (line[x] == 0xFFFF) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < scratch.width() && line[x] != 0xFFFF)
                    ++x;
                out.push_back({y - Margin, start - Margin, x - Margin});
                if (y == 0 || y == scratch.height() - 1 || start == 0 || x == scratch.width())
                    known[key] = Unusable;
            }
        }
        if (known[key] == Unusable)
            out.clear();
        else
            known[key] = Made;
    }
    return known[key] == Made ? &runs[key] : nullptr;
}

// Ceil of a value within the int range, without the library's general
// rounding: truncate, then step up when something was cut off.
int ceilToInt(double value)
{
    const int t = static_cast<int>(value);
    return t + (static_cast<double>(t) < value ? 1 : 0);
}

// Cosine and sine of the exact angles seen lately: arcs of one shape repeat
// their angles bit for bit, and the library's call costs more than a look-up.
struct CosSin {
    double cos, sin;
};
CosSin cosSinOf(double angle)
{
    struct Entry {
        std::uint64_t bits = 0;
        CosSin value{};
        bool used = false;
    };
    thread_local std::array<Entry, 1024> memory{};
    std::uint64_t bits;
    std::memcpy(&bits, &angle, sizeof bits);
    Entry &e = memory[static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 54)];
    if (!e.used || e.bits != bits)
        e = {bits, {std::cos(angle), std::sin(angle)}, true};
    return e.value;
}

}  // namespace

RasterSurface::RasterSurface(int width, int height, Colour background)
{
    if (width > 0 && height > 0)
        image_ = QImage(width, height, QImage::Format_RGB16);
    if (!image_.isNull()) {
        image_.fill(uint(to565(background)));
        bits_ = reinterpret_cast<std::uint16_t *>(image_.bits());
        stride_ = image_.bytesPerLine() / 2;
    }
}

RasterSurface::~RasterSurface()
{
    if (painter_)
        painter_->end();
}

QImage RasterSurface::takeImage()
{
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
    penHeld_ = Held::None;
    brushHeld_ = HeldBrush::None;
    bits_ = nullptr;
    stride_ = 0;
    return std::move(image_);
}

QPainter &RasterSurface::painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setBackgroundMode(Qt::TransparentMode);
        penHeld_ = Held::None;
        brushHeld_ = HeldBrush::None;
    }
    return *painter_;
}

void RasterSurface::setPen(Colour colour, int width)
{
    penColour_ = colour;
    penWidth_ = width;
}

// Opaque colours over the pixels replace them, which is the copy mode; the
// hatch's gaps must stay untouched, so the mode is not QPainter's Source.
void RasterSurface::setCopyMode() { painter().setCompositionMode(QPainter::CompositionMode_SourceOver); }

void RasterSurface::setBrush(Colour colour, BrushStyle style)
{
    brushColour_ = colour;
    brushStyle_ = style;
}

void RasterSurface::setFont(Colour colour, const std::string &face, int pointSize)
{
    fontColour_ = toQColor(colour);
    font_ = QFont(QString::fromStdString(face));
    if (pointSize > 0)
        font_.setPointSize(pointSize);
}

// Pens of width 0 and 1 are one pixel wide (thin lines are drawn by
// thinLine, so QPainter's thin pen only outlines figures and keeps their
// corner pixels); wider pens have round caps and joins.
void RasterSurface::applyPen()
{
    QPainter &p = painter();
    if (penHeld_ == Held::Pen && heldPenColour_ == penColour_ && heldPenWidth_ == penWidth_)
        return;
    if (penWidth_ <= 1)
        p.setPen(QPen(toQColor(penColour_), 0));
    else
        p.setPen(QPen(toQColor(penColour_), penWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    penHeld_ = Held::Pen;
    heldPenColour_ = penColour_;
    heldPenWidth_ = penWidth_;
}

void RasterSurface::applyNoPen()
{
    if (penHeld_ != Held::NoPen) {
        painter().setPen(Qt::NoPen);
        penHeld_ = Held::NoPen;
    }
}

QBrush RasterSurface::currentBrush() const
{
    switch (brushStyle_) {
    case BrushStyle::Hollow: return Qt::NoBrush;
    case BrushStyle::DiagonalCross: return QBrush(toQColor(brushColour_), Qt::DiagCrossPattern);
    case BrushStyle::Solid: break;
    }
    return QBrush(toQColor(brushColour_));
}

void RasterSurface::applyBrush()
{
    QPainter &p = painter();
    if (brushHeld_ == HeldBrush::Brush && heldBrushColour_ == brushColour_ && heldBrushStyle_ == brushStyle_)
        return;
    p.setBrush(currentBrush());
    brushHeld_ = HeldBrush::Brush;
    heldBrushColour_ = brushColour_;
    heldBrushStyle_ = brushStyle_;
}

void RasterSurface::applyNoBrush()
{
    if (brushHeld_ != HeldBrush::NoBrush) {
        painter().setBrush(Qt::NoBrush);
        brushHeld_ = HeldBrush::NoBrush;
    }
}

void RasterSurface::moveTo(int x, int y) { pen_ = {x, y}; }

void RasterSurface::lineTo(int x, int y)
{
    const PixelPoint from = pen_;
    pen_ = {x, y};
    if (isNull() || (from.x == x && from.y == y))
        return;
    if (penWidth_ <= 1) {
        thinLine(from, pen_);
        return;
    }
    capsule(from.x, from.y, x, y, penWidth_ / 2.0, to565(penColour_));
}

void RasterSurface::strokeTo(int x, int y, const ExactStroke &stroke)
{
    pen_ = {x, y};
    if (isNull())
        return;
    capsule(stroke.from.x, stroke.from.y, stroke.to.x, stroke.to.y, stroke.width / 2, to565(penColour_));
}

void RasterSurface::strokeArc(int, int, int, int, RayPoint, RayPoint, const ExactArc &stroke)
{
    if (isNull())
        return;
    const double a = std::abs(stroke.corner2.x - stroke.corner1.x) / 2;
    const double b = std::abs(stroke.corner2.y - stroke.corner1.y) / 2;
    const RayPoint centre{(stroke.corner1.x + stroke.corner2.x) / 2, (stroke.corner1.y + stroke.corner2.y) / 2};
    const ArcAngles angles = arcAngles(2 * a, 2 * b, centre, stroke.start, stroke.end);
    const double halfWidth = stroke.width / 2;
    // Gerber arcs are circles; a box that is square to a hundredth of a pixel
    // is taken as one.
    if (std::abs(a - b) <= 0.01)
        circleStroke(centre, (a + b) / 2, angles.startDegrees, angles.spanDegrees, halfWidth);
    else
        ellipseStroke(centre, a, b, angles.startDegrees, angles.spanDegrees, halfWidth);
}

// Every pixel whose centre lies within halfWidth of the circular arc: the
// part of the ring around the circle inside the sweep, and a disc at each
// end. Angles count counter-clockwise as on the screen (y up).
void RasterSurface::circleStroke(RayPoint centre, double radius, double startDegrees, double spanDegrees,
                                 double halfWidth)
{
    const bool whole = spanDegrees >= 360;
    const double t0 = startDegrees * std::numbers::pi / 180, t1 = (startDegrees + spanDegrees) * std::numbers::pi / 180;
    const CosSin r0 = cosSinOf(t0), r1 = cosSinOf(t1);
    const double u0x = r0.cos, u0y = r0.sin, u1x = r1.cos, u1y = r1.sin;
    const RayPoint s{centre.x + radius * u0x, centre.y - radius * u0y};
    const RayPoint e{centre.x + radius * u1x, centre.y - radius * u1y};

    // The arc's bounding box: its ends and the extreme points it passes.
    double left = std::min(s.x, e.x), right = std::max(s.x, e.x);
    double top = std::min(s.y, e.y), bottom = std::max(s.y, e.y);
    for (int k = 0; k < 4; ++k) {
        // Below a whole turn fmod gives its argument back, and the library
        // call is slow.
        const double turned = k * 90.0 - startDegrees;
        double past = turned > -360 && turned < 360 ? turned : std::fmod(turned, 360.0);
        if (past < 0)
            past += 360;
        if (!whole && past > spanDegrees)
            continue;
        const double px = centre.x + radius * (k == 0 ? 1 : k == 2 ? -1 : 0);
        const double py = centre.y - radius * (k == 1 ? 1 : k == 3 ? -1 : 0);
        left = std::min(left, px);
        right = std::max(right, px);
        top = std::min(top, py);
        bottom = std::max(bottom, py);
    }
    left -= halfWidth;
    right += halfWidth;
    top -= halfWidth;
    bottom += halfWidth;
    const int w = width(), h = height();
    if (bottom <= 0 || top >= h || right <= 0 || left >= w)
        return;
    const int firstRow = std::max(0, static_cast<int>(std::ceil(top)));
    const int lastRow = std::min(h - 1, static_cast<int>(std::ceil(bottom)) - 1);
    const int firstCol = std::max(0, static_cast<int>(std::ceil(left)));
    const int endCol = std::min(w, static_cast<int>(std::ceil(right)));
    const double outer2 = (radius + halfWidth) * (radius + halfWidth);
    const double innerR = radius - halfWidth, inner2 = innerR > 0 ? innerR * innerR : -1;
    // The sweep on one row, as offsets from the centre: between the start
    // and end rays, or, for sweeps of more than half a turn, outside the
    // wedge from the end back to the start. Each ray bounds the offsets of
    // a row on one side (c1 dx + c0 >= 0).
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Range {
        double lo, hi;
    };
    auto side = [](double c1, double c0) -> Range {
        if (c1 > 0)
            return {-c0 / c1, inf};
        if (c1 < 0)
            return {-inf, -c0 / c1};
        return c0 >= 0 ? Range{-inf, inf} : Range{inf, -inf};
    };
    auto both = [](Range a, Range b) { return Range{std::max(a.lo, b.lo), std::min(a.hi, b.hi)}; };
    const bool convex = spanDegrees <= 180;
    const std::uint16_t colour = to565(penColour_);
    for (int y = firstRow; y <= lastRow; ++y) {
        const double dy = y - centre.y, dy2 = dy * dy, dyUp = -dy;
        if (dy2 >= outer2)
            continue;
        const double xo = std::sqrt(outer2 - dy2);
        const double xi = dy2 < inner2 ? std::sqrt(inner2 - dy2) : -1;
        const Range ring[2] = {{-xo, xi >= 0 ? -xi : xo}, {xi >= 0 ? xi : inf, xi >= 0 ? xo : -inf}};
        Range sweep[2] = {{-inf, inf}, {inf, -inf}};
        if (whole) {
        } else if (convex) {
            sweep[0] = both(side(-u0y, u0x * dyUp), side(u1y, -u1x * dyUp));
        } else {
            const Range gap = both(side(-u1y, u1x * dyUp), side(u0y, -u0x * dyUp));
            if (gap.lo < gap.hi) {
                sweep[0] = {-inf, gap.lo};
                sweep[1] = {gap.hi, inf};
            }
        }
        std::uint16_t *line = row(y);
        for (const Range &r : ring)
            for (const Range &s : sweep) {
                const Range part = both(r, s);
                if (!(part.lo < part.hi))
                    continue;
                const double lo = std::clamp(centre.x + part.lo, double(firstCol), double(endCol));
                const double hi = std::clamp(centre.x + part.hi, double(firstCol), double(endCol));
                const int a = ceilToInt(lo), b = ceilToInt(hi);
                if (a < b)
                    fillRun(line + a, line + b, colour);
            }
    }
    if (!whole) {
        capsule(s.x, s.y, s.x, s.y, halfWidth, colour);
        capsule(e.x, e.y, e.x, e.y, halfWidth, colour);
    }
}

// An elliptical arc (a view whose pixels are not square) as a chain of
// chords no farther than a fiftieth of a pixel from the curve.
void RasterSurface::ellipseStroke(RayPoint centre, double a, double b, double startDegrees, double spanDegrees,
                                  double halfWidth)
{
    const double big = std::max({a, b, 1.0});
    const double step = 2 * std::acos(std::max(-1.0, 1 - 1.0 / (50 * big)));
    const double t0 = startDegrees * std::numbers::pi / 180,
                 span = std::min(spanDegrees, 360.0) * std::numbers::pi / 180;
    const int n = std::clamp(static_cast<int>(std::ceil(span / step)), 1, 1 << 16);
    const std::uint16_t colour = to565(penColour_);
    double px = centre.x + a * std::cos(t0), py = centre.y - b * std::sin(t0);
    for (int i = 1; i <= n; ++i) {
        const double t = t0 + span * i / n;
        const double qx = centre.x + a * std::cos(t), qy = centre.y - b * std::sin(t);
        capsule(px, py, qx, qy, halfWidth, colour);
        px = qx;
        py = qy;
    }
}

// A wide pen's stroke: every pixel whose centre lies within radius of the
// segment, which gives round caps and, segment after segment, round joins.
// Boundaries count on the top and left only, so a pen of width w paints w
// rows across a horizontal line. Pixel centres are the whole coordinates.
void RasterSurface::capsule(double x0, double y0, double x1, double y1, double radius, std::uint16_t colour)
{
    const int w = width(), h = height();
    const double top = std::min(y0, y1) - radius, bottom = std::max(y0, y1) + radius;
    const double left = std::min(x0, x1) - radius, right = std::max(x0, x1) + radius;
    if (bottom <= 0 || top >= h || right <= 0 || left >= w)
        return;
    const int firstRow = std::max(0, static_cast<int>(std::ceil(top)));
    const int lastRow = std::min(h - 1, static_cast<int>(std::ceil(bottom)) - 1);
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::sqrt(dx * dx + dy * dy);
    constexpr double inf = std::numeric_limits<double>::infinity();
    // The band between the caps: |n.(p - p0)| <= radius across the segment
    // and 0 <= u.(p - p0) <= length along it, with u the unit direction and
    // n its normal. On row y each condition bounds x between two lines in y:
    // across, x0 + (y - y0) dx / dy -+ radius / |uy|; along, x0 - (y - y0)
    // dy / dx plus 0 and length / ux. A horizontal band holds the rows within
    // radius of it, a vertical one the rows between its ends.
    const double ux = length > 0 ? dx / length : 0, uy = length > 0 ? dy / length : 0;
    const double acrossSlope = uy != 0 ? ux / uy : 0, acrossHalf = uy != 0 ? radius / std::abs(uy) : inf;
    const double alongSlope = ux != 0 ? -uy / ux : 0;
    const double alongLo = ux != 0 ? std::min(0.0, length / ux) : -inf,
                 alongHi = ux != 0 ? std::max(0.0, length / ux) : inf;
    const double bandTop = length == 0 ? inf : uy == 0 ? y0 - radius : ux == 0 ? std::min(y0, y1) : -inf;
    const double bandBottom = length == 0 ? -inf : uy == 0 ? y0 + radius : ux == 0 ? std::max(y0, y1) : inf;
    const double r2 = radius * radius;
    const bool dot = x0 == x1 && y0 == y1;
    for (int y = firstRow; y <= lastRow; ++y) {
        double lo = inf, hi = -inf;
        const double d0 = y - y0, d1 = y - y1;
        if (y >= bandTop && y <= bandBottom) {
            const double across = x0 + d0 * acrossSlope, along = x0 + d0 * alongSlope;
            const double bandLo = std::max(across - acrossHalf, along + alongLo);
            const double bandHi = std::min(across + acrossHalf, along + alongHi);
            if (bandLo <= bandHi) {
                lo = bandLo;
                hi = bandHi;
            }
        }
        if (d0 * d0 <= r2) {
            const double half = std::sqrt(r2 - d0 * d0);
            lo = std::min(lo, x0 - half);
            hi = std::max(hi, x0 + half);
        }
        // A dot (an arc's end) has one disc, not two alike.
        if (!dot && d1 * d1 <= r2) {
            const double half = std::sqrt(r2 - d1 * d1);
            lo = std::min(lo, x1 - half);
            hi = std::max(hi, x1 + half);
        }
        if (!(lo < hi))
            continue;
        // Clamped first so that the ceil stays in range; a cut below -1 or
        // above w + 1 ends at the raster's edge all the same.
        const int a = std::max(0, ceilToInt(std::max(lo, -1.0)));
        const int b = std::min(w, ceilToInt(std::min(hi, w + 1.0)));
        if (a < b)
            fillRun(row(y) + a, row(y) + b, colour);
    }
}

// An arc of the ellipse through the pixel centres of the box, as a chain of
// short chords no farther than a third of a pixel from the curve.
void RasterSurface::arcPolyline(int left, int top, int right, int bottom, double startDegrees, double spanDegrees)
{
    const double a = (right - left - 1) / 2.0, b = (bottom - top - 1) / 2.0;
    const double cx = left + a, cy = top + b;
    const double big = std::max({a, b, 1.0});
    const double step = 2 * std::acos(std::max(-1.0, 1 - 1.0 / (3 * big)));
    const double t0 = startDegrees * std::numbers::pi / 180, span = spanDegrees * std::numbers::pi / 180;
    const int n = std::clamp(static_cast<int>(std::ceil(span / step)), 1, 1 << 16);
    const std::uint16_t colour = to565(penColour_);
    const double radius = penWidth_ / 2.0;
    const CosSin r0 = cosSinOf(t0);
    double px = cx + a * r0.cos, py = cy - b * r0.sin;
    for (int i = 1; i <= n; ++i) {
        const double t = t0 + span * i / n;
        const CosSin r = cosSinOf(t);
        const double qx = cx + a * r.cos, qy = cy - b * r.sin;
        if (penWidth_ <= 1)
            thinLine({roundToInt(px), roundToInt(py)}, {roundToInt(qx), roundToInt(qy)});
        else
            capsule(px, py, qx, qy, radius, colour);
        px = qx;
        py = qy;
    }
}

// One pixel wide, from the first point up to but not including the last,
// whichever way the line runs (QPainter leaves out the lower-right end).
void RasterSurface::thinLine(PixelPoint from, PixelPoint to)
{
    const std::int64_t dx = std::int64_t(to.x) - from.x, dy = std::int64_t(to.y) - from.y;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const std::int64_t steps = std::max(adx, ady);
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int w = width(), h = height();

    // The steps whose major coordinate lies on the raster.
    const std::int64_t m0 = xMajor ? from.x : from.y;
    const int ms = xMajor ? sx : sy;
    const std::int64_t limit = xMajor ? w : h;
    std::int64_t first = 0, last = steps - 1;
    if (ms > 0) {
        first = std::max<std::int64_t>(first, -m0);
        last = std::min<std::int64_t>(last, limit - 1 - m0);
    } else {
        first = std::max<std::int64_t>(first, m0 - (limit - 1));
        last = std::min<std::int64_t>(last, m0);
    }
    if (first > last)
        return;
    const std::uint16_t colour = to565(penColour_);
    // The minor coordinate rounded to the nearest pixel, (2 t minor + major)
    // / (2 major), kept as a quotient and a remainder from step to step.
    const std::int64_t divisor = 2 * major, increment = 2 * minor;
    // A line that starts on the raster (most do) needs no division: the
    // quotient of major / (2 major) is 0.
    std::int64_t offset = 0, remainder = major;
    if (first != 0) {
        const std::int64_t numerator = 2 * first * minor + major;
        offset = numerator / divisor;
        remainder = numerator % divisor;
    }
    // The major coordinate is on the raster for every step; the minor one
    // is checked as it moves, and the pixel's place steps along with both.
    std::int64_t majorAt = m0 + ms * first;
    std::int64_t minorAt = (xMajor ? from.y : from.x) + (xMajor ? sy : sx) * offset;
    const std::uint64_t minorLimit = static_cast<std::uint64_t>(xMajor ? h : w);
    const std::ptrdiff_t majorStep = xMajor ? sx : sy * stride_, minorStep = xMajor ? sy * stride_ : sx;
    const std::int64_t minorSign = xMajor ? sy : sx;
    // An index, not a pointer: off the raster it may point nowhere.
    std::int64_t pixel = xMajor ? minorAt * stride_ + majorAt : majorAt * stride_ + minorAt;
    for (std::int64_t t = first; t <= last; ++t) {
        if (static_cast<std::uint64_t>(minorAt) < minorLimit)
            bits_[pixel] = colour;
        pixel += majorStep;
        remainder += increment;
        // Without a branch: a line's minor steps follow no pattern the
        // processor could predict.
        const std::int64_t step = -static_cast<std::int64_t>(remainder >= divisor);
        remainder -= divisor & step;
        minorAt += minorSign & step;
        pixel += minorStep & step;
    }
}

void RasterSurface::ellipse(int x1, int y1, int x2, int y2)
{
    const Box b = boxOf(x1, y1, x2, y2);
    if (isNull() || b.empty())
        return;
    if (penWidth_ <= 1 && (b.width() <= 2 || b.height() <= 2)) {
        // All outline: QPainter would draw nothing for a box this thin.
        const int l = std::max(b.left, 0), r = std::min(b.right, width());
        const std::uint16_t colour = to565(penColour_);
        for (int y = std::max(b.top, 0); y < std::min(b.bottom, height()) && l < r; ++y)
            fillRun(row(y) + l, row(y) + r, colour);
        return;
    }
    if (std::max(b.width(), b.height()) > 2 * (width() + height())) {
        largeEllipse(b.left, b.top, b.right, b.bottom);
        return;
    }
    const EllipseRuns *runs = nullptr;
    if (penWidth_ <= 1 && b.width() <= MaskedEllipseLimit && b.height() <= MaskedEllipseLimit &&
        (brushStyle_ == BrushStyle::Hollow || (brushStyle_ == BrushStyle::Solid && brushColour_ == penColour_)))
        runs = ellipseRuns(b.width(), b.height(), brushStyle_ == BrushStyle::Solid);
    if (runs != nullptr) {
        const int w = width(), h = height();
        const std::uint16_t colour = to565(penColour_);
        for (const EllipseRun &r : *runs) {
            const int y = b.top + r.dy;
            if (y < 0 || y >= h)
                continue;
            const int x0 = std::max(0, b.left + r.x0), x1 = std::min(w, b.left + r.x1);
            if (x0 < x1)
                fillRun(row(y) + x0, row(y) + x1, colour);
        }
        return;
    }
    applyPen();
    applyBrush();
    if (penWidth_ <= 1)
        painter().drawEllipse(b.outline());  // integer boxes take QPainter's fast path
    else
        painter().drawEllipse(b.outlineFor(penWidth_));
}

// An ellipse far larger than the raster (a flash that covers the picture
// many times over) row by row within the raster, so that it costs the
// pixels it covers here and not the pixels beyond: the interior through the
// pixel centres inside the ellipse through the border pixels' centres, the
// outline as the arcs and strokes draw it.
void RasterSurface::largeEllipse(int left, int top, int right, int bottom)
{
    const double a = (right - left - 1) / 2.0, b = (bottom - top - 1) / 2.0;
    const RayPoint centre{left + a, top + b};
    if (brushStyle_ != BrushStyle::Hollow && a > 0 && b > 0) {
        const std::uint16_t fill = to565(brushColour_);
        const int w = width();
        for (int y = std::max(top, 0), last = std::min(bottom, height()); y < last; ++y) {
            const double dy = (y - centre.y) / b;
            if (dy * dy > 1)
                continue;
            const double half = a * std::sqrt(1 - dy * dy);
            const int x0 = std::max(0, ceilToInt(std::max(centre.x - half, -1.0)));
            const int x1 = std::min(w, ceilToInt(std::min(centre.x + half, w + 1.0) + 1e-9));
            if (x0 < x1)
                fillRun(row(y) + x0, row(y) + x1, fill);
        }
    }
    if (penWidth_ > 1) {
        ellipseStroke(centre, a, b, 0, 360, penWidth_ / 2.0);
        return;
    }
    // The outline on each row runs between where the curve crosses the row's
    // upper and lower edges (the centre column beyond the top and bottom).
    auto reach = [&](double y) {
        const double dy = (y - centre.y) / b;
        return dy * dy >= 1 ? 0.0 : a * std::sqrt(1 - dy * dy);
    };
    const std::uint16_t pen = to565(penColour_);
    const int w = width();
    for (int y = std::max(top, 0), last = std::min(bottom, height()); y < last; ++y) {
        const double r0 = reach(y - 0.5), r1 = reach(y + 0.5);
        const double inner = std::min(r0, r1), outer = std::max(r0, r1);
        for (const double side : {-1.0, 1.0}) {
            const double p = centre.x + side * inner, q = centre.x + side * outer;
            const double lo = std::clamp(std::min(p, q), -1.0, w + 1.0), hi = std::clamp(std::max(p, q), -1.0, w + 1.0);
            const int x0 = std::max(0, roundToInt(lo)), x1 = std::min(w, roundToInt(hi) + 1);
            if (x0 < x1)
                fillRun(row(y) + x0, row(y) + x1, pen);
        }
    }
}

void RasterSurface::rectangle(int x1, int y1, int x2, int y2)
{
    const Box b = boxOf(x1, y1, x2, y2);
    if (isNull() || b.empty())
        return;
    if (penWidth_ <= 1) {
        // The common case, written straight into the pixels; a hatch goes
        // through QPainter for its pattern.
        const int w = width(), h = height();
        const int l = std::max(b.left, 0), r = std::min(b.right, w);
        const int t = std::max(b.top, 0), btm = std::min(b.bottom, h);
        if (l >= r || t >= btm)
            return;
        if (brushStyle_ == BrushStyle::Solid) {
            const std::uint16_t fill = to565(brushColour_);
            for (int y = t; y < btm; ++y)
                fillRun(row(y) + l, row(y) + r, fill);
        } else if (brushStyle_ == BrushStyle::DiagonalCross && b.width() > 2 && b.height() > 2) {
            painter().fillRect(QRect(b.left + 1, b.top + 1, b.width() - 2, b.height() - 2), currentBrush());
        }
        const std::uint16_t pen = to565(penColour_);
        if (b.top >= 0)
            fillRun(row(b.top) + l, row(b.top) + r, pen);
        if (b.bottom - 1 < h)
            fillRun(row(b.bottom - 1) + l, row(b.bottom - 1) + r, pen);
        for (int y = t; y < btm; ++y) {
            if (b.left >= 0)
                row(y)[b.left] = pen;
            if (b.right - 1 < w)
                row(y)[b.right - 1] = pen;
        }
        return;
    }
    QPainter &p = painter();
    applyPen();
    applyBrush();
    p.drawRect(b.outlineFor(penWidth_));
}

void RasterSurface::arc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end)
{
    const Box b = boxOf(x1, y1, x2, y2);
    if (isNull() || b.empty())
        return;
    const RayPoint centre{(double(x1) + x2) / 2, (double(y1) + y2) / 2};
    const ArcAngles a = arcAngles(b.width(), b.height(), centre, start, end);
    if (a.spanDegrees >= 360) {
        applyPen();
        applyNoBrush();
        painter().drawEllipse(b.outlineFor(penWidth_));
        return;
    }
    arcPolyline(b.left, b.top, b.right, b.bottom, a.startDegrees, a.spanDegrees);
}

void RasterSurface::pie(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end)
{
    const Box b = boxOf(x1, y1, x2, y2);
    if (isNull() || b.empty())
        return;
    const RayPoint centre{(double(x1) + x2) / 2, (double(y1) + y2) / 2};
    const ArcAngles a = arcAngles(b.width(), b.height(), centre, start, end);
    applyPen();
    applyBrush();
    if (a.spanDegrees >= 360) {
        painter().drawEllipse(b.outlineFor(penWidth_));
        return;
    }
    const QRectF r = b.outlineFor(penWidth_);
    QPainterPath path;
    path.moveTo(r.center());
    path.arcTo(r, a.startDegrees, a.spanDegrees);
    path.closeSubpath();
    painter().drawPath(path);
}

void RasterSurface::polygon(std::span<const PixelPoint> points)
{
    if (isNull() || points.empty())
        return;
    if (penWidth_ > 1) {
        applyPen();
        applyBrush();
        QPolygonF shifted(static_cast<int>(points.size()));
        for (std::size_t i = 0; i < points.size(); ++i)
            shifted[static_cast<int>(i)] = QPointF(points[i].x + 0.5, points[i].y + 0.5);
        painter().drawPolygon(shifted, Qt::OddEvenFill);
        return;
    }
    // A rectangle along the axes has the rows and columns between its
    // corners for interior, and its border for outline: the pixels the
    // general fill and the thin lines below give it, without their set-up.
    int left = 0, top = 0, right = 0, bottom = 0;
    const bool rectangle = axisRectangle(points, left, top, right, bottom);
    const int w = width(), h = height();
    // The interior row by row, with the pixels QPainter's aliased fill would
    // paint: its own fill slows down with the square of the vertices.
    if (brushStyle_ != BrushStyle::Hollow) {
        const std::uint16_t colour = to565(brushColour_);
        auto fillSpans = [&](auto &&span) {
            if (!rectangle) {
                polygonSpans_.run(points, w, h, span);
                return;
            }
            const int x0 = std::max(left, 0), x1 = std::min(right, w);
            if (x0 < x1)
                for (int y = std::max(top, 0), last = std::min(bottom - 1, h - 1); y <= last; ++y)
                    span(y, x0, x1);
        };
        if (brushStyle_ == BrushStyle::Solid) {
            fillSpans([&](int y, int x0, int x1) { fillRun(row(y) + x0, row(y) + x1, colour); });
        } else {
            const HatchRows &hatch = diagonalCrossRows();
            fillSpans([&](int y, int x0, int x1) {
                const std::uint8_t bits = hatch[static_cast<std::size_t>(y & 7)];
                std::uint16_t *r = row(y);
                for (int x = x0; x < x1; ++x)
                    if (bits & (1u << (x & 7)))
                        r[x] = colour;
            });
        }
    }
    if (rectangle) {
        const std::uint16_t pen = to565(penColour_);
        const int x0 = std::max(left, 0), x1 = right < w ? right + 1 : w;
        for (const int y : {top, bottom})
            if (y >= 0 && y < h && x0 < x1)
                fillRun(row(y) + x0, row(y) + x1, pen);
        const int y0 = std::max(top, 0), y1 = std::min(bottom, h - 1);
        for (const int x : {left, right})
            if (x >= 0 && x < w)
                for (int y = y0; y <= y1; ++y)
                    row(y)[x] = pen;
        return;
    }
    // A thin outline runs through every vertex pixel, as QPainter's does not
    // where two edges meet at a lower-right corner.
    for (std::size_t i = 0; i < points.size(); ++i)
        thinLine(points[i], points[(i + 1) % points.size()]);
    if (points.size() == 1)
        thinLine(points[0], {points[0].x + 1, points[0].y});
}

// An iterative scanline fill of the 4-connected area of one 16-bit colour.
void RasterSurface::floodFill(int x, int y, Colour colour)
{
    if (isNull() || brushStyle_ == BrushStyle::Hollow || x < 0 || y < 0 || x >= width() || y >= height())
        return;
    const std::uint16_t target = to565(colour);
    const std::uint16_t paint = to565(brushColour_);
    const bool solid = brushStyle_ == BrushStyle::Solid;
    if (solid && paint == target)
        return;  // already that colour
    const int w = width(), h = height();
    if (row(y)[x] != target)
        return;

    // Pixels taken into the area. A solid fill marks them by their new
    // colour; a hatch leaves most of them unchanged, so it keeps a map.
    std::vector<bool> taken(solid ? 0 : std::size_t(w) * h, false);
    auto open = [&](int cx, int cy) { return row(cy)[cx] == target && (solid || !taken[std::size_t(cy) * w + cx]); };
    struct Span {
        int y, x0, x1;  // x1 inclusive
    };
    std::vector<Span> spans;
    std::vector<PixelPoint> stack{{x, y}};
    while (!stack.empty()) {
        const PixelPoint seed = stack.back();
        stack.pop_back();
        if (!open(seed.x, seed.y))
            continue;
        std::uint16_t *line = row(seed.y);
        int x0 = seed.x, x1 = seed.x;
        while (x0 > 0 && open(x0 - 1, seed.y))
            --x0;
        while (x1 < w - 1 && open(x1 + 1, seed.y))
            ++x1;
        if (solid)
            fillRun(line + x0, line + x1 + 1, paint);
        else
            std::fill(taken.begin() + std::size_t(seed.y) * w + x0, taken.begin() + std::size_t(seed.y) * w + x1 + 1,
                      true);
        spans.push_back({seed.y, x0, x1});
        for (int ny : {seed.y - 1, seed.y + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            bool inRun = false;
            for (int cx = x0; cx <= x1; ++cx) {
                const bool o = open(cx, ny);
                if (o && !inRun)
                    stack.push_back({cx, ny});
                inRun = o;
            }
        }
    }
    if (!solid) {
        const QBrush hatch = currentBrush();
        QPainter &p = painter();
        for (const Span &s : spans)
            p.fillRect(QRect(s.x0, s.y, s.x1 - s.x0 + 1, 1), hatch);
    }
}

void RasterSurface::layOver(const RasterSurface &above, Colour clear)
{
    if (isNull() || above.isNull() || above.width() != width() || above.height() != height())
        return;
    painter_.reset();  // QPainter may hold nothing back from the pixels below
    const std::uint16_t skip = to565(clear);
    // Four pixels at a time, without a branch on each pixel: a picture of
    // many small figures would mispredict it at every edge.
    constexpr std::uint64_t lanes = 0x0001000100010001ull, low = 0x7FFF * lanes, high = 0x8000 * lanes;
    const std::uint64_t skips = skip * lanes;
    // The size is asked once: QImage's accessors are calls into the library.
    const int w = width(), h = height();
    for (int y = 0; y < h; ++y) {
        std::uint16_t *to = row(y);
        const std::uint16_t *from = above.row(y);
        int x = 0;
        for (; x + 4 <= w; x += 4) {
            std::uint64_t a, b;
            std::memcpy(&a, from + x, sizeof a);
            std::memcpy(&b, to + x, sizeof b);
            // The top bit of each lane that differs from the skipped colour,
            // spread over the lane.
            const std::uint64_t differs = a ^ skips;
            const std::uint64_t top = (differs | ((differs & low) + low)) & high;
            const std::uint64_t keep = (top >> 15) * 0xFFFF;
            const std::uint64_t mixed = (a & keep) | (b & ~keep);
            std::memcpy(to + x, &mixed, sizeof mixed);
        }
        for (; x < w; ++x)
            if (from[x] != skip)
                to[x] = from[x];
    }
}

std::unique_ptr<DrawingSurface> RasterSurface::newLayerImage(Colour background) const
{
    auto image = std::make_unique<RasterSurface>(width(), height(), background);
    if (image->isNull() && !isNull())
        throw std::bad_alloc();
    return image;
}

void RasterSurface::layImageOver(const DrawingSurface &image, Colour skip)
{
    if (const auto *raster = dynamic_cast<const RasterSurface *>(&image))
        layOver(*raster, skip);
}

void RasterSurface::keepPixels(PixelRect rect)
{
    keptRect_ = {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, width()),
                 std::min(rect.bottom, height())};
    kept_.clear();
    if (isNull() || keptRect_.width() <= 0 || keptRect_.height() <= 0) {
        keptRect_ = {};
        return;
    }
    kept_.resize(std::size_t(keptRect_.width()) * std::size_t(keptRect_.height()));
    std::uint16_t *to = kept_.data();
    for (int y = keptRect_.top; y < keptRect_.bottom; ++y, to += keptRect_.width())
        std::memcpy(to, row(y) + keptRect_.left, std::size_t(keptRect_.width()) * sizeof(std::uint16_t));
}

void RasterSurface::restoreKept(Colour marker)
{
    if (isNull() || kept_.empty())
        return;
    const std::uint16_t mark = to565(marker);
    const std::uint16_t *from = kept_.data();
    for (int y = keptRect_.top; y < keptRect_.bottom; ++y, from += keptRect_.width()) {
        std::uint16_t *line = row(y) + keptRect_.left;
        for (int x = 0; x < keptRect_.width(); ++x)
            if (line[x] == mark)
                line[x] = from[x];
    }
    kept_.clear();
    keptRect_ = {};
}

void RasterSurface::copyPixelsOf(const RasterSurface &other)
{
    if (isNull() || other.isNull() || other.width() != width() || other.height() != height())
        return;
    painter_.reset();
    const std::size_t bytes = std::size_t(width()) * sizeof(std::uint16_t);
    for (int y = 0; y < height(); ++y)
        std::memcpy(row(y), other.row(y), bytes);
}

Colour RasterSurface::getPixel(int x, int y) const
{
    if (isNull() || x < 0 || y < 0 || x >= width() || y >= height())
        return colours::White;
    return from565(row(y)[x]);
}

QImage RasterSurface::imageOf(const DrawingSurface &surface) const
{
    if (const auto *raster = dynamic_cast<const RasterSurface *>(&surface))
        return raster->image();
    QImage copy(surface.width(), surface.height(), QImage::Format_RGB32);
    for (int y = 0; y < copy.height(); ++y)
        for (int x = 0; x < copy.width(); ++x)
            copy.setPixelColor(x, y, toQColor(surface.getPixel(x, y)));
    return copy;
}

void RasterSurface::copyRect(PixelRect dest, const DrawingSurface &source, PixelRect sourceRect)
{
    if (isNull())
        return;
    const QImage src = imageOf(source);
    painter().drawImage(QRect(dest.left, dest.top, dest.width(), dest.height()), src,
                        QRect(sourceRect.left, sourceRect.top, sourceRect.width(), sourceRect.height()));
}

void RasterSurface::stretchDraw(PixelRect rect, const DrawingSurface &raster)
{
    if (isNull())
        return;
    painter().drawImage(QRect(rect.left, rect.top, rect.width(), rect.height()), imageOf(raster));
}

void RasterSurface::textOut(int x, int y, const std::string &text)
{
    if (isNull())
        return;
    QPainter &p = painter();
    const QString s = QString::fromStdString(text);
    p.setFont(font_);
    const QFontMetrics metrics(font_, &image_);
    if (brushStyle_ != BrushStyle::Hollow)
        p.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()), toQColor(brushColour_));
    p.setPen(fontColour_);
    penHeld_ = Held::None;
    p.drawText(QPoint(x, y + metrics.ascent()), s);
}

}  // namespace korvane
