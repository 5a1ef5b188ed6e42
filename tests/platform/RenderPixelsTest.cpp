// The renderer painting a DisplayList on the 16-bit raster: what the user sees.
#include "platform/RasterArt.h"
#include "platform/RasterSurface.h"
#include "view/Renderer.h"

#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::art;
using korvane::testing::count;

namespace {

constexpr Colour Red = colours::Red, Blue = colours::Blue, White = colours::White;

// One stored millimetre per pixel; stored y is the row.
struct Drawing {
    Document doc;
    Drawing()
    {
        doc.layers.slot(1).colour = Red;
        doc.layers.slot(1).visible = 1;
        doc.layers.slot(2).colour = Blue;
        doc.layers.slot(2).visible = 1;
    }
    Drawing &add(ItemKind kind, double x1, double y1, double x2 = 0, double y2 = 0, int fill = 2, int colourLayer = 1,
                 double width = 0, int layer = 0)
    {
        AppendArgs a{kind};
        a.fill = fill;
        a.colourLayer = colourLayer;
        a.layer = layer ? layer : (colourLayer ? colourLayer : 1);
        a.width = width;
        a.x1 = x1;
        a.y1 = y1;
        a.x2 = x2;
        a.y2 = y2;
        doc.appendItem(a);
        return *this;
    }
    Drawing &arc(ItemKind kind, double x1, double y1, double x2, double y2, Point from, Point to, double width = 0)
    {
        AppendArgs a{kind};
        a.colourLayer = a.layer = 1;
        a.width = width;
        a.x1 = x1;
        a.y1 = y1;
        a.x2 = x2;
        a.y2 = y2;
        a.arcStart = from;
        a.arcEnd = to;
        doc.appendItem(a);
        return *this;
    }
    std::string picture(int w, int h, RegionFill fill = RegionFill::Solid)
    {
        RasterSurface s(w, h);
        Renderer(s, LayerLook::from(doc.layers), fill, PixelMapping{}).paint(doc.displayList);
        return art(s, Red, {{Blue, 'b'}});
    }
};

std::string rows(std::initializer_list<const char *> lines)
{
    std::string s;
    for (const char *l : lines)
        s += std::string(l) + "\n";
    return s;
}

} // namespace

TEST(RenderPixels, RectanglesAreSolidOrOutlinedByFill)
{
    Drawing d;
    d.add(ItemKind::Rectangle, 0, 0, 4, 4, 2)     // solid
        .add(ItemKind::Rectangle, 5, 0, 9, 4, 1)  // Gerber square flash: outline
        .add(ItemKind::Rectangle, 10, 0, 14, 4, 3, 2) // drill outline mark in the layer colour
        .add(ItemKind::Rectangle, 0, 5, 4, 9, 4, 2);
    EXPECT_EQ(d.picture(15, 10), rows({
                                     "####.####.bbbb.",
                                     "####.#..#.b..b.",
                                     "####.#..#.b..b.",
                                     "####.####.bbbb.",
                                     "...............",
                                     "bbbb...........",
                                     "bbbb...........",
                                     "bbbb...........",
                                     "bbbb...........",
                                     "...............",
                                 }));
}

TEST(RenderPixels, ClearItemsPaintWhiteOverEveryLayer)
{
    Drawing d;
    d.add(ItemKind::UnderRectangle, 0, 0, 9, 9, 2, 1)
        .add(ItemKind::Rectangle, 0, 0, 9, 9, 2, 2) // blue over the red underlay
        .add(ItemKind::Ellipse, 2, 2, 7, 7, 1, 0, 0, 1); // clear disc, on visible layer 1
    EXPECT_EQ(d.picture(10, 10), rows({
                                     "bbbbbbbbb.",
                                     "bbbbbbbbb.",
                                     "bbb...bbb.",
                                     "bb.....bb.",
                                     "bb.....bb.",
                                     "bb.....bb.",
                                     "bbb...bbb.",
                                     "bbbbbbbbb.",
                                     "bbbbbbbbb.",
                                     "..........",
                                 }));
}

TEST(RenderPixels, HiddenLayersLeaveNoTrace)
{
    Drawing d;
    d.add(ItemKind::Rectangle, 0, 0, 9, 9, 2, 2)
        .add(ItemKind::MoveTo, 0, 4, 0, 0, 2, 1)
        .add(ItemKind::LineTo, 9, 4, 0, 0, 2, 1, 0);
    d.doc.layers.slot(2).visible = 0;
    EXPECT_EQ(d.picture(10, 10), rows({
                                     "..........",
                                     "..........",
                                     "..........",
                                     "..........",
                                     "#########.",
                                     "..........",
                                     "..........",
                                     "..........",
                                     "..........",
                                     "..........",
                                 }));
}

