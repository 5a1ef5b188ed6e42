// The 16-bit raster surface, pixel by pixel.
#include "platform/RasterSurface.h"
#include "platform/RasterArt.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

using namespace korvane;
using korvane::testing::art;
using korvane::testing::count;

namespace {

constexpr Colour Black = colours::Black, Red = colours::Red, Blue = colours::Blue;

std::string rows(std::initializer_list<const char *> lines)
{
    std::string s;
    for (const char *l : lines)
        s += std::string(l) + "\n";
    return s;
}

}  // namespace

TEST(RasterSurface, StartsWhiteAndKeepsColoursAt16Bits)
{
    RasterSurface s(4, 3);
    ASSERT_FALSE(s.isNull());
    EXPECT_EQ(s.image().format(), QImage::Format_RGB16);
    EXPECT_EQ(art(s, Black), rows({"....", "....", "...."}));
    s.setPen(0x123456, 1);
    s.moveTo(0, 0);
    s.lineTo(2, 0);
    EXPECT_EQ(s.getPixel(0, 0), quantise565(0x123456));
    EXPECT_EQ(quantise565(0x123456), Colour(0x103452));  // blue 0x12 red 0x56 keep 5 bits
    EXPECT_EQ(s.getPixel(-1, 0), colours::White);
}

TEST(RasterSurface, TooLargeARasterIsNullAndHarmless)
{
    RasterSurface s(1 << 20, 1 << 20);
    EXPECT_TRUE(s.isNull());
    s.setPen(Black, 1);
    s.lineTo(5, 5);
    s.ellipse(0, 0, 5, 5);
    s.floodFill(1, 1, colours::White);
    EXPECT_EQ(s.penPosition(), (PixelPoint{5, 5}));
}

TEST(RasterSurface, LineToLeavesTheEndPixelAndMovesThePen)
{
    for (int width : {0, 1}) {
        RasterSurface s(8, 4);
        s.setPen(Black, width);
        s.moveTo(1, 1);
        s.lineTo(6, 1);
        s.lineTo(6, 3);
        EXPECT_EQ(s.penPosition(), (PixelPoint{6, 3}));
        // The second line starts on the first one's unpainted end.
        EXPECT_EQ(art(s, Black), rows({"........", ".######.", "......#.", "........"}));
    }
}

TEST(RasterSurface, WidePensAreRoundAndCentredOnTheLine)
{
    RasterSurface s(16, 9);
    s.setPen(Black, 5);
    s.moveTo(4, 4);
    s.lineTo(11, 4);
    for (int x : {4, 8, 11})
        for (int y = 2; y <= 6; ++y)
            EXPECT_EQ(s.getPixel(x, y), Black) << x << "," << y;
    EXPECT_EQ(s.getPixel(8, 0), colours::White);
    EXPECT_EQ(s.getPixel(8, 8), colours::White);
    EXPECT_EQ(s.getPixel(13, 4), Black);           // the round cap passes the end point
    EXPECT_EQ(s.getPixel(13, 2), colours::White);  // but not its corner
}

TEST(RasterSurface, FiguresFillTheirBoxWithoutTheFarEdgeAndKeepThePen)
{
    RasterSurface s(14, 9);
    s.setPen(Black, 1);
    s.setBrush(Red, BrushStyle::Solid);
    s.moveTo(3, 3);
    s.rectangle(1, 1, 6, 5);
    s.setBrush(Red, BrushStyle::Hollow);
    s.ellipse(12, 8, 7, 1);  // corners in any order
    EXPECT_EQ(s.penPosition(), (PixelPoint{3, 3}));
    EXPECT_EQ(art(s, Black, {{Red, 'r'}}), rows({
                                               "..............",
                                               ".#####..###...",
                                               ".#rrr#..#.#...",
                                               ".#rrr#.#...#..",
                                               ".#####.#...#..",
                                               ".......#...#..",
                                               "........#.#...",
                                               "........###...",
                                               "..............",
                                           }));
}

TEST(RasterSurface, SolidEllipseIsOutlinedAndFilled)
{
    RasterSurface s(9, 9);
    s.setPen(Black, 1);
    s.setBrush(Red, BrushStyle::Solid);
    s.ellipse(0, 0, 9, 9);
    EXPECT_EQ(s.getPixel(4, 4), quantise565(Red));
    EXPECT_EQ(s.getPixel(4, 0), Black);
    EXPECT_EQ(s.getPixel(4, 8), Black);
    EXPECT_EQ(s.getPixel(0, 0), colours::White);
}

