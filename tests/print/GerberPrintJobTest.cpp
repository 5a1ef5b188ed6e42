#include "print/GerberPrintJob.h"
#include "print/PrintTexts.h"
#include "print/RecordingPage.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

using namespace korvane::testing;

// Cancels the file whose progress label starts with `cancelLabel` after a
// number of polls.
class ScriptedProgress : public PrintProgress {
public:
    std::vector<std::string> labels;
    std::string cancelLabel;
    int cancelAfter = 0;
    int hides = 0;

    void showProgress(const std::string &label) override
    {
        labels.push_back(label);
        polls_ = 0;
        cancelled_ = false;
    }
    bool cancelRequested() override
    {
        if (!cancelLabel.empty() && labels.back().rfind(cancelLabel, 0) == 0 && ++polls_ > cancelAfter)
            cancelled_ = true;
        return cancelled_;
    }
    void hideProgress() override { ++hides; }

private:
    int polls_ = 0;
    bool cancelled_ = false;
};

const char *Header = "%FSLAX33Y33*%\n%MOMM*%\n%ADD10C,1.0*%\n%ADD11R,2.0X1.0*%\n";

// A board of 100 x 50 mm from (5, 5): an outline stroke and a pad at (x, y).
// (Coordinates of zero never widen the extents, so the board keeps off them.)
std::string board(int padX, int padY, const std::string &extra = "")
{
    return std::string(Header) + "D10*\nX5000Y5000D02*\nX105000Y5000D01*\nX105000Y55000D01*\n" + "X" +
           std::to_string(padX * 1000) + "Y" + std::to_string(padY * 1000) + "D03*\n" + extra + "M02*\n";
}

struct PrintJobFixture {
    TempDir dir;
    GerberPrintGrid grid;
    GerberPrintSettings settings;
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat format;
    FakePrompter prompter;
    FakeStatus status;
    ScriptedProgress progress;
    RecordingPrinter printer;

    PrintJobFixture()
    {
        format.dialect = GerberDialect::Rs274X;
        // 0.1 mm dots keep the expected numbers readable.
        printer.size = {200.0, 287.0, 2000, 2870, 2000, 2870};
    }

    void put(int row, const std::string &name, const std::string &content)
    {
        grid.file(row) = dir.write(name, content);
        grid.cell(row, gridcol::File) = name;
    }

    GerberPrintOutcome print()
    {
        GerberPrintContext ctx{grid, settings, table, library, format, prompter, status, progress, printer};
        return runGerberPrint(ctx);
    }

    // The deferred round pads of a sheet: ellipses of pen width 1.
    static std::vector<PageFigure> pads(const RecordingPage &page)
    {
        std::vector<PageFigure> out;
        for (const auto &f : page.only("ellipse"))
            if (f.penWidth == 1)
                out.push_back(f);
        return out;
    }
};

