#include "GerberLoadSupport.h"
#include "gerber/GerberTexts.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::GerberLoadFixture;

namespace {

const char *Header = "%FSLAX33Y33*%%MOMM*%\n";

}  // namespace

TEST(GerberFlashes, RoundFlashClearPolarityAndDonutBodies)
{
    GerberLoadFixture f;
    f.loadX(std::string(Header) + "%ADD10C,0.5*%%ADD11C,1X0.4*%\nD10*X0Y0D03*\n%LPC*%\nX1000Y0D03*D11*X2000Y0D03*M02*");
    auto ellipses = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(ellipses.size(), 4u);
    EXPECT_DOUBLE_EQ(ellipses[0].x1, -0.25);
    EXPECT_DOUBLE_EQ(ellipses[0].x2, 0.25);
    EXPECT_DOUBLE_EQ(ellipses[0].y1, -0.25);
    EXPECT_EQ(ellipses[0].role, RoleFlash);
    EXPECT_EQ(ellipses[0].colourLayer, 1);
    EXPECT_EQ(ellipses[0].code, 10);
    EXPECT_EQ(ellipses[1].colourLayer, 0);  // clear polarity
    EXPECT_EQ(ellipses[2].colourLayer, 1);  // a donut body keeps the layer colour
    EXPECT_EQ(ellipses[3].colourLayer, 0);  // and its hole is background
    EXPECT_EQ(ellipses[3].role, RoleAuxiliary);
    EXPECT_DOUBLE_EQ(ellipses[3].x2 - ellipses[3].x1, 0.4);
}

TEST(GerberFlashes, FixedMarksThermalsAndOperationCodeSpellings)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "トンボ", "**********");
    f.table.SetRow(11, "サーマル×", "2-1");
    f.table.SetRow(12, "楕円形", "2-1");
    f.load({"D10*X0Y0D3*D11*X1000D003*D12*X5000Y5000D03*"});
    auto items = f.items();
    // Target: two circles and two lines of 0.25 mm.
    auto ellipses = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(ellipses.size(), 2u);
    EXPECT_DOUBLE_EQ(ellipses[0].x2 - ellipses[0].x1, 3.5);
    EXPECT_EQ(ellipses[0].fill, 2);
    // Thermal: an underlay ring and two background gap lines 0.5 wide.
    auto ring = f.itemsOfKind(ItemKind::UnderEllipse);
    ASSERT_EQ(ring.size(), 1u);
    EXPECT_DOUBLE_EQ(ring[0].width, 0.5);
    auto gaps = f.itemsOfKind(ItemKind::UnderLineTo);
    ASSERT_EQ(gaps.size(), 2u);
    EXPECT_EQ(gaps[0].colourLayer, 0);
    EXPECT_DOUBLE_EQ(gaps[0].width, 0.5);
    // f = 2/4 + 1.5 x 0.5 = 1.25, pulled in by 0.1 for a ring under 2.5 mm.
    EXPECT_DOUBLE_EQ(gaps[0].x1, 1.0 + 1.15);
    // Oblong 2 x 1: a stroke of width 1 from x - 0.5 to x + 0.5.
    auto lines = f.itemsOfKind(ItemKind::LineTo);
    ASSERT_FALSE(lines.empty());
    EXPECT_DOUBLE_EQ(lines.back().x1, 5.5);
    EXPECT_DOUBLE_EQ(lines.back().width, 1.0);
    EXPECT_EQ(lines.back().role, RoleFlash);
}

TEST(GerberDraws, SquareApertureRectanglesAndOtherStrokes)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "正方形", "0.5");
    f.load({"D10*X0Y0D02*X10000Y0D01*X20000Y5000D01*"});
    auto rects = f.itemsOfKind(ItemKind::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_DOUBLE_EQ(rects[0].x1, -0.25);
    EXPECT_DOUBLE_EQ(rects[0].x2, 10.25);
    EXPECT_DOUBLE_EQ(rects[0].y1, -0.25);
    EXPECT_DOUBLE_EQ(rects[0].y2, 0.25);
    EXPECT_EQ(rects[0].role, RoleDraw);
    auto lines = f.itemsOfKind(ItemKind::LineTo);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].width, 0.5);
    // The stroke starts where the pen stands: the MoveTo after the rectangle.
    const auto &main = f.doc.displayList.main();
    const DisplayItem &beforeLine = main[main.size() - 2];
    EXPECT_EQ(beforeLine.kind, static_cast<int>(ItemKind::MoveTo));
    EXPECT_DOUBLE_EQ(beforeLine.x1, 10.0);
}