TEST(RasterSurface, ThinEllipsesAreThePixelsQPainterPaints)
{
    // Every box size of flashes and holes, solid and hollow, wholly inside
    // and cut by each edge of the raster, over a drawing already there.
    constexpr int W = 120, H = 110;
    const Colour colour = 0x3C8AD5;
    const QColor qcolour(0xD5, 0x8A, 0x3C);
    for (bool solid : {true, false}) {
        // Flat boxes too: QPainter's ends overshoot them by a few pixels.
        for (int n = 0; n < 2 * 98; ++n) {
            const int size = 3 + n / 2, w = size, h = n % 2 ? 3 + (size * 7) % 98 : 3 + size % 5;
            RasterSurface s(W, H);
            QImage reference(W, H, QImage::Format_RGB16);
            reference.fill(Qt::white);
            s.setBrush(Red, BrushStyle::Solid);
            s.setPen(Red, 1);
            s.rectangle(0, 50, W, 60);
            QPainter p(&reference);
            p.fillRect(QRect(0, 50, W, 10), QColor(Qt::red));
            p.setPen(QPen(qcolour, 0));
            p.setBrush(solid ? QBrush(qcolour) : QBrush(Qt::NoBrush));
            s.setPen(colour, 1);
            s.setBrush(colour, solid ? BrushStyle::Solid : BrushStyle::Hollow);
            for (const auto &[x, y] :
                 {std::pair{10, 5}, {-w / 2, 20}, {W - w / 2, 30}, {15, -h / 3}, {40, H - h / 2}}) {
                s.ellipse(x, y, x + w, y + h);
                p.drawEllipse(QRect(x, y, w - 1, h - 1));
            }
            p.end();
            const QImage image = s.takeImage();
            bool same = true;
            for (int y = 0; y < H && same; ++y)
                same = std::memcmp(image.constScanLine(y), reference.constScanLine(y), std::size_t(W) * 2) == 0;
            EXPECT_TRUE(same) << w << " x " << h << (solid ? " solid" : " hollow");
        }
    }
}

TEST(RasterSurface, TinyEllipsesStayVisible)
{
    for (int size : {1, 2}) {
        RasterSurface s(4, 4);
        s.setPen(Black, 1);
        s.setBrush(Black, BrushStyle::Hollow);
        s.ellipse(1, 1, 1 + size, 1 + size);
        EXPECT_EQ(count(s, Black), size * size);
    }
}

TEST(RasterSurface, HatchingLeavesTheBackgroundUntouched)
{
    RasterSurface s(16, 16);
    s.setPen(Red, 1);
    s.setBrush(Red, BrushStyle::Solid);
    s.rectangle(0, 0, 16, 16);
    s.setPen(Blue, 0);
    s.setBrush(Blue, BrushStyle::DiagonalCross);
    const PixelPoint square[] = {{2, 2}, {14, 2}, {14, 14}, {2, 14}};
    s.polygon(square);
    // Inside: hatch lines in blue with the red showing between them.
    int blue = 0, red = 0;
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            (s.getPixel(x, y) == quantise565(Blue) ? blue : red) += 1;
    EXPECT_GT(blue, 8);
    EXPECT_GT(red, 24);
    EXPECT_EQ(blue + red, 64);
    EXPECT_EQ(count(s, colours::White), 0);
}

