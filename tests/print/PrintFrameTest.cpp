#include "print/PrintFrame.h"
#include "print/RecordingPage.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

using testing::RecordingPage;

PageGeometry tenthMm(int uw, int uh)
{
    PageGeometry g;
    g.dotWidthMm = g.dotHeightMm = 0.1;
    g.usableWidthMm = uw;
    g.usableHeightMm = uh;
    return g;
}

TEST(PageGeometryTest, GerberTruncatesAndDrillRoundsTheUsableArea)
{
    PrinterMetrics m{200.7, 300.6, 1000, 1000, 1000, 1000};
    PageGeometry g = computePageGeometry(m, PrintKind::Gerber);
    EXPECT_DOUBLE_EQ(g.dotWidthMm, 0.2007);
    EXPECT_DOUBLE_EQ(g.dotHeightMm, 0.3006);
    EXPECT_EQ(g.usableWidthMm, 200 - 15);
    EXPECT_EQ(g.usableHeightMm, 300 - 15);
    PageGeometry d = computePageGeometry(m, PrintKind::Drill);
    EXPECT_EQ(d.usableWidthMm, 201 - 20);
    EXPECT_EQ(d.usableHeightMm, 301 - 20);
    // A device without metrics still gives a usable dot size.
    PageGeometry none = computePageGeometry(PrinterMetrics{}, PrintKind::Gerber);
    EXPECT_GT(none.dotWidthMm, 0);
    EXPECT_GT(none.dotHeightMm, 0);
}

struct ScaleCase {
    const char *name;
    double w, h;
    ScaleSettings settings;
    PrintKind kind;
    float scale;
    bool landscape;
};

TEST(PlaceDrawingTest, ScaleAndOrientation)
{
    const ScaleCase cases[] = {
        {"fits", 100, 50, {ScaleMode::Given, 1.5, false}, PrintKind::Gerber, 1.5f, false},
        {"fits only turned", 100, 50, {ScaleMode::Given, 2, false}, PrintKind::Gerber, 2.0f, true},
        {"automatic by width", 50, 100, {ScaleMode::Automatic, 7, false}, PrintKind::Gerber, 3.6f, false},
        {"automatic by height", 100, 200, {ScaleMode::Automatic, 1, false}, PrintKind::Gerber, 267.0f / 200, false},
        {"keep uses the typed scale", 100, 50, {ScaleMode::Given, 10, true}, PrintKind::Gerber, 10.0f, false},
        // Too wide either way: the Gerber print turns a wide drawing onto the
        // long side before reducing; the drill print only reduces.
        {"reduced after turning", 400, 100, {ScaleMode::Given, 1, false}, PrintKind::Gerber, 267.0f / 400, true},
        {"drill only reduces", 400, 100, {ScaleMode::Given, 1, false}, PrintKind::Drill, 180.0f / 400, false},
    };
    for (const ScaleCase &c : cases) {
        SCOPED_TRACE(c.name);
        PageGeometry g = tenthMm(180, 267);
        PrintPlacement p = placeDrawing({0, 0, c.w, c.h}, g, c.settings, c.kind);
        EXPECT_FLOAT_EQ(p.scale, c.scale);
        EXPECT_EQ(p.landscape, c.landscape);
        EXPECT_EQ(g.usableWidthMm, c.landscape ? 267 : 180);
        EXPECT_EQ(g.usableHeightMm, c.landscape ? 180 : 267);
    }
}

TEST(PlaceDrawingTest, ZeroSizeDrawingsNeverDivideByZero)
{
    for (ScaleMode mode : {ScaleMode::Automatic, ScaleMode::Given}) {
        PageGeometry g = tenthMm(180, 267);
        PrintPlacement p = placeDrawing({5, 5, 5, 5}, g, {mode, 2, false}, PrintKind::Gerber);
        EXPECT_FLOAT_EQ(p.scale, mode == ScaleMode::Automatic ? 1.0f : 2.0f);
        EXPECT_TRUE(std::isfinite(p.scale));
        // A line along x still fits its length.
        g = tenthMm(180, 267);
        p = placeDrawing({0, 0, 90, 0}, g, {ScaleMode::Automatic, 1, false}, PrintKind::Gerber);
        EXPECT_FLOAT_EQ(p.scale, 2.0f);
    }
}

TEST(PrintMappingTest, CentresInTheBandAndMirrors)
{
    PageGeometry g = tenthMm(180, 267);
    PrintPlacement p = placeDrawing({0, 0, 100, 50}, g, {ScaleMode::Given, 1, false}, PrintKind::Gerber);
    EXPECT_EQ(p.offsetXDots, -500);   // 10 mm band start + 40 mm spare
    EXPECT_EQ(p.offsetYDots, -1185);  // 10 mm + 108.5 mm
    PrintMapping normal(g, p, false), mirrored(g, p, true);
    EXPECT_EQ(normal.mapX(0), 500);
    EXPECT_EQ(normal.mapX(100), 1500);
    // Normal sheet: y up, so the lowest y is at the bottom of the band.
    EXPECT_EQ(normal.mapY(0), 2870 - 1185);
    EXPECT_EQ(normal.mapY(50), 2870 - 1685);
    // Mirrored: turned over, the lowest y at the top of the band.
    EXPECT_EQ(mirrored.mapY(0), 1185);
    EXPECT_EQ(mirrored.mapY(50), 1685);
    EXPECT_EQ(normal.toDotsX(1.25), 12);
    EXPECT_EQ(normal.roundDotsX(1.25), 12);  // half to even
    EXPECT_EQ(normal.roundDotsX(1.35), 14);

    // The user's offsets: X moves right, Y moves up on a normal sheet.
    PageGeometry g2 = tenthMm(180, 267);
    PrintPlacement moved = placeDrawing({0, 0, 100, 50}, g2, {ScaleMode::Given, 1, false, 5, 2}, PrintKind::Gerber);
    PrintMapping m2(g2, moved, false);
    EXPECT_EQ(m2.mapX(0), 550);
    EXPECT_EQ(m2.mapY(0), normal.mapY(0) - 20);
}