TEST(GerberDraws, AStrokeAfterAFlashOrARegionStartsFromItsOwnStartPoint)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "丸", "0.2");
    f.load({"D10*X1000Y1000D03*X2000Y1000D01*G36*X5000Y5000D02*X6000Y5000D01*X6000Y6000D01*G37*X7000Y7000D01*"});
    const auto &main = f.doc.displayList.main();
    // Every LineTo follows a MoveTo to the stroke's start.
    for (size_t i = 0; i < main.size(); ++i) {
        if (main[i].kind != static_cast<int>(ItemKind::LineTo))
            continue;
        ASSERT_GT(i, 0u);
        const DisplayItem &move = main[i - 1];
        EXPECT_EQ(move.kind, static_cast<int>(ItemKind::MoveTo)) << i;
    }
    auto lines = f.itemsOfKind(ItemKind::LineTo);
    ASSERT_EQ(lines.size(), 2u);
}

TEST(GerberRegions, LinearEdgesAreVerticesAndG37ClosesTheRegion)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "正方形", "0.5");
    f.load({"D10*G36*X0Y0D02*X0Y10000D01*X10000Y10000D01*X0Y0D01*G37*"});
    EXPECT_EQ(f.itemsOfKind(ItemKind::PolygonVertex).size(), 4u);
    EXPECT_EQ(f.itemsOfKind(ItemKind::PolygonClose).size(), 1u);
    EXPECT_TRUE(f.itemsOfKind(ItemKind::Rectangle).empty());
}

// A region is drawn where the file puts it, after the flash it clears, dark
// or clear.
TEST(GerberRegions, RegionsKeepTheirPlaceInTheMainSequence)
{
    GerberLoadFixture f;
    f.loadX("%FSLAX24Y24*%%MOMM*%%ADD10C,5*%\nD10*X10000Y10000D03*\n"
            "%LPC*%G36*X0Y0D02*X20000Y0D01*X20000Y20000D01*X0Y0D01*G37*\n"
            "%LPD*%G36*X30000Y0D02*X40000Y0D01*X40000Y10000D01*X30000Y0D01*G37*M02*\n");
    const auto &main = f.doc.displayList.main();
    ASSERT_EQ(main.size(), 1u + 5u + 5u);  // the flash, the clear region, the dark one
    EXPECT_EQ(main[0].kind, static_cast<int>(ItemKind::Ellipse));
    for (size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(main[i].kind, static_cast<int>(ItemKind::PolygonVertex)) << i;
        EXPECT_EQ(main[i].colourLayer, 0) << i;
    }
    EXPECT_EQ(main[5].kind, static_cast<int>(ItemKind::PolygonClose));
    EXPECT_EQ(main[5].colourLayer, 0);
    EXPECT_EQ(main[10].kind, static_cast<int>(ItemKind::PolygonClose));
    EXPECT_EQ(main[10].colourLayer, 1);
    EXPECT_TRUE(f.doc.displayList.underlay().empty());
}

// A D02 inside G36/G37 starts a new contour; each contour is its own
// polygon, so no edge joins the end of one to the start of the next.
TEST(GerberRegions, EveryContourOfARegionIsClosedOnItsOwn)
{
    GerberLoadFixture f;
    f.load({"G36*X0Y0D02*X10000Y0D01*X10000Y10000D01*X0Y0D01*"
            "X20000Y0D02*X30000Y0D01*X30000Y10000D01*X20000Y0D01*G37*"});
    std::vector<int> kinds;
    for (const auto &item : f.doc.displayList.main())
        kinds.push_back(item.kind);
    const int v = static_cast<int>(ItemKind::PolygonVertex), c = static_cast<int>(ItemKind::PolygonClose);
    EXPECT_EQ(kinds, (std::vector<int>{v, v, v, v, c, v, v, v, v, c}));
}

TEST(GerberRegions, ArcsBecomeVerticesAlongTheTrueCurve)
{
    // A full circle of radius 10 inside a region: not its chord, but points
    // on the circle, close enough that the outline strays under 0.01 mm.
    GerberLoadFixture f;
    f.table.SetRow(10, "丸", "0.1");
    f.load({"D10*G36*X10000Y10000D02*G75*G03*X10000Y10000I10000J0D01*G37*"});
    auto v = f.itemsOfKind(ItemKind::PolygonVertex);
    ASSERT_GT(v.size(), 50u);
    double worst = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        EXPECT_NEAR(std::hypot(v[i].x1 - 20.0, v[i].y1 + 10.0), 10.0, 1e-9);
        if (i > 0) {
            // The chord between neighbours stays within 0.01 mm of the arc.
            double mx = (v[i].x1 + v[i - 1].x1) / 2 - 20.0, my = (v[i].y1 + v[i - 1].y1) / 2 + 10.0;
            worst = std::max(worst, 10.0 - std::hypot(mx, my));
        }
    }
    EXPECT_LT(worst, 0.01);
    // Counter-clockwise on the board from (10, 10) around (20, 10): downwards
    // first, which is a larger stored y.
    EXPECT_GT(v[1].y1, -10.0);
}

