#include "print/DrillPrintJob.h"
#include "drill/ToolMarks.h"
#include "print/PrintTexts.h"
#include "print/RecordingPage.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvane {
namespace {

using namespace korvane::testing;

class CancelOn : public PrintProgress {
public:
    std::vector<std::string> labels;
    std::string cancelLabel;  // cancels once a label starting with it is shown
    void showProgress(const std::string &label) override { labels.push_back(label); }
    bool cancelRequested() override
    {
        return !cancelLabel.empty() && !labels.empty() && labels.back().rfind(cancelLabel, 0) == 0;
    }
    void hideProgress() override {}
};

struct DrillPrintFixture {
    TempDir dir;
    std::vector<DrillPrintRow> rows;
    DrillPrintSettings settings;
    DrillInFormat drillFormat;
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat gerberFormat;
    FakePrompter prompter;
    FakeStatus status;
    CancelOn progress;
    RecordingPrinter printer;

    DrillPrintFixture()
    {
        gerberFormat.dialect = GerberDialect::Rs274X;
        printer.size = {200.0, 287.0, 2000, 2870, 2000, 2870};  // 0.1 mm dots
    }
    void add(const std::string &name, const std::string &drill, const std::string &overlay = {})
    {
        DrillPrintRow row{dir.write(name, drill), {}};
        if (!overlay.empty())
            row.overlayPath = dir.write(name + ".gbr", overlay);
        rows.push_back(row);
    }
    DrillPrintOutcome print()
    {
        DrillPrintContext ctx{rows,         settings, drillFormat, table,    library,
                              gerberFormat, prompter, status,      progress, printer};
        return runDrillPrint(ctx);
    }
};

std::vector<std::string> textsOf(const RecordingPage &page)
{
    std::vector<std::string> out;
    for (const auto &f : page.only("text"))
        out.push_back(f.text);
    return out;
}

bool has(const std::vector<std::string> &v, const std::string &s)
{
    return std::find(v.begin(), v.end(), s) != v.end();
}

// T01 twice, T03 once, T40 once; board from (10, 10) to (60, 40) mm.
const char *ThreeTools = "M48\nT01C0.80\nT03C1.2\nT40C3.0\n%\nT01\nX10.0Y10.0\nX60.0Y40.0\nT03\nX30.0Y20.0\n"
                         "T40\nX40.0Y20.0\nM30\n";
// The same without T40, whose legend takes a sheet of its own.
const char *TwoTools = "M48\nT01C0.80\nT03C1.2\n%\nT01\nX10.0Y10.0\nX60.0Y40.0\nT03\nX30.0Y20.0\nM30\n";

TEST(DrillPrintJobTest, ChartAndLegendOfOneFile)
{
    DrillPrintFixture f;
    f.add("board.drl", ThreeTools);
    DrillPrintOutcome out = f.print();
    EXPECT_TRUE(out.confirmed);
    // Chart, the legend of T01 to T36, the legend of T37 to T72 (T40).
    EXPECT_EQ(f.printer.calls, (std::vector<std::string>{"choose", "job", "begin board.drl", "end", "begin board.drl",
                                                         "end", "begin board.drl", "end", "end job"}));
    EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{printmsg::DrillPrintFinished});
    EXPECT_EQ(f.progress.labels, std::vector<std::string>{"board.drl" + std::string(printmsg::ProgressPrinting)});
    ASSERT_EQ(f.printer.sheets.size(), 3u);

    // Chart: title, then two crosses (mark 1) and one square (mark 3), 1 mm =
    // 10 dots across at scale 1, outlines in black; T40 with the triangle of
    // mark 4 (three lines).
    const RecordingPage &chart = *f.printer.sheets[0];
    EXPECT_EQ(chart.figures[0].text, f.rows[0].drillPath + "    Scale:  1");
    EXPECT_EQ(chart.only("line").size(), 7u);
    auto squares = chart.only("rectangle");
    ASSERT_EQ(squares.size(), 1u);
    EXPECT_EQ(squares[0].points[1].x - squares[0].points[0].x, 10);
    EXPECT_EQ(squares[0].style, BrushStyle::Hollow);
    EXPECT_TRUE(chart.only("ellipse").empty());
    // The holes keep their distances: 20 mm across from T01's first hit to
    // T03, and T03 10 mm higher on the sheet.
    auto lines = chart.only("line");
    const PixelPoint firstCross{(lines[0].points[0].x + lines[0].points[1].x) / 2,
                                (lines[0].points[0].y + lines[0].points[1].y) / 2};
    const PixelPoint square{(squares[0].points[0].x + squares[0].points[1].x) / 2,
                            (squares[0].points[0].y + squares[0].points[1].y) / 2};
    EXPECT_EQ(square.x - firstCross.x, 200);
    EXPECT_EQ(square.y - firstCross.y, -100);