TEST(RasterSurface, PolygonsFillByAlternation)
{
    RasterSurface s(21, 21);
    s.setPen(Black, 0);
    s.setBrush(Black, BrushStyle::Solid);
    // A pentagram: its inner pentagon is crossed twice and stays empty.
    const PixelPoint star[] = {{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};
    s.polygon(star);
    EXPECT_EQ(s.getPixel(10, 11), colours::White);
    EXPECT_EQ(s.getPixel(10, 3), Black);
    EXPECT_EQ(s.getPixel(3, 8), Black);
}

// Rectangles along the axes (pads and pours written as regions) are filled
// and outlined on a short road; they must give the pixels of the same
// rectangle with its first vertex repeated, which takes the general one:
// from every corner either way round, solid, hatched and hollow, inside the
// raster and over its edges, as thin as a pixel and not quite a rectangle.
TEST(RasterSurface, RectangularPolygonsPaintAsAnyPolygonDoes)
{
    std::mt19937 rng(3);
    auto pick = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    const BrushStyle styles[] = {BrushStyle::Solid, BrushStyle::DiagonalCross, BrushStyle::Hollow};
    for (int i = 0; i < 600; ++i) {
        const int left = pick(-6, 20), top = pick(-6, 14), right = left + pick(0, 12), bottom = top + pick(0, 9);
        std::vector<PixelPoint> corners = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
        if (i % 2 != 0)
            std::reverse(corners.begin(), corners.end());
        std::rotate(corners.begin(), corners.begin() + (i / 2) % 4, corners.end());
        if (i % 5 == 1) {  // one corner off by a pixel: not a rectangle
            PixelPoint &c = corners[rng() % 4];
            (rng() % 2 != 0 ? c.x : c.y) += 1;
        }
        // An edge of no length adds nothing to the fill or the outline.
        std::vector<PixelPoint> repeated = corners;
        repeated.insert(repeated.begin() + 1, corners[0]);
        RasterSurface quick(24, 18), general(24, 18);
        for (RasterSurface *s : {&quick, &general}) {
            s->setPen(Red, i % 7 == 0 ? 0 : 1);
            s->setBrush(Blue, styles[i % 3]);
        }
        quick.polygon(corners);
        general.polygon(repeated);
        ASSERT_EQ(art(quick, Red) + art(quick, Blue), art(general, Red) + art(general, Blue))
            << "polygon " << i << " about " << left << "," << top << " to " << right << "," << bottom;
    }
}

namespace {

// The quadrants of a 21 x 21 circle that an arc runs through; a pixel or
// two where an arc ends on an axis does not count.
struct Quadrants {
    bool topRight, topLeft, bottomLeft, bottomRight;
};

Quadrants quadrantsOf(const RasterSurface &s, Colour ink)
{
    int n[4] = {};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            if (s.getPixel(x, y) != quantise565(ink) || x == 10 || y == 10)
                continue;
            ++n[y < 10 ? (x > 10 ? 0 : 1) : (x < 10 ? 2 : 3)];
        }
    return {n[0] > 2, n[1] > 2, n[2] > 2, n[3] > 2};
}

}  // namespace