TEST(GerberPrintJobTest, OneSheetAtTrueSize)
{
    PrintJobFixture f;
    f.put(1, "top.gbr", board(50, 25, "D11*\nX20000Y10000D03*\n"));
    GerberPrintOutcome out = f.print();
    EXPECT_TRUE(out.confirmed);
    EXPECT_EQ(out.sheetsPrinted, 1);
    EXPECT_FLOAT_EQ(out.placement.scale, 1.0f);
    EXPECT_FALSE(out.placement.landscape);
    EXPECT_EQ(f.printer.calls, (std::vector<std::string>{"choose", "job", "begin top.gbr", "end", "end job"}));
    ASSERT_EQ(f.printer.sheets.size(), 1u);
    const RecordingPage &page = *f.printer.sheets[0];

    // Title first, white on the black brush.
    ASSERT_FALSE(page.figures.empty());
    EXPECT_EQ(page.figures[0].op, "text");
    EXPECT_EQ(page.figures[0].text, f.grid.file(1) + "    Scale:  1");
    EXPECT_EQ(page.figures[0].font, colours::White);
    EXPECT_EQ(page.figures[0].brush, colours::Black);

    // A 1.0 mm round pad is 10 dots across; the 1 mm stroke is 10 dots wide.
    auto pads = PrintJobFixture::pads(page);
    ASSERT_EQ(pads.size(), 1u);
    EXPECT_EQ(pads[0].points[1].x - pads[0].points[0].x, 10);
    EXPECT_EQ(pads[0].points[1].y - pads[0].points[0].y, 10);
    auto lines = page.only("line");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].penWidth, 10);
    EXPECT_EQ(lines[0].points[1].x - lines[0].points[0].x, 1000);  // 100 mm
    EXPECT_EQ(lines[1].points[1].y - lines[1].points[0].y, -500);  // 50 mm up the page

    // The 2 x 1 mm rectangle: drawn at once filled, and again as a deferred
    // outline over the drawing.
    auto rects = page.only("rectangle");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].style, BrushStyle::Solid);
    EXPECT_EQ(rects[1].style, BrushStyle::Hollow);
    EXPECT_EQ(rects[0].points, rects[1].points);
    EXPECT_EQ(rects[0].points[1].x - rects[0].points[0].x, 20);
    EXPECT_EQ(rects[0].points[1].y - rects[0].points[0].y, 10);

    // The drawing is centred in the band 10 mm in from the corner.
    const int left = lines[0].points[0].x, bottom = lines[0].points[0].y;
    EXPECT_EQ(left, 100 + (1850 - 1000) / 2);
    EXPECT_NEAR(bottom - 500, 100 + (2720 - 500) / 2.0, 1);

    EXPECT_EQ(f.prompter.texts().back(), printmsg::GerberPrintFinished);
    EXPECT_EQ(f.status.statusHistory.front(), "top.gbr" + std::string(printmsg::StatusPrinting));
    EXPECT_TRUE(f.status.status.empty());
    EXPECT_EQ(f.progress.labels, (std::vector<std::string>{"top.gbrを印刷中です"}));
}

TEST(GerberPrintJobTest, AWideDrawingTurnsThePageOncePerJob)
{
    PrintJobFixture f;
    f.put(1, "a.gbr", board(10, 10));
    f.put(2, "b.gbr", board(20, 20));
    f.settings.scale.typedScale = 2;  // 200 x 100 mm fits only across a turned A4
    GerberPrintOutcome out = f.print();
    EXPECT_TRUE(out.placement.landscape);
    EXPECT_FLOAT_EQ(out.placement.scale, 2.0f);
    EXPECT_EQ(f.printer.calls, (std::vector<std::string>{"choose", "job", "turn", "begin a.gbr", "end", "begin b.gbr",
                                                         "end", "end job"}));
}

TEST(GerberPrintJobTest, RowsAndCompositionStepsInMono)
{
    PrintJobFixture f;
    f.put(1, "a.gbr", board(10, 10));
    f.put(2, "b.gbr", board(20, 20));
    f.put(3, "c.gbr", board(30, 30));
    f.grid.cell(2, gridcol::Standalone) = gridval::NotRequired;
    // Row 1: + row 2 (which has no sheet of its own), - row 3, then a step
    // without its row number ends the sequence.
    f.grid.cell(1, gridcol::sign(0)) = gridval::Plus;
    f.grid.cell(1, gridcol::row(0)) = " 2";
    f.grid.cell(1, gridcol::sign(1)) = gridval::Minus;
    f.grid.cell(1, gridcol::row(1)) = " 3";
    f.grid.cell(1, gridcol::sign(2)) = gridval::Plus;
    f.grid.cell(1, gridcol::sign(3)) = gridval::Plus;
    f.grid.cell(1, gridcol::row(3)) = " 1";
    GerberPrintOutcome out = f.print();
    EXPECT_EQ(out.sheetsPrinted, 2);
    EXPECT_EQ(f.printer.calls,
              (std::vector<std::string>{"choose", "job", "begin a.gbr", "end", "begin c.gbr", "end", "end job"}));
    auto pads = PrintJobFixture::pads(*f.printer.sheets[0]);
    ASSERT_EQ(pads.size(), 3u);
    EXPECT_EQ(pads[0].brush, colours::Black);  // own file
    EXPECT_EQ(pads[1].brush, colours::Black);  // "+" in mono
    EXPECT_EQ(pads[2].brush, colours::White);  // "-"
    EXPECT_EQ(f.status.statusHistory[1], "b.gbr" + std::string(printmsg::StatusComposing));
    EXPECT_EQ(f.progress.labels[2], "c.gbrを合成中です");
    EXPECT_EQ(PrintJobFixture::pads(*f.printer.sheets[1]).size(), 1u);
}