    // Legend: rows T01 and T03 with the diameters as written and the counts.
    ASSERT_EQ(out.legends.size(), 1u);
    EXPECT_EQ(out.legends[0].counts[1], 2);
    EXPECT_EQ(out.legends[0].counts[2], 0);
    EXPECT_EQ(out.legends[0].counts[3], 1);
    const auto texts = textsOf(*f.printer.sheets[1]);
    EXPECT_EQ(texts.front(), f.rows[0].drillPath);
    for (const char *t : {"T01", "0.80", "2", "T03", "1.2", "1"})
        EXPECT_TRUE(has(texts, t)) << t;
    EXPECT_FALSE(has(texts, "T02"));
    EXPECT_FALSE(has(texts, "T40"));
    EXPECT_EQ(out.legends[0].counts[40], 1);
    const auto more = textsOf(*f.printer.sheets[2]);
    for (const char *t : {"T40", "3.0", "1"})
        EXPECT_TRUE(has(more, t)) << t;
}

TEST(DrillPrintJobTest, LegendSheetGeometry)
{
    // 0.1 mm dots: every legend millimetre is ten dots.
    PageGeometry g{0.1, 0.1, 160, 247};
    DrillLegend legend;
    for (int t = 1; t <= ToolMarkCount; ++t) {
        legend.counts[static_cast<std::size_t>(t)] = t == 2 ? 0 : t * 10;
        legend.diameters[static_cast<std::size_t>(t)] = "d" + std::to_string(t);
    }
    RecordingPage page;
    drawDrillLegend(page, g, "/x/a.drl", legend);

    auto rects = page.only("rectangle");
    // Two tables, then the marks drawn as squares (3, 8 twice, 11, ...).
    ASSERT_GE(rects.size(), 2u);
    EXPECT_EQ(rects[0].points, (std::vector<PixelPoint>{{100, 200}, {800, 1340}}));
    EXPECT_EQ(rects[1].points, (std::vector<PixelPoint>{{900, 200}, {1600, 1340}}));
    int horizontal = 0, vertical = 0;
    for (const auto &l : page.only("line")) {
        const PixelPoint a = l.points[0], b = l.points[1];
        if (a.y == b.y && b.x - a.x == 700 && (a.y - 260) % 60 == 0 && a.y <= 1280)
            ++horizontal;
        if (a.x == b.x && a.y == 200 && b.y == 1340)
            ++vertical;
    }
    EXPECT_EQ(horizontal, 36);
    EXPECT_EQ(vertical, 8);

    auto at = [&](const std::string &text) {
        for (const auto &f : page.only("text"))
            if (f.text == text)
                return f.points[0];
        return PixelPoint{-1, -1};
    };
    EXPECT_EQ(at("/x/a.drl"), (PixelPoint{1, 1}));
    EXPECT_EQ(at(printmsg::LegendCount), (PixelPoint{670, 220}));
    EXPECT_EQ(at("T01"), (PixelPoint{240, 280}));
    EXPECT_EQ(at("d1"), (PixelPoint{370, 280}));
    EXPECT_EQ(at("10"), (PixelPoint{670, 280}));
    EXPECT_EQ(at("T18"), (PixelPoint{240, 280 + 17 * 60}));
    EXPECT_EQ(at("T19"), (PixelPoint{1040, 280}));
    EXPECT_EQ(at("360"), (PixelPoint{1470, 280 + 17 * 60}));
    EXPECT_EQ(at("T02"), (PixelPoint{-1, -1}));  // no hits, empty row
    std::size_t headers = 0;
    for (const auto &t : textsOf(page))
        headers += t == printmsg::LegendMark || t == printmsg::LegendType;
    EXPECT_EQ(headers, 4u);

    // Legend marks are 4 mm across: mark 2 (a circle) is absent, mark 7's
    // outer circle sits on row 7 of the left table.
    auto circles = page.only("ellipse");
    ASSERT_FALSE(circles.empty());
    EXPECT_EQ(circles[0].points, (std::vector<PixelPoint>{{130, 630}, {170, 670}}));
    EXPECT_EQ(circles[1].points, (std::vector<PixelPoint>{{140, 640}, {160, 660}}));
}