TEST(RenderPixels, EllipseOutlinesStayThinAtWidthOneAndGrowOtherwise)
{
    Drawing thin, thick, solid;
    thin.add(ItemKind::Ellipse, 1, 1, 14, 14, 3, 1, 1.0);
    thick.add(ItemKind::Ellipse, 1, 1, 14, 14, 3, 1, 3.0);
    solid.add(ItemKind::Ellipse, 1, 1, 14, 14, 4, 1, 1.0);
    const std::string a = thin.picture(15, 15), b = thick.picture(15, 15), c = solid.picture(15, 15);
    const auto reds = [](const std::string &s) { return std::count(s.begin(), s.end(), '#'); };
    EXPECT_EQ(a[7 * 16 + 7], '.');  // hollow centre
    EXPECT_EQ(c[7 * 16 + 7], '#');
    EXPECT_GT(reds(b), 2 * reds(a));
    EXPECT_GT(reds(c), 3 * reds(a));
    EXPECT_EQ(a[0], '.');
}

TEST(RenderPixels, PolygonIsDrawnFromItsVerticesWithoutTheRepeatedLast)
{
    Drawing d;
    for (Point p : {Point{1, 1}, Point{9, 1}, Point{9, 9}, Point{1, 1}})
        d.add(ItemKind::PolygonVertex, p.x, p.y, 0, 0, 0);
    d.add(ItemKind::PolygonClose, 0, 0, 0, 0, 0);
    EXPECT_EQ(d.picture(11, 11), rows({
                                     "...........",
                                     ".#########.",
                                     "..########.",
                                     "...#######.",
                                     "....######.",
                                     ".....#####.",
                                     "......####.",
                                     ".......###.",
                                     "........##.",
                                     ".........#.",
                                     "...........",
                                 }));
}

TEST(RenderPixels, HatchedRegionsLetEarlierDrawingShowThrough)
{
    Drawing d;
    d.add(ItemKind::Rectangle, 0, 0, 16, 16, 2, 1);
    for (Point p : {Point{0, 0}, Point{16, 0}, Point{16, 16}, Point{0, 16}})
        d.add(ItemKind::UnderPolygonVertex, p.x, p.y, 0, 0, 0, 2);
    d.add(ItemKind::UnderPolygonClose, 0, 0, 0, 0, 0, 2);
    // Underlay first: the red rectangle covers the blue region.
    const std::string under = d.picture(16, 16, RegionFill::Hatch);
    EXPECT_EQ(std::count(under.begin(), under.end(), 'b'), 0);

    Drawing e;
    e.add(ItemKind::Rectangle, 0, 0, 16, 16, 2, 1);
    for (Point p : {Point{0, 0}, Point{16, 0}, Point{16, 16}, Point{0, 16}})
        e.add(ItemKind::PolygonVertex, p.x, p.y, 0, 0, 0, 2);
    e.add(ItemKind::PolygonClose, 0, 0, 0, 0, 0, 2);
    const std::string hatched = e.picture(16, 16, RegionFill::Hatch);
    const std::string solid = e.picture(16, 16, RegionFill::Solid);
    EXPECT_GT(std::count(hatched.begin(), hatched.end(), '#'), 100);
    EXPECT_GT(std::count(hatched.begin(), hatched.end(), 'b'), 60);
    EXPECT_EQ(std::count(solid.begin(), solid.end(), '#'), 0);
}

TEST(RenderPixels, AFullCircleArcIsTheWholeOutline)
{
    Drawing arc, ring;
    arc.arc(ItemKind::ArcCcw, 0, 0, 11, 11, {11, 5.5}, {11, 5.5});
    ring.add(ItemKind::Ellipse, 0, 0, 11, 11, 3, 1, 1.0);
    const std::string a = arc.picture(12, 12);
    EXPECT_EQ(a, ring.picture(12, 12));
    EXPECT_GT(std::count(a.begin(), a.end(), '#'), 20);

    // A short arc between close but different ends stays short.
    Drawing shortArc;
    shortArc.arc(ItemKind::ArcCcw, 0, 0, 11, 11, {11, 5.51}, {11, 5.49});
    const std::string s = shortArc.picture(12, 12);
    EXPECT_LT(std::count(s.begin(), s.end(), '#'), 5);
}

TEST(RenderPixels, FloodFillAndSectorsFillTheirArea)
{
    Drawing d;
    d.add(ItemKind::Rectangle, 0, 0, 8, 8, 3, 1)  // outline, white inside
        .add(ItemKind::FloodFill, 4, 4, 0, 0, 2, 2) // blue fill of the white inside
        .add(ItemKind::FloodFill, 9, 4, 0, 0, 1, 2); // hollow: nothing
    EXPECT_EQ(d.picture(10, 9), rows({
                                    "########..",
                                    "#bbbbbb#..",
                                    "#bbbbbb#..",
                                    "#bbbbbb#..",
                                    "#bbbbbb#..",
                                    "#bbbbbb#..",
                                    "#bbbbbb#..",
                                    "########..",
                                    "..........",
                                }));

    Drawing sector;
    sector.arc(ItemKind::SectorCw, 0, 0, 21, 21, {0, 10.5}, {10.5, 0}); // clockwise left to top
    const std::string s = sector.picture(21, 21);
    EXPECT_EQ(s[5 * 22 + 5], '#');
    EXPECT_EQ(s[15 * 22 + 15], '.');
    EXPECT_EQ(s[5 * 22 + 15], '.');
}
