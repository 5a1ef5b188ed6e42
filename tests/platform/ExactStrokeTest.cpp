// Strokes at their true geometry: every pixel whose centre lies within half
// the width of the path, checked pixel by pixel against the geometry.
#include "core/Numbers.h"
#include "platform/RasterArt.h"
#include "platform/RasterSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace korvane;
using korvane::testing::art;

namespace {

constexpr Colour Black = colours::Black;
constexpr double Pi = std::numbers::pi;

double distanceToSegment(double px, double py, RayPoint a, RayPoint b)
{
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((px - a.x) * dx + (py - a.y) * dy) / len2, 0.0, 1.0) : 0;
    return std::hypot(px - a.x - t * dx, py - a.y - t * dy);
}

// A circular arc swept counter-clockwise on the screen (y up) from angle t0
// through span radians.
double distanceToArc(double px, double py, RayPoint c, double r, double t0, double span)
{
    const double phi = std::atan2(c.y - py, px - c.x);
    const double past = std::fmod(phi - t0 + 4 * Pi, 2 * Pi);
    if (past <= span)
        return std::abs(std::hypot(px - c.x, py - c.y) - r);
    const RayPoint s{c.x + r * std::cos(t0), c.y - r * std::sin(t0)};
    const RayPoint e{c.x + r * std::cos(t0 + span), c.y - r * std::sin(t0 + span)};
    return std::min(std::hypot(px - s.x, py - s.y), std::hypot(px - e.x, py - e.y));
}

// Pixels that disagree with "centre within halfWidth of the path"; pixels
// closer than `slack` to the stroke's edge may go either way.
std::string mismatches(const RasterSurface &s, const std::function<double(double, double)> &distance, double halfWidth,
                       double slack = 1e-9)
{
    std::ostringstream out;
    int painted = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const double d = distance(x, y);
            const bool inked = s.getPixel(x, y) == Black;
            painted += inked;
            if (std::abs(d - halfWidth) > slack && inked != (d < halfWidth))
                out << "(" << x << "," << y << (inked ? " painted" : " missing") << ") ";
        }
    if (painted == 0)
        out << "nothing painted";
    return out.str();
}

}  // namespace