TEST(GerberPrintJobTest, NegativeSheetHasItsBackgroundAndWhiteDarkCommands)
{
    PrintJobFixture f;
    f.put(1, "a.gbr", board(10, 10, "D11*\nX40000Y40000D03*\n"));
    f.put(2, "b.gbr", board(20, 20, "D11*\nX60000Y40000D03*\n"));
    f.grid.cell(1, gridcol::Polarity) = gridval::Negative;
    f.grid.cell(1, gridcol::sign(0)) = gridval::Minus;
    f.grid.cell(1, gridcol::row(0)) = " 2";
    f.grid.cell(2, gridcol::Standalone) = gridval::NotRequired;
    f.print();
    ASSERT_EQ(f.printer.sheets.size(), 1u);
    const RecordingPage &page = *f.printer.sheets[0];
    // The band is filled black before anything else, 10 mm wider all round.
    const PageFigure &band = page.figures[0];
    EXPECT_EQ(band.op, "rectangle");
    EXPECT_EQ(band.brush, colours::Black);
    EXPECT_EQ(std::abs(band.points[1].x - band.points[0].x), 1200);
    EXPECT_EQ(std::abs(band.points[1].y - band.points[0].y), 700);
    // Title black on white.
    EXPECT_EQ(page.figures[1].op, "text");
    EXPECT_EQ(page.figures[1].font, colours::Black);
    EXPECT_EQ(page.figures[1].brush, colours::White);
    // Dark commands of both files white; the "-" file's shapes drawn at
    // once black.
    for (const auto &pad : PrintJobFixture::pads(page))
        EXPECT_EQ(pad.brush, colours::White);
    std::vector<Colour> atOnce;
    for (const auto &r : page.only("rectangle"))
        if (r.style == BrushStyle::Solid && &r != &page.figures[0])
            atOnce.push_back(r.brush);
    ASSERT_EQ(atOnce.size(), 3u);  // background, a's pad, b's pad
    EXPECT_EQ(atOnce[1], colours::White);
    EXPECT_EQ(atOnce[2], colours::Black);
}

TEST(GerberPrintJobTest, ColourModeUsesTheRowColours)
{
    PrintJobFixture f;
    f.settings.mode = PrintMode::Color;
    f.settings.rowColours[0] = colours::Red;
    f.settings.rowColours[1] = colours::Blue;
    f.put(1, "a.gbr", board(10, 10));
    f.put(2, "b.gbr", board(20, 20));
    f.grid.cell(1, gridcol::sign(0)) = gridval::Plus;
    f.grid.cell(1, gridcol::row(0)) = " 2";
    f.grid.cell(2, gridcol::Standalone) = gridval::NotRequired;
    f.print();
    auto pads = PrintJobFixture::pads(*f.printer.sheets[0]);
    ASSERT_EQ(pads.size(), 2u);
    EXPECT_EQ(pads[0].brush, colours::Red);
    EXPECT_EQ(pads[1].brush, colours::Blue);
    EXPECT_EQ(f.printer.sheets[0]->figures[0].brush, colours::Red);  // title background
}