TEST(TitleTest, PathSeparatorAndScale)
{
    EXPECT_EQ(titleText("/data/board/top.gbr", 1.0f), "/data/board/top.gbr    Scale:  1");
    EXPECT_EQ(titleText("/data/top.gbr", 0.5f), "/data/top.gbr    Scale:  0.5");
    EXPECT_EQ(titleText("/data/top.gbr", 1.1f), "/data/top.gbr    Scale:  1.1");
    RecordingPage page;
    drawTitle(page, "/x.gbr", 2.0f);
    ASSERT_EQ(page.figures.size(), 1u);
    EXPECT_EQ(page.figures[0].points[0], (PixelPoint{1, 1}));
    EXPECT_EQ(page.figures[0].text, "/x.gbr    Scale:  2");
}

TEST(PrintCommandListTest, RegionsFirstThenMainListByTheRules)
{
    PrintCommandList list;
    const Colour red = colours::Red;
    list.addBox(PrintCommandKind::Ellipse, 0, 0, 10, 10, red, 1, 0);
    for (PixelPoint p : {PixelPoint{0, 0}, {10, 0}, {10, 10}, {0, 0}})
        list.addPoint(PrintCommandKind::RegionVertex, p.x, p.y, 0);
    list.addPoint(PrintCommandKind::RegionClose, 0, 0, red, 0);
    list.addBox(PrintCommandKind::Rectangle, 1, 2, 3, 4, red, 7, 3);
    list.addPoint(PrintCommandKind::MoveTo, 5, 5, 0);
    list.addPoint(PrintCommandKind::LineTo, 9, 5, red, 6, 0);
    list.addArc(PrintCommandKind::ArcCw, 0, 0, 20, 20, {20, 10}, {10, 0}, red, 3);
    EXPECT_EQ(list.regions().size(), 5u);
    EXPECT_EQ(list.main().size(), 5u);
    // A clockwise arc is kept with its points exchanged.
    EXPECT_EQ(list.main().back().startX, 10);
    EXPECT_EQ(list.main().back().endX, 20);

    RecordingPage page;
    list.flush(page, PrintRenderMode::Gerber, RegionFillMode::Hatched);
    ASSERT_EQ(page.figures.size(), 5u);
    const auto &region = page.figures[0];
    EXPECT_EQ(region.op, "polygon");
    EXPECT_EQ(region.points.size(), 3u);  // the repeated first vertex is dropped
    EXPECT_EQ(region.style, BrushStyle::DiagonalCross);
    EXPECT_EQ(region.penWidth, 1);  // 0 draws as 1
    EXPECT_EQ(page.figures[1].op, "ellipse");
    EXPECT_EQ(page.figures[1].style, BrushStyle::Solid);
    const auto &rect = page.figures[2];
    EXPECT_EQ(rect.brush, colours::White);
    EXPECT_EQ(rect.style, BrushStyle::Hollow);
    EXPECT_EQ(rect.pen, red);
    EXPECT_EQ(rect.penWidth, 1);
    EXPECT_EQ(page.figures[3].points, (std::vector<PixelPoint>{{5, 5}, {9, 5}}));
    EXPECT_EQ(page.figures[3].penWidth, 6);
    const auto &arc = page.figures[4];
    EXPECT_EQ(arc.start, (RayPoint{10, 0}));
    EXPECT_EQ(arc.end, (RayPoint{20, 10}));
    EXPECT_TRUE(list.main().empty());
    EXPECT_TRUE(list.regions().empty());
}

TEST(PrintCommandListTest, DrillModeDrawsLinesBlackAndPolygonsSolid)
{
    PrintCommandList list;
    list.addPoint(PrintCommandKind::LineTo, 9, 5, colours::Red, 2);
    list.addArc(PrintCommandKind::ArcCcw, 0, 0, 4, 4, {4, 2}, {2, 0}, colours::Red, 2);
    for (PixelPoint p : {PixelPoint{0, 0}, {10, 0}, {10, 10}, {0, 10}})
        list.addPoint(PrintCommandKind::PolygonVertex, p.x, p.y, 0);
    list.addPoint(PrintCommandKind::PolygonClose, 0, 0, colours::Red, 0);
    RecordingPage page;
    list.flush(page, PrintRenderMode::Drill, RegionFillMode::Hatched);
    ASSERT_EQ(page.figures.size(), 3u);
    EXPECT_EQ(page.figures[0].pen, colours::Black);
    EXPECT_EQ(page.figures[1].pen, colours::Black);
    EXPECT_EQ(page.figures[2].style, BrushStyle::Solid);
    // An outline that does not end on its first point keeps every vertex.
    EXPECT_EQ(page.figures[2].points.size(), 4u);
}

TEST(PrintCommandListTest, LargeOutlinesAreDrawnWhole)
{
    PrintCommandList list;
    const int n = 20000;
    for (int i = 0; i < n; ++i)
        list.addPoint(PrintCommandKind::RegionVertex, i, i % 7, 0);
    list.addPoint(PrintCommandKind::RegionVertex, 0, 0, 0);
    list.addPoint(PrintCommandKind::RegionClose, 0, 0, 0);
    RecordingPage page;
    list.flush(page, PrintRenderMode::Gerber, RegionFillMode::Solid);
    ASSERT_EQ(page.figures.size(), 1u);
    EXPECT_EQ(page.figures[0].points.size(), static_cast<size_t>(n));
}

}  // namespace
}  // namespace korvane