TEST(ExactStroke, StraightStrokesCoverThePixelsWithinHalfTheirWidth)
{
    struct Case {
        const char *what;
        RayPoint from, to;
        double width;
    };
    const Case cases[] = {
        {"horizontal", {3.3, 7.45}, {20.6, 7.45}, 2.7},     {"vertical", {11.2, 2.8}, {11.2, 14.1}, 3.3},
        {"diagonal", {2.4, 1.7}, {21.9, 13.2}, 4.1},        {"just over a pixel", {1.6, 10.3}, {22.2, 4.9}, 1.15},
        {"a point: a disc", {12.4, 8.3}, {12.4, 8.3}, 5.3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RasterSurface s(24, 16);
        s.setPen(Black, 3);
        s.moveTo(roundToInt(c.from.x), roundToInt(c.from.y));
        s.strokeTo(roundToInt(c.to.x), roundToInt(c.to.y), {c.from, c.to, c.width});
        EXPECT_EQ(s.penPosition(), (PixelPoint{roundToInt(c.to.x), roundToInt(c.to.y)}));
        EXPECT_EQ(mismatches(
                      s, [&](double x, double y) { return distanceToSegment(x, y, c.from, c.to); }, c.width / 2),
                  "");
    }
}

TEST(ExactStroke, ArcsCoverThePixelsWithinHalfTheirWidth)
{
    // The box (3.3, 4.2)-(23.7, 24.6): centre (13.5, 14.4), radius 10.2.
    const RayPoint c1{3.3, 4.2}, c2{23.7, 24.6}, centre{13.5, 14.4};
    const double radius = 10.2;
    struct Case {
        const char *what;
        double startDegrees, endDegrees, width;
    };
    const Case cases[] = {
        {"quarter", 10, 100, 2.5},
        {"more than half a turn", 200, 120, 3.7},
        {"across the start of the angles", 300, 30, 1.3},
        {"whole circle", 45, 45, 2.9},
    };
    auto ray = [&](double degrees) {
        return RayPoint{centre.x + 20 * std::cos(degrees * Pi / 180), centre.y - 20 * std::sin(degrees * Pi / 180)};
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RasterSurface s(28, 30);
        s.setPen(Black, 3);
        s.strokeArc(3, 4, 24, 25, ray(c.startDegrees), ray(c.endDegrees),
                    {c1, c2, ray(c.startDegrees), ray(c.endDegrees), c.width});
        double span = std::fmod(c.endDegrees - c.startDegrees + 360, 360);
        if (span == 0)
            span = 360;
        const double t0 = c.startDegrees * Pi / 180;
        EXPECT_EQ(mismatches(
                      s, [&](double x, double y) { return distanceToArc(x, y, centre, radius, t0, span * Pi / 180); },
                      c.width / 2),
                  "");
        EXPECT_EQ(s.penPosition(), (PixelPoint{0, 0}));  // arcs leave the pen alone
    }
}

TEST(ExactStroke, ElongatedBoxesGiveEllipticalArcsOfTheSameWidth)
{
    // Half axes 9.4 and 6.1 around (11.5, 8.3); the path is followed to a
    // fiftieth of a pixel, so only pixels that close to the edge may differ.
    const RayPoint centre{11.5, 8.3};
    const double a = 9.4, b = 6.1, width = 2.6;
    RasterSurface s(24, 18);
    s.setPen(Black, 3);
    s.strokeArc(2, 2, 21, 14, {30, centre.y}, {centre.x, -30},
                {{centre.x - a, centre.y - b}, {centre.x + a, centre.y + b}, {30, centre.y}, {centre.x, -30}, width});
    auto distance = [&](double x, double y) {
        double best = 1e9;
        for (int i = 0; i <= 20000; ++i) {
            const double t = Pi / 2 * i / 20000;
            best = std::min(best, std::hypot(x - centre.x - a * std::cos(t), y - centre.y + b * std::sin(t)));
        }
        return best;
    };
    EXPECT_EQ(mismatches(s, distance, width / 2, 0.03), "");
}

TEST(ExactStroke, AnArcLooksTheSameAfterThousandsOfOthers)
{
    // Angles are remembered from arc to arc: whatever was drawn before, an
    // arc's pixels are those it has when nothing was.
    const RayPoint centre{13.5, 14.5};
    auto ray = [&](double degrees) {
        return RayPoint{centre.x + 20 * std::cos(degrees * Pi / 180), centre.y - 20 * std::sin(degrees * Pi / 180)};
    };
    auto draw = [&](RasterSurface &s, double from, double to, int pen) {
        s.setPen(Black, pen);
        if (pen > 1)
            s.strokeArc(3, 4, 24, 25, ray(from), ray(to), {{3, 4}, {24, 25}, ray(from), ray(to), 2.5});
        else
            s.arc(3, 4, 24, 25, ray(from), ray(to));
    };
    const double arcs[][2] = {{10, 100}, {200, 120}, {300, 30}, {89.9, 90.1}};
    for (int pen : {1, 3}) {
        // A thread of its own remembers nothing yet.
        std::vector<std::string> first;
        std::thread([&] {
            for (const auto &a : arcs) {
                RasterSurface s(28, 30);
                draw(s, a[0], a[1], pen);
                first.push_back(art(s, Black));
            }
        }).join();
        RasterSurface others(28, 30);
        for (int i = 0; i < 5000; ++i)
            draw(others, i * 0.0731, i * 0.0731 + 1 + i % 300, pen);
        for (std::size_t k = 0; k < std::size(arcs); ++k) {
            RasterSurface s(28, 30);
            draw(s, arcs[k][0], arcs[k][1], pen);
            EXPECT_EQ(art(s, Black), first[k]) << "pen " << pen << ", arc " << k;
        }
    }
}