TEST(GerberPrintJobTest, MirroredSheetTurnsOverAndReversesArcs)
{
    // A clockwise half circle from (0, 25) over the top to (100, 25).
    const std::string arc =
        std::string(Header) +
        "D10*\nX0Y0D02*\nX100000Y50000D01*\nG75*\nX0Y25000D02*\nG02X100000Y25000I50000J0D01*\nG01*\n"
        "X50000Y50000D03*\nM02*\n";
    PrintJobFixture f;
    f.put(1, "n.gbr", arc);
    f.put(2, "m.gbr", arc);
    f.grid.cell(2, gridcol::Mirror) = gridval::Required;
    f.print();
    ASSERT_EQ(f.printer.sheets.size(), 2u);
    auto arcOf = [](const RecordingPage &p) { return p.only("arc").at(0); };
    auto padOf = [](const RecordingPage &p) { return PrintJobFixture::pads(p).at(0); };
    const PageFigure normal = arcOf(*f.printer.sheets[0]), mirrored = arcOf(*f.printer.sheets[1]);
    // The page sweeps counter-clockwise: on the normal sheet from the end
    // point back to the start, on the mirrored one from start to end.
    EXPECT_GT(normal.start.x, normal.end.x);
    EXPECT_LT(mirrored.start.x, mirrored.end.x);
    // The pad at the top of the board is above the arc's ends on the normal
    // sheet and below them when mirrored.
    EXPECT_LT(padOf(*f.printer.sheets[0]).points[0].y, normal.start.y);
    EXPECT_GT(padOf(*f.printer.sheets[1]).points[0].y, mirrored.start.y);
}

TEST(GerberPrintJobTest, QuarterCircleArcsFindTheirCentre)
{
    // G74: from (25, 5) counter-clockwise to (15, 15) around (15, 5), and
    // clockwise back along the same quarter.
    const std::string arcs = std::string(Header) + "D10*\nX5000Y5000D02*\nX105000Y55000D01*\nG74*\nX25000Y5000D02*\n"
                                                   "G03X15000Y15000I10000J0D01*\nG02X25000Y5000I0J10000D01*\nM02*\n";
    PrintJobFixture f;
    f.put(1, "q.gbr", arcs);
    f.print();
    ASSERT_EQ(f.printer.sheets.size(), 1u);
    auto found = f.printer.sheets[0]->only("arc");
    ASSERT_EQ(found.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        const auto &a = found[k];
        EXPECT_EQ(a.points[1].x - a.points[0].x, 200);
        EXPECT_EQ(a.points[1].y - a.points[0].y, 200);
    }
    const int cx0 = (found[0].points[0].x + found[0].points[1].x) / 2,
              cy0 = (found[0].points[0].y + found[0].points[1].y) / 2;
    const int cx1 = (found[1].points[0].x + found[1].points[1].x) / 2,
              cy1 = (found[1].points[0].y + found[1].points[1].y) / 2;
    EXPECT_EQ(cx1, cx0);
    EXPECT_EQ(cy1, cy0);
    // The first sweeps counter-clockwise from (25, 5), 10 mm right of the centre.
    EXPECT_NEAR(found[0].start.x - cx0, 100, 1);
    EXPECT_NEAR(found[0].start.y, cy0, 1);
    EXPECT_NEAR(found[0].end.y - cy0, -100, 1);
}

TEST(GerberPrintJobTest, RegionArcsFollowTheCurveOnBothSheets)
{
    // A disc of radius 40 mm (400 dots) as a region with one full-circle arc,
    // and a small half disc of radius 3 mm.
    const std::string region = std::string(Header) +
                               "G75*\nG36*\nX0Y40000D02*\nG02X0Y40000I0J-40000D01*\nG37*\n"
                               "G36*\nX100000Y40000D02*\nG03X94000Y40000I-3000J0D01*\nG01X100000Y40000D01*\nG37*\n"
                               "X0Y-40000D02*\nX100000Y40000D02*\nM02*\n";
    PrintJobFixture f;
    f.put(1, "n.gbr", region);
    f.put(2, "m.gbr", region);
    f.grid.cell(2, gridcol::Mirror) = gridval::Required;
    f.print();
    ASSERT_EQ(f.printer.sheets.size(), 2u);
    for (int s = 0; s < 2; ++s) {
        SCOPED_TRACE(s);
        auto polygons = f.printer.sheets[static_cast<size_t>(s)]->only("polygon");
        ASSERT_EQ(polygons.size(), 2u);
        EXPECT_TRUE(f.printer.sheets[static_cast<size_t>(s)]->only("pie").empty());
        const auto &disc = polygons[0].points;
        ASSERT_GT(disc.size(), 50u);
        double cx = 0, cy = 0;
        for (PixelPoint p : disc)
            cx += p.x, cy += p.y;
        cx /= double(disc.size());
        cy /= double(disc.size());
        for (PixelPoint p : disc)
            EXPECT_NEAR(std::hypot(p.x - cx, p.y - cy), 400, 1.5);
        EXPECT_GE(polygons[1].points.size(), 10u);
    }
    EXPECT_EQ(f.printer.sheets[0]->only("polygon")[0].points.size(),
              f.printer.sheets[1]->only("polygon")[0].points.size());
}

