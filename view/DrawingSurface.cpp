#include "view/DrawingSurface.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace korvane {

DrawingSurface::~DrawingSurface() = default;

void DrawingSurface::strokeTo(int x, int y, const ExactStroke &) { lineTo(x, y); }

void DrawingSurface::strokeArc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end, const ExactArc &)
{
    arc(x1, y1, x2, y2, start, end);
}

std::unique_ptr<DrawingSurface> DrawingSurface::newLayerImage(Colour) const { return nullptr; }

void DrawingSurface::layImageOver(const DrawingSurface &, Colour) {}

void DrawingSurface::keepPixels(PixelRect) {}

void DrawingSurface::restoreKept(Colour) {}

bool raysCoincide(RayPoint centre, RayPoint a, RayPoint b)
{
    const double ax = a.x - centre.x, ay = a.y - centre.y;
    const double bx = b.x - centre.x, by = b.y - centre.y;
    if (a == b)
        return true;
    return ax * by - ay * bx == 0 && ax * bx + ay * by > 0;
}

namespace {

// atan2 of the exact arguments seen lately. A board's arcs are mostly of a
// few shapes, whose rays differ only in the last bits of their positions, so
// the same arguments come back again and again, and the library's atan2 is
// slow for rays along the axes.
double rememberedAtan2(double y, double x)
{
    struct Entry {
        std::uint64_t y = 0, x = 0;
        double value = 0;
        bool used = false;
    };
    thread_local std::array<Entry, 1024> memory{};
    const auto by = std::bit_cast<std::uint64_t>(y), bx = std::bit_cast<std::uint64_t>(x);
    std::uint64_t h = (by ^ (bx * 0x9E3779B97F4A7C15ull)) * 0xC2B2AE3D27D4EB4Full;
    Entry &e = memory[static_cast<std::size_t>(h >> 54)];
    if (e.used && e.y == by && e.x == bx)
        return e.value;
    e = {by, bx, std::atan2(y, x), true};
    return e.value;
}

// The ellipse parameter of the point where the ray meets the ellipse, in
// radians counter-clockwise with y pointing up.
double parameterOf(double halfWidth, double halfHeight, RayPoint centre, RayPoint p)
{
    const double dx = p.x - centre.x;
    const double dyUp = centre.y - p.y;
    if (halfWidth > 0 && halfHeight > 0)
        return rememberedAtan2(dyUp * halfWidth, dx * halfHeight);
    return rememberedAtan2(dyUp, dx);
}

}  // namespace

ArcAngles arcAngles(double width, double height, RayPoint centre, RayPoint start, RayPoint end)
{
    constexpr double fullTurn = 2 * std::numbers::pi;
    constexpr double toDegrees = 180 / std::numbers::pi;
    const double a = std::abs(width) / 2, b = std::abs(height) / 2;
    const double t0 = parameterOf(a, b, centre, start);
    if (raysCoincide(centre, start, end))
        return {t0 * toDegrees, 360};
    double span = parameterOf(a, b, centre, end) - t0;
    while (span <= 0)
        span += fullTurn;
    while (span > fullTurn)
        span -= fullTurn;
    return {t0 * toDegrees, span * toDegrees};
}

std::uint16_t to565(Colour c)
{
    return static_cast<std::uint16_t>(((redOf(c) >> 3) << 11) | ((greenOf(c) >> 2) << 5) | (blueOf(c) >> 3));
}

Colour from565(std::uint16_t pixel)
{
    const unsigned r = (pixel >> 11) & 0x1F, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
    return rgb(static_cast<std::uint8_t>((r << 3) | (r >> 2)), static_cast<std::uint8_t>((g << 2) | (g >> 4)),
               static_cast<std::uint8_t>((b << 3) | (b >> 2)));
}

Colour quantise565(Colour c) { return from565(to565(c)); }

}  // namespace korvane
