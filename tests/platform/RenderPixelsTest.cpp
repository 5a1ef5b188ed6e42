// The renderer painting a DisplayList on the 16-bit raster: what the user sees.
#include "gerber/ApertureTable.h"
#include "gerber/GerberReader.h"
#include "gerber/MacroLibrary.h"
#include "platform/RasterArt.h"
#include "platform/RasterSurface.h"
#include "support/FakePorts.h"
#include "view/Renderer.h"

#include <gtest/gtest.h>

#include <memory>

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

}  // namespace

TEST(RenderPixels, RectanglesAreSolidOrOutlinedByFill)
{
    Drawing d;
    d.add(ItemKind::Rectangle, 0, 0, 4, 4, 2)          // solid
        .add(ItemKind::Rectangle, 5, 0, 9, 4, 1)       // Gerber square flash: outline
        .add(ItemKind::Rectangle, 10, 0, 14, 4, 3, 2)  // drill outline mark in the layer colour
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
        .add(ItemKind::Rectangle, 0, 0, 9, 9, 2, 2)       // blue over the red underlay
        .add(ItemKind::Ellipse, 2, 2, 7, 7, 1, 0, 0, 1);  // clear disc, on visible layer 1
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
    d.add(ItemKind::Rectangle, 0, 0, 8, 8, 3, 1)      // outline, white inside
        .add(ItemKind::FloodFill, 4, 4, 0, 0, 2, 2)   // blue fill of the white inside
        .add(ItemKind::FloodFill, 9, 4, 0, 0, 1, 2);  // hollow: nothing
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
    sector.arc(ItemKind::SectorCw, 0, 0, 21, 21, {0, 10.5}, {10.5, 0});  // clockwise left to top
    const std::string s = sector.picture(21, 21);
    EXPECT_EQ(s[5 * 22 + 5], '#');
    EXPECT_EQ(s[15 * 22 + 15], '.');
    EXPECT_EQ(s[5 * 22 + 15], '.');
}

namespace {

// A board drawn at true size and `dpi` with the board point (0, 0) at the
// lower-left pixel centre, as korvane-cli --dpi draws it.
std::unique_ptr<RasterSurface> trueSize(const Document &doc, double dpi, int width, int height)
{
    auto s = std::make_unique<RasterSurface>(width, height);
    PixelMapping map;
    map.mmPerPixelX = map.mmPerPixelY = 25.4 / dpi;
    map.offsetY = -(height - 1);  // stored y is the negated board Y
    Renderer(*s, LayerLook::from(doc.layers), RegionFill::Solid, map).paint(doc.displayList);
    return s;
}

}  // namespace

TEST(RenderPixels, APourOfOverlappingStrokesIsSolidAtEveryResolution)
{
    // 60 strokes 0.4064 mm wide, 0.381 mm apart, from x 1 to 21 mm, the first
    // at y 1 mm: the way older CAD programs fill copper.
    Document doc;
    doc.layers.slot(1).colour = Red;
    doc.layers.slot(1).visible = 1;
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    korvane::testing::FakePrompter prompter;
    korvane::testing::FakeStatus status;
    GerberLoadContext ctx{doc, table, library, format, prompter, status};
    loadGerberFiles(ctx, {{1, KORVANE_TEST_DATA "/gerber/stroked_pour.gbr"}});
    ASSERT_GE(doc.displayList.size(), 120u);

    const double top = 1 + 59 * 0.381 + 0.2032, bottom = 1 - 0.2032;
    for (double dpi : {40.0, 55.0, 72.0, 90.0, 100.0, 127.0, 150.0, 200.0, 254.0, 300.0}) {
        SCOPED_TRACE(dpi);
        const double mm = 25.4 / dpi;
        const int w = int(23 / mm), h = int(26 / mm);
        const auto s = trueSize(doc, dpi, w, h);
        int whiteRows = 0, rowsInside = 0;
        for (int y = 0; y < h; ++y) {
            const double boardY = (h - 1 - y) * mm;
            if (boardY <= bottom + mm || boardY >= top - mm)
                continue;
            ++rowsInside;
            for (int x = int(3 / mm); x < int(19 / mm); ++x)
                if (s->getPixel(x, y) != quantise565(Red)) {
                    ++whiteRows;
                    break;
                }
        }
        EXPECT_GT(rowsInside, 30);
        EXPECT_EQ(whiteRows, 0);
    }
}

TEST(RenderPixels, TracesNarrowerThanAPixelStayOnePixelLines)
{
    // 0.05 mm at 100 dpi is a fifth of a pixel: a one-pixel line from column
    // 1 up to, not including, column 9.
    Drawing d;
    d.add(ItemKind::MoveTo, 0.254, -0.762).add(ItemKind::LineTo, 2.286, -0.762, 0, 0, 2, 1, 0.05);
    const auto s = trueSize(d.doc, 100, 12, 6);
    EXPECT_EQ(art(*s, Red), rows({
                                "............",
                                "............",
                                ".########...",
                                "............",
                                "............",
                                "............",
                            }));
}