TEST(GerberPrintJobTest, CancelAbandonsOnlyThatSheet)
{
    PrintJobFixture f;
    f.put(1, "a.gbr", board(10, 10));
    f.put(2, "b.gbr", board(20, 20));
    f.progress.cancelLabel = "a.gbr";
    f.progress.cancelAfter = 3;  // past the set-up, inside the drawing pass
    GerberPrintOutcome out = f.print();
    EXPECT_EQ(out.sheetsAbandoned, 1);
    EXPECT_EQ(out.sheetsPrinted, 1);
    EXPECT_EQ(f.printer.calls,
              (std::vector<std::string>{"choose", "job", "begin a.gbr", "abort", "begin b.gbr", "end", "end job"}));
    EXPECT_EQ(f.prompter.texts().back(), printmsg::GerberPrintFinished);
}

TEST(GerberPrintJobTest, DCodeQuestionAnsweredNoAbandonsTheSheet)
{
    PrintJobFixture f;
    f.put(1, "a.gbr", board(10, 10, "D99*\nX1000Y1000D03*\n"));
    f.put(2, "b.gbr", board(20, 20, "D98*\nX1000Y1000D03*\n"));
    f.prompter.answers = {Answer::No, Answer::Yes};
    GerberPrintOutcome out = f.print();
    EXPECT_EQ(out.sheetsAbandoned, 1);
    EXPECT_EQ(out.sheetsPrinted, 1);
    auto texts = f.prompter.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "アパーチャ(D99)がセットされていません。処理を続行しますか？");
    EXPECT_EQ(texts[1], "アパーチャ(D98)がセットされていません。処理を続行しますか？");
    EXPECT_EQ(texts[2], printmsg::GerberPrintFinished);
}

TEST(GerberPrintJobTest, ImagePolarityOfTheSmallestFile)
{
    for (const char *cell : {"", "●"}) {
        SCOPED_TRACE(cell);
        PrintJobFixture f;
        f.put(1, "a.gbr", "%IPNEG*%\n" + board(10, 10));
        f.grid.cell(1, gridcol::Polarity) = cell;
        f.print();
        ASSERT_EQ(f.printer.sheets.size(), 1u);
        const PageFigure &first = f.printer.sheets[0]->figures[0];
        const bool negative = std::string(cell).empty();
        EXPECT_EQ(first.op, negative ? "rectangle" : "text");
        EXPECT_EQ(PrintJobFixture::pads(*f.printer.sheets[0])[0].brush, negative ? colours::White : colours::Black);
    }
}

TEST(GerberPrintJobTest, RefusalsAndTheClosingMessage)
{
    {
        PrintJobFixture f;  // RS-274X chosen, the file has no parameters
        f.put(1, "a.gbr", "D10*\nX0Y0D02*\nX1000Y1000D01*\nM02*\n");
        GerberPrintOutcome out = f.print();
        EXPECT_EQ(out.sheetsPrinted, 0);
        EXPECT_EQ(f.prompter.texts(), (std::vector<std::string>{printmsg::NotRs274X, printmsg::GerberPrintFinished}));
    }
    {
        PrintJobFixture f;  // the print dialog cancelled
        f.put(1, "a.gbr", board(10, 10));
        f.printer.confirm = false;
        GerberPrintOutcome out = f.print();
        EXPECT_FALSE(out.confirmed);
        EXPECT_EQ(f.printer.calls, (std::vector<std::string>{"choose"}));
        EXPECT_TRUE(f.prompter.texts().empty());
    }
}

}  // namespace
}  // namespace korvane