TEST(RasterSurface, ArcsRunCounterClockwiseFromStartRayToEndRay)
{
    struct Case {
        const char *what;
        RayPoint start, end;
        Quadrants expected;
    };
    const Case cases[] = {
        {"right to top", {20, 10}, {10, 0}, {true, false, false, false}},
        {"top to right, the long way", {10, 0}, {20, 10}, {false, true, true, true}},
        {"left to bottom", {0, 10}, {10, 20}, {false, false, true, false}},
        {"rays through points far outside", {1000, 10}, {10, -1000}, {true, false, false, false}},
        {"equal rays: whole circle", {20, 10}, {30, 10}, {true, true, true, true}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RasterSurface s(21, 21);
        s.setPen(Black, 1);
        s.setBrush(Red, BrushStyle::Solid);  // arcs use no brush
        s.arc(0, 0, 21, 21, c.start, c.end);
        const Quadrants q = quadrantsOf(s, Black);
        EXPECT_EQ(q.topRight, c.expected.topRight);
        EXPECT_EQ(q.topLeft, c.expected.topLeft);
        EXPECT_EQ(q.bottomLeft, c.expected.bottomLeft);
        EXPECT_EQ(q.bottomRight, c.expected.bottomRight);
        EXPECT_EQ(count(s, Red), 0);
    }
    // A wide pen follows the same sweep, thicker.
    RasterSurface thin(21, 21), wide(21, 21);
    thin.setPen(Black, 1);
    wide.setPen(Black, 3);
    thin.arc(0, 0, 21, 21, {20, 10}, {10, 0});
    wide.arc(0, 0, 21, 21, {20, 10}, {10, 0});
    const Quadrants q = quadrantsOf(wide, Black);
    EXPECT_TRUE(q.topRight);
    EXPECT_FALSE(q.topLeft || q.bottomLeft || q.bottomRight);
    EXPECT_GT(count(wide, Black), 2 * count(thin, Black));
}

TEST(RasterSurface, AFullArcIsTheEllipseOutline)
{
    RasterSurface arc(15, 11), ellipse(15, 11);
    for (RasterSurface *s : {&arc, &ellipse}) {
        s->setPen(Black, 1);
        s->setBrush(Black, BrushStyle::Hollow);
    }
    arc.arc(1, 1, 14, 10, {14, 5.5}, {14, 5.5});
    ellipse.ellipse(1, 1, 14, 10);
    EXPECT_EQ(art(arc, Black), art(ellipse, Black));
}

TEST(RasterSurface, APieFillsItsSector)
{
    RasterSurface s(21, 21);
    s.setPen(Black, 0);
    s.setBrush(Red, BrushStyle::Solid);
    s.pie(0, 0, 21, 21, {0, 10}, {10, 20});  // left to bottom
    EXPECT_EQ(s.getPixel(5, 15), quantise565(Red));
    EXPECT_EQ(s.getPixel(15, 5), colours::White);
    EXPECT_EQ(s.getPixel(15, 15), colours::White);
    EXPECT_EQ(s.getPixel(5, 5), colours::White);
}

TEST(RasterSurface, FloodFillPaintsTheConnectedAreaOfOneColour)
{
    // A box whose corner pixel (1, 1) is missing: the inside touches the
    // outside there by a corner only, which four neighbours do not cross.
    auto boxed = [] {
        auto s = std::make_unique<RasterSurface>(10, 8);
        s->setPen(Black, 1);
        s->moveTo(2, 1);
        s->lineTo(8, 1);
        s->lineTo(8, 6);
        s->lineTo(1, 6);
        s->lineTo(1, 1);
        return s;
    };
    auto s = boxed();
    s->setBrush(Red, BrushStyle::Solid);
    s->floodFill(4, 3, colours::White);
    EXPECT_EQ(art(*s, Black, {{Red, 'r'}}), rows({
                                                "..........",
                                                "..#######.",
                                                ".#rrrrrr#.",
                                                ".#rrrrrr#.",
                                                ".#rrrrrr#.",
                                                ".#rrrrrr#.",
                                                ".########.",
                                                "..........",
                                            }));

    auto other = boxed();
    other->setBrush(Red, BrushStyle::Solid);
    other->floodFill(4, 3, Blue);  // the point is not blue: nothing to fill
    other->setBrush(Red, BrushStyle::Hollow);
    other->floodFill(4, 3, colours::White);
    EXPECT_EQ(count(*other, Red), 0);

    auto hatched = boxed();
    hatched->setBrush(Blue, BrushStyle::DiagonalCross);
    hatched->floodFill(4, 3, colours::White);
    EXPECT_GT(count(*hatched, Blue), 4);
    EXPECT_EQ(hatched->getPixel(0, 7), colours::White);  // nothing outside
    EXPECT_GT(count(*hatched, colours::White), 40);
}

TEST(RasterSurface, CopyRectScalesAndStretchDrawTakesTheWholeRaster)
{
    RasterSurface src(2, 2);
    src.setPen(Black, 1);
    src.moveTo(0, 0);
    src.lineTo(1, 0);
    RasterSurface dest(6, 4);
    dest.copyRect({0, 0, 4, 4}, src, {0, 0, 2, 2});
    dest.stretchDraw({4, 0, 6, 2}, src);
    EXPECT_EQ(art(dest, Black), rows({"##..#.", "##....", "......", "......"}));
}

TEST(RasterSurface, TextBackgroundIsTheBrushUnlessHollow)
{
    RasterSurface solid(60, 30), hollow(60, 30);
    for (RasterSurface *s : {&solid, &hollow}) {
        s->setFont(Black, "Sans", 10);
        s->setBrush(Red, s == &solid ? BrushStyle::Solid : BrushStyle::Hollow);
        s->textOut(2, 2, "W8");
    }
    EXPECT_GT(count(solid, Black), 5);
    EXPECT_GT(count(hollow, Black), 5);
    EXPECT_GT(count(solid, Red), 20);
    EXPECT_EQ(count(hollow, Red), 0);
    EXPECT_EQ(solid.getPixel(2, 2), quantise565(Red));  // the cell starts at the given corner
    EXPECT_EQ(solid.getPixel(1, 1), colours::White);
}

TEST(RasterSurface, SolidRunsOfEveryLengthCoverExactlyTheirPixels)
{
    // Runs are written several pixels to a store: none may spill over.
    for (int start = 0; start < 4; ++start) {
        for (int length = 1; length <= 40; ++length) {
            RasterSurface s(48, 3);
            s.setPen(Red, 1);
            s.setBrush(Red, BrushStyle::Solid);
            s.rectangle(start, 1, start + length, 2);
            std::string expected(48, '.');
            expected.replace(std::size_t(start), std::size_t(length), std::size_t(length), '#');
            std::string actual;
            for (int x = 0; x < 48; ++x)
                actual += s.getPixel(x, 1) == quantise565(Red) ? '#' : '.';
            EXPECT_EQ(actual, expected) << start << " + " << length;
            EXPECT_EQ(count(s, Red), length) << start << " + " << length;
        }
    }
}

// Laid over another, a raster gives every pixel that is not the clear
// colour, including those of a row's last few pixels and colours that
// differ from the clear one in a single bit.
TEST(RasterSurface, LayingOverKeepsThePixelsBelowOnlyWhereTheClearColourIs)
{
    const Colour clear = 0x0000F8;  // red in 5-6-5, kept exactly
    // nearClear differs from the clear colour in one low bit, topOff in the
    // top bit alone.
    const Colour nearClear = 0x0004F8, topOff = 0x000078, other[] = {Blue, topOff, nearClear, colours::White, Black};
    for (const int w : {1, 3, 4, 7, 13}) {
        RasterSurface below(w, 3), above(w, 3, clear);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x) {
                below.setPen(colours::Lime, 1);
                below.moveTo(x, y);
                below.lineTo(x + 1, y);
                if ((x * 5 + y * 3) % 3 != 0) {
                    above.setPen(other[(x + y) % 5], 1);
                    above.moveTo(x, y);
                    above.lineTo(x + 1, y);
                }
            }
        below.layOver(above, clear);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x) {
                const Colour want = (x * 5 + y * 3) % 3 != 0 ? quantise565(other[(x + y) % 5]) : colours::Lime;
                ASSERT_EQ(below.getPixel(x, y), want) << w << " " << x << "," << y;
            }
    }
}