TEST(GerberArcs, FullCircleArcsOutsideRegionsAndQuarterModeFromG74)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "丸", "0.2");
    f.load({"D10*X0Y0D02*G02*X0Y0I1000J0D01*G74*G03*X1000Y1000I1000J0D01*X1000Y1000I1000J0D01*"});
    auto arcs = f.itemsOfKind(ItemKind::ArcCw);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_DOUBLE_EQ(arcs[0].x1, 0.0);
    EXPECT_DOUBLE_EQ(arcs[0].x2, 2.0);
    EXPECT_DOUBLE_EQ(arcs[0].y1, -1.0);
    EXPECT_DOUBLE_EQ(arcs[0].y2, 1.0);
    EXPECT_DOUBLE_EQ(arcs[0].width, 0.2);
    EXPECT_EQ(f.format.arcMode, ArcMode::QuarterCircle);
    // Quarter mode, moving up and right counter-clockwise: centre (x0 + I, y0) on the board.
    auto ccw = f.itemsOfKind(ItemKind::ArcCcw);
    ASSERT_EQ(ccw.size(), 1u);  // the arc that ends where it starts sweeps nothing
    EXPECT_DOUBLE_EQ((ccw[0].x1 + ccw[0].x2) / 2, 1.0);
    EXPECT_DOUBLE_EQ((ccw[0].y1 + ccw[0].y2) / 2, 0.0);
}

TEST(GerberArcs, ACommentDoesNotTurnArcsIntoLines)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "丸", "0.2");
    f.load({"D10*X0Y0D02*G02*G04 an arc follows*X2000Y0I1000J0D01*"});
    EXPECT_EQ(f.itemsOfKind(ItemKind::ArcCw).size(), 1u);
    EXPECT_TRUE(f.itemsOfKind(ItemKind::LineTo).empty());
}

TEST(GerberApertureSelection, QuestionsAndStoppingOneFile)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "丸", "0.5");
    f.table.SetRow(11, "長方形", "2");
    f.prompter.answers = {Answer::Yes, Answer::No};
    auto outcome =
        f.load({"D10*X1000Y1000D03*", "D011*X1000Y1000D03*D015*X2000Y1000D03*X3000D03*", "D10*X5000Y5000D03*"});
    // The bad size names the D-code by its number, the missing row as written.
    ASSERT_EQ(f.prompter.texts(),
              (std::vector<std::string>{"アパーチャ(D11)のセットが誤っています。処理を続行しますか？",
                                        "アパーチャ(D015)がセットされていません。処理を続行しますか？"}));
    EXPECT_EQ(outcome.layersStopped, std::vector<int>{2});
    EXPECT_EQ(outcome.layersReadToEnd, (std::vector<int>{1, 3}));
    // File 1's flash, file 2's zero-size rectangle, file 3's flash.
    EXPECT_EQ(f.itemsOfKind(ItemKind::Ellipse).size(), 2u);
    EXPECT_EQ(f.itemsOfKind(ItemKind::Rectangle).size(), 1u);
    EXPECT_EQ(f.doc.gerberLoaded, 1);
}

TEST(GerberApertureSelection, DCodesWithoutARowAreAskedAboutNeverIndexed)
{
    for (const char *digits : {"5", "1500", "0", "99999999999999999999"}) {
        GerberLoadFixture f;
        f.prompter.answers = {Answer::No};
        f.load({std::string("D") + digits + "*X1000Y1000D03*"});
        EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{gerbermsg::apertureNotSet(digits)}) << digits;
        EXPECT_EQ(f.doc.displayList.size(), 0u);
    }
}

TEST(GerberExtents, ComeFromTheCoordinatesReadAndNeverShrink)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "丸", "0.5");
    f.doc.extentX = 50;
    auto outcome = f.load({"D10*X2000Y3000D03*X12000Y1000D03*X0Y0D02*"});
    EXPECT_DOUBLE_EQ(f.doc.minX, 2.0);
    EXPECT_DOUBLE_EQ(f.doc.maxX, 12.0);
    EXPECT_DOUBLE_EQ(f.doc.minY, 1.0);
    EXPECT_DOUBLE_EQ(f.doc.maxY, 3.0);
    EXPECT_DOUBLE_EQ(f.doc.extentX, 50.0);
    EXPECT_DOUBLE_EQ(f.doc.extentY, 2.0);
    EXPECT_EQ(f.doc.hasData, 1);
}