// Every mark keeps to its square, is drawn in outlines of a one-dot black
// pen (35 and 36 solid) and leaves the brush clear.
TEST(DrillPrintJobTest, TheThirtySixMarks)
{
    const int size = 40, h = 20, q = 10;
    const PixelPoint c{500, 500};
    for (int tool = 1; tool <= ToolMarkCount; ++tool) {
        SCOPED_TRACE(tool);
        RecordingPage page;
        drawToolMark(page, tool, c, size);
        ASSERT_FALSE(page.figures.empty());
        std::size_t parts = 0;
        for (const MarkPart &p : toolMark(tool).parts)
            parts += p.kind == MarkPart::Kind::Path ? p.points.size() - 1 : 1;
        EXPECT_EQ(page.figures.size(), parts);
        for (const auto &f : page.figures) {
            EXPECT_EQ(f.pen, colours::Black);
            EXPECT_EQ(f.penWidth, 1);
            EXPECT_EQ(f.style, tool >= 35 ? BrushStyle::Solid : BrushStyle::Hollow);
            for (PixelPoint p : f.points) {
                EXPECT_LE(std::abs(p.x - c.x), h);
                EXPECT_LE(std::abs(p.y - c.y), h);
            }
            if (f.op == "ellipse" || f.op == "rectangle") {
                const int r = (f.points[1].x - f.points[0].x) / 2;
                EXPECT_TRUE(r == h || r == q) << r;
            }
        }
        RecordingPage after;
        drawToolMark(after, tool, c, size);
        after.lineTo(0, 0);
        EXPECT_EQ(after.figures.back().style, BrushStyle::Hollow);
    }
    // Mark 4 points down the sheet, mark 31 up: the single apex of the
    // triangle is its lowest / highest point.
    auto apexBelow = [&](int tool) {
        RecordingPage page;
        drawToolMark(page, tool, c, size);
        int top = 1 << 30, bottom = -(1 << 30);
        for (const auto &f : page.only("line"))
            for (PixelPoint p : f.points)
                top = std::min(top, p.y), bottom = std::max(bottom, p.y);
        int atBottom = 0;
        for (const auto &f : page.only("line"))
            atBottom += f.points[1].y == bottom && f.points[1].x == c.x;
        return atBottom > 0;
    };
    EXPECT_TRUE(apexBelow(4));
    EXPECT_FALSE(apexBelow(31));
}

TEST(DrillPrintJobTest, ChartMarksFollowTheScale)
{
    DrillPrintFixture f;
    f.settings.scale.typedScale = 2;
    f.settings.title = false;
    f.add("a.drl", "T03C1.0\nX10.0Y10.0\nX60.0Y40.0\nM30\n");
    f.print();
    ASSERT_EQ(f.printer.sheets.size(), 2u);
    auto squares = f.printer.sheets[0]->only("rectangle");
    ASSERT_EQ(squares.size(), 2u);
    EXPECT_EQ(squares[0].points[1].x - squares[0].points[0].x, 20);    // 2 mm
    EXPECT_TRUE(f.printer.sheets[0]->only("text").empty());            // no title
    EXPECT_EQ(squares[1].points[0].x - squares[0].points[0].x, 1000);  // 50 mm at scale 2
    // The legend keeps its 4 mm marks and its full path.
    auto legendSquares = f.printer.sheets[1]->only("rectangle");
    EXPECT_EQ(legendSquares.back().points[1].x - legendSquares.back().points[0].x, 40);
    EXPECT_EQ(textsOf(*f.printer.sheets[1]).front(), f.rows[0].drillPath);
}

TEST(DrillPrintJobTest, EachFileStartsWithoutDiameters)
{
    DrillPrintFixture f;
    f.add("a.drl", "T01C0.8\nX10.0Y10.0\nX20.0Y20.0\nM30\n");
    f.add("b.drl", "T01\nX10.0Y10.0\nX20.0Y20.0\nT02C0.5\nX15.0Y15.0\nM30\n");
    DrillPrintOutcome out = f.print();
    ASSERT_EQ(out.legends.size(), 2u);
    EXPECT_EQ(out.legends[0].diameters[1], "0.8");
    EXPECT_EQ(out.legends[1].diameters[1], "");
    EXPECT_EQ(out.legends[1].diameters[2], "0.5");
    EXPECT_EQ(out.legends[1].counts[1], 2);
    EXPECT_EQ(f.prompter.texts(), (std::vector<std::string>(2, printmsg::DrillPrintFinished)));
}