// An ellipse far larger than the raster is painted row by row within the
// raster: the pixels QPainter paints, but for a pixel or so on the outline,
// whether the box reaches a little or a thousand times beyond the raster.
TEST(RasterSurface, EllipsesFarLargerThanTheRasterPaintWhatIsOnIt)
{
    constexpr int N = 24;
    for (const bool solid : {true, false})
        for (const int radius : {150, 40000}) {
            // A circle whose left edge runs down the middle column.
            auto paint = [&](RasterSurface &s, int shift) {
                s.setPen(colours::Blue, 1);
                s.setBrush(colours::Blue, solid ? BrushStyle::Solid : BrushStyle::Hollow);
                s.ellipse(N / 2 + shift, N / 2 - radius + shift, N / 2 + 2 * radius + 1 + shift,
                          N / 2 + radius + 1 + shift);
            };
            RasterSurface large(N, N);
            paint(large, 0);
            if (radius < 1000) {
                // QPainter, on a raster large enough to hold the box whole.
                const int shift = radius;
                RasterSurface whole(N + 2 * radius + 2, N + 2 * radius + 2);
                paint(whole, shift);
                int differing = 0;
                for (int y = 0; y < N; ++y)
                    for (int x = 0; x < N; ++x)
                        differing += large.getPixel(x, y) != whole.getPixel(x + shift, y + shift);
                EXPECT_LE(differing, N / 2) << "solid " << solid;
            }
            const int painted = count(large, colours::Blue);
            if (solid)
                EXPECT_TRUE(painted > N * N / 3 && painted < 2 * N * N / 3) << radius << ": " << painted;
            else
                EXPECT_TRUE(painted >= N && painted < 3 * N) << radius << ": " << painted;
            EXPECT_EQ(large.getPixel(N - 1, N / 2) == colours::White, !solid) << radius;
            EXPECT_EQ(large.getPixel(0, N / 2), colours::White) << radius;
        }
}