TEST(DrillPrintJobTest, CancelledChartStillGetsItsLegend)
{
    DrillPrintFixture f;
    f.add("a.drl", TwoTools);
    f.add("b.drl", TwoTools);
    f.progress.cancelLabel = "a.drl";
    DrillPrintOutcome out = f.print();
    EXPECT_EQ(out.chartsAbandoned, 1);
    EXPECT_EQ(out.chartsPrinted, 1);
    EXPECT_EQ(out.legendsPrinted, 2);
    EXPECT_EQ(f.printer.calls, (std::vector<std::string>{"choose", "job", "begin a.drl", "end", "begin b.drl", "end",
                                                         "begin b.drl", "end", "end job"}));
    EXPECT_EQ(out.legends[0].counts[1], 0);
    EXPECT_EQ(f.prompter.texts(), (std::vector<std::string>(2, printmsg::DrillPrintFinished)));
}

TEST(DrillPrintJobTest, OverlaysUnderTheChart)
{
    const std::string pads = "%FSLAX33Y33*%\n%MOMM*%\n%ADD10C,1.5*%\nD10*\nX10000Y10000D03*\nX60000Y40000D03*\n"
                             "G36*\nX20000Y20000D02*\nX30000Y20000D01*\nX30000Y30000D01*\nG37*\nM02*\n";
    {
        DrillPrintFixture f;
        f.add("a.drl", TwoTools);
        f.add("b.drl", TwoTools, pads);
        DrillPrintOutcome out = f.print();
        EXPECT_EQ(out.chartsPrinted, 2);
        EXPECT_EQ(f.printer.sheets.size(), 4u);
        EXPECT_EQ(f.prompter.texts(), (std::vector<std::string>(2, printmsg::DrillPrintFinished)));
        const RecordingPage &chart = *f.printer.sheets[2];
        // The title white on black, the pads in light grey, then the marks
        // in black, readable on the pads.
        EXPECT_EQ(chart.figures[0].font, colours::White);
        auto circles = chart.only("ellipse");
        ASSERT_GE(circles.size(), 2u);
        EXPECT_EQ(circles[0].pen, OverlayTint);
        EXPECT_EQ(circles[0].brush, OverlayTint);
        EXPECT_EQ(circles[0].points[1].x - circles[0].points[0].x, 15);
        EXPECT_EQ(circles[0].style, BrushStyle::Solid);  // flashed at once, filled
        auto regions = chart.only("polygon");
        ASSERT_EQ(regions.size(), 1u);
        EXPECT_EQ(regions[0].points.size(), 3u);
        EXPECT_EQ(regions[0].brush, OverlayTint);
        EXPECT_EQ(regions[0].style, BrushStyle::Solid);
        EXPECT_EQ(chart.only("line").size(), 4u);
        for (const auto &mark : chart.only("line"))
            EXPECT_EQ(mark.pen, colours::Black);
        // The legend says what the grey is; a chart without overlay says nothing.
        auto legendSays = [](const RecordingPage &legend) {
            for (const auto &t : legend.only("text"))
                if (t.text == std::string(printmsg::LegendOverlay) + "b.drl.gbr")
                    return true;
            return false;
        };
        EXPECT_TRUE(legendSays(*f.printer.sheets[3]));
        EXPECT_FALSE(legendSays(*f.printer.sheets[1]));
        // The pad and the mark of the first hole share their centre.
        auto lines = chart.only("line");
        EXPECT_EQ((circles[0].points[0].x + circles[0].points[1].x) / 2,
                  (lines[0].points[0].x + lines[0].points[1].x) / 2);
    }
    {
        DrillPrintFixture f;
        f.add("a.drl", TwoTools, "X10000Y10000D03*\nM02*\n");  // no parameters
        f.add("b.drl", TwoTools);
        f.print();
        EXPECT_TRUE(f.printer.sheets.empty());
        EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{printmsg::NotRs274X});
    }
}

TEST(DrillPrintJobTest, CancelledPrintDialogPrintsNothing)
{
    DrillPrintFixture f;
    f.add("a.drl", ThreeTools);
    f.printer.confirm = false;
    EXPECT_FALSE(f.print().confirmed);
    EXPECT_EQ(f.printer.calls, std::vector<std::string>{"choose"});
    EXPECT_TRUE(f.prompter.shown.empty());
}

}  // namespace
}  // namespace korvane
