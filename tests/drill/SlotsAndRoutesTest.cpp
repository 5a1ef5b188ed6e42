// Slots (G85), route mode with arcs, tools above 36 and comments, from the
// reading core through the load, the tool lists and the drill print.
#include "DrillSupport.h"
#include "core/TextFile.h"
#include "drill/ToolMarks.h"
#include "lists/UsageLists.h"
#include "print/DrillPrintJob.h"
#include "print/PrintTexts.h"
#include "print/RecordingPage.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace korvane {
namespace {

using testing::drillFormat;
using testing::FakePrompter;
using testing::FakeStatus;
using testing::TempDir;

const std::string SlotsFile = std::string(KORVANE_TEST_DATA) + "/drill/slots/slots-routes.drl";

class PathSink : public testing::RecordingSink {
public:
    std::vector<DrillPath> paths;
    std::vector<std::size_t> linesWithoutTool;
    void path(const DrillPath &p) override { paths.push_back(p); }
    void holeWithoutTool(std::size_t line) override { linesWithoutTool.push_back(line); }
};

PathSink readAll(std::string_view text, const DrillInFormat &format = drillFormat())
{
    PathSink sink;
    DrillFileReader reader(drillNumberRules(format), sink);
    reader.startFile();
    // Two bytes at a time: words and comments cut between chunks read whole.
    for (std::size_t i = 0; i < text.size(); i += 2)
        reader.feed(text.substr(i, 2));
    reader.finish();
    return sink;
}

TEST(SlotsAndRoutes, TheReaderGivesHolesSlotsAndRoutedPaths)
{
    const PathSink s = readAll(readFileBytes(SlotsFile));
    // Holes of T1 and T40 only: the date comment's "T20:54:24" is no tool.
    ASSERT_EQ(s.hits.size(), 3u);
    EXPECT_EQ(s.hits[0].tool, 1);
    EXPECT_DOUBLE_EQ(s.hits[1].x, 20.0);
    EXPECT_EQ(s.hits[2].tool, 40);
    EXPECT_DOUBLE_EQ(s.hits[2].x, 50.0);
    EXPECT_DOUBLE_EQ(s.hits[2].diameter, 2.0);

    ASSERT_EQ(s.paths.size(), 2u);
    const DrillPath &slot = s.paths[0];
    EXPECT_EQ(slot.tool, 2);
    EXPECT_FALSE(slot.routed);
    EXPECT_DOUBLE_EQ(slot.diameter, 1.0);
    EXPECT_DOUBLE_EQ(slot.startX, 10.0);
    EXPECT_DOUBLE_EQ(slot.startStoredY, -20.0);
    ASSERT_EQ(slot.steps.size(), 1u);
    EXPECT_DOUBLE_EQ(slot.end().x, 15.0);
    EXPECT_DOUBLE_EQ(slot.end().storedY, -20.0);

    // G00 to (30,10), M15, a line, a counter-clockwise arc by I/J, a line,
    // a clockwise arc by its radius (the short way: centre (45,25)), M16.
    const DrillPath &route = s.paths[1];
    EXPECT_EQ(route.tool, 40);
    EXPECT_TRUE(route.routed);
    EXPECT_DOUBLE_EQ(route.startX, 30.0);
    ASSERT_EQ(route.steps.size(), 4u);
    using K = DrillPathStep::Kind;
    EXPECT_EQ(route.steps[0].kind, K::Line);
    EXPECT_EQ(route.steps[1].kind, K::ArcCcw);
    EXPECT_DOUBLE_EQ(route.steps[1].centreX, 40.0);
    EXPECT_DOUBLE_EQ(route.steps[1].centreStoredY, -15.0);
    EXPECT_EQ(route.steps[3].kind, K::ArcCw);
    EXPECT_NEAR(route.steps[3].centreX, 45.0, 1e-9);
    EXPECT_NEAR(route.steps[3].centreStoredY, -25.0, 1e-9);
    EXPECT_DOUBLE_EQ(route.end().x, 40.0);
    EXPECT_DOUBLE_EQ(route.end().storedY, -25.0);
    // A quarter turn each, flattened in 5 degree chords.
    EXPECT_EQ(drillPathPoints(route).size(), 1u + 1 + 18 + 1 + 18);
    EXPECT_TRUE(s.linesWithoutTool.empty());
}

TEST(SlotsAndRoutes, CommentsAndHolesWithoutATool)
{
    struct Case {
        const char *text;
        std::size_t hits;
        std::vector<std::size_t> linesWithoutTool;
    };
    const Case cases[] = {
        {"; T20 X100Y100\nT1\nX0100Y0100\n", 1, {}},
        {"(T20 X100Y100)T1\nX0100Y0100 (X9Y9)\n", 1, {}},
        {"X0100Y0100\nT1\nX0200Y0100\n", 1, {1}},  // drawn by no tool: said once, by its line
        {"T1\nX0100Y0100;X5\nX0200;\n", 2, {}},
    };
    for (const Case &c : cases) {
        const PathSink s = readAll(c.text);
        EXPECT_EQ(s.hits.size(), c.hits) << c.text;
        EXPECT_EQ(s.linesWithoutTool, c.linesWithoutTool) << c.text;
    }
}

struct SlotLoad {
    TempDir dir;
    Document doc;
    FakePrompter prompter;
    FakeStatus status;
    DrillInFormat format = drillFormat();
    DrillLoadOutcome run(const std::string &path)
    {
        DrillLoadContext context{doc, format, prompter, status, nullptr};
        return loadDrillFiles(context, {{3, path}});
    }
};

TEST(SlotsAndRoutes, TheLoadDrawsStrokesOfTheToolWidthWithMarksAtTheEnds)
{
    SlotLoad l;
    const DrillLoadOutcome outcome = l.run(SlotsFile);
    EXPECT_EQ(outcome.layersWithHits, std::vector<int>{3});
    EXPECT_TRUE(l.prompter.shown.empty());
    std::vector<DisplayItem> items(l.doc.displayList.main().begin(), l.doc.displayList.main().end());
    auto count = [&](auto pred) { return std::count_if(items.begin(), items.end(), pred); };
    EXPECT_EQ(count([](const DisplayItem &it) { return it.role == RoleDrillHit; }), 3);
    EXPECT_EQ(count([](const DisplayItem &it) { return it.role == RoleDrillSlot; }), 2);
    // The slot: one stroke 1.0 mm wide from (10,20) to (15,20), in the
    // layer colour, then the mark of T2 (a circle) at both ends, uncounted.
    auto slot =
        std::find_if(items.begin(), items.end(), [](const DisplayItem &it) { return it.role == RoleDrillSlot; });
    ASSERT_NE(slot, items.end());
    EXPECT_EQ(slot->kind, static_cast<int>(ItemKind::LineTo));
    EXPECT_DOUBLE_EQ(slot->width, 1.0);
    EXPECT_EQ(slot->code, 2);
    EXPECT_EQ(slot->colourLayer, 3);
    EXPECT_DOUBLE_EQ(slot->x1, 15.0);
    EXPECT_EQ((slot - 1)->kind, static_cast<int>(ItemKind::MoveTo));
    EXPECT_DOUBLE_EQ((slot - 1)->x1, 10.0);
    EXPECT_EQ((slot + 1)->kind, static_cast<int>(ItemKind::Ellipse));
    EXPECT_EQ((slot + 1)->colourLayer, 0);  // cut out of the 1 mm stroke, so it shows
    EXPECT_EQ((slot + 1)->role, RoleAuxiliary);
    EXPECT_DOUBLE_EQ(((slot + 1)->x1 + (slot + 1)->x2) / 2, 10.0);
    EXPECT_EQ((slot + 2)->kind, static_cast<int>(ItemKind::Ellipse));
    EXPECT_DOUBLE_EQ(((slot + 2)->x1 + (slot + 2)->x2) / 2, 15.0);
    // The route's arcs are arcs 2 mm wide, each followed by a move to its end.
    EXPECT_EQ(count([](const DisplayItem &it) { return it.kind == static_cast<int>(ItemKind::ArcCcw); }), 1);
    EXPECT_EQ(count([](const DisplayItem &it) { return it.kind == static_cast<int>(ItemKind::ArcCw); }), 1);
    // T40 is drawn with the symbol of T4 (a triangle of three lines).
    auto hole40 = std::find_if(items.begin(), items.end(),
                               [](const DisplayItem &it) { return it.role == RoleDrillHit && it.code == 40; });
    ASSERT_NE(hole40, items.end());
    EXPECT_EQ(hole40->kind, static_cast<int>(ItemKind::MoveTo));
    EXPECT_EQ(markOfTool(40), 4);
    EXPECT_EQ(markOfTool(73), 1);
    EXPECT_DOUBLE_EQ(l.doc.maxX, 50.0);

    // The tool list of the drawing counts holes and slots apart.
    const ToolList list = toolsOfDocument(l.doc);
    std::vector<std::string> rows;
    for (const ToolUsage &u : list.rows)
        rows.push_back(u.tool + " " + std::to_string(u.count) + " " + u.diameter);
    EXPECT_EQ(rows, (std::vector<std::string>{"T01 2 0.8", "T02 長穴 1 1", "T40 長穴 1 2", "T40 1 2"}));
}

TEST(SlotsAndRoutes, TheToolListOfTheFileCountsSlotsApart)
{
    const ToolList list = toolsOfFile(SlotsFile, drillFormat());
    std::vector<std::string> rows;
    for (const ToolUsage &u : list.rows)
        rows.push_back(u.tool + " " + std::to_string(u.count));
    // T2 has no holes: its row stays empty, its slot gets the next.
    EXPECT_EQ(rows, (std::vector<std::string>{"T1 2", " 0", "T2 長穴 1", "T40 1", "T40 長穴 1"}));
}

TEST(SlotsAndRoutes, TheDrillPrintDrawsPathsAndListsToolsAboveThirtySix)
{
    TempDir dir;
    std::vector<DrillPrintRow> rows{{SlotsFile, {}}};
    DrillPrintSettings settings;
    DrillInFormat format = drillFormat();
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat gerberFormat;
    FakePrompter prompter;
    FakeStatus status;
    SilentProgress progress;
    testing::RecordingPrinter printer;
    printer.size = {200.0, 287.0, 2000, 2870, 2000, 2870};
    DrillPrintContext ctx{rows, settings, format, table, library, gerberFormat, prompter, status, progress, printer};
    const DrillPrintOutcome out = runDrillPrint(ctx);
    // Chart, the legend of T1 to T36, the legend of T37 to T72.
    ASSERT_EQ(printer.sheets.size(), 3u);
    EXPECT_EQ(out.legendsPrinted, 2);
    ASSERT_EQ(out.legends.size(), 1u);
    const DrillLegend &legend = out.legends[0];
    EXPECT_EQ(legend.counts[1], 2);
    EXPECT_EQ(legend.slotCounts[2], 1);
    EXPECT_EQ(legend.counts[40], 1);
    EXPECT_EQ(legend.slotCounts[40], 1);
    // The chart: the slot's path is a line of the page from one end mark
    // to the other, 5 mm = 50 dots long.
    bool slotLine = false;
    for (const auto &f : printer.sheets[0]->only("line"))
        slotLine = slotLine || (f.points[1].x - f.points[0].x == 50 && f.points[0].y == f.points[1].y);
    EXPECT_TRUE(slotLine);
    std::vector<std::string> second;
    for (const auto &f : printer.sheets[2]->only("text"))
        second.push_back(f.text);
    for (const std::string &t : std::vector<std::string>{"T40", "2.000", std::string(printmsg::LegendSlots) + "1", "1"})
        EXPECT_NE(std::find(second.begin(), second.end(), t), second.end()) << t;
}

TEST(SlotsAndRoutes, ADrillPrintOfMissingFilesPrintsNothingAndSaysSo)
{
    TempDir dir;
    std::vector<DrillPrintRow> rows{{dir.path() + "/missing.drl", {}}};
    DrillPrintSettings settings;
    DrillInFormat format = drillFormat();
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat gerberFormat;
    FakePrompter prompter;
    FakeStatus status;
    SilentProgress progress;
    testing::RecordingPrinter printer;
    DrillPrintContext ctx{rows, settings, format, table, library, gerberFormat, prompter, status, progress, printer};
    const DrillPrintOutcome out = runDrillPrint(ctx);
    EXPECT_FALSE(out.confirmed);
    EXPECT_TRUE(printer.calls.empty());
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text.rfind("missing.drl\n", 0), 0u);
    EXPECT_EQ(prompter.shown[1].text, printmsg::NothingToPrint);
    for (const auto &m : prompter.shown)
        EXPECT_NE(m.text, printmsg::DrillPrintFinished);
}

}  // namespace
}  // namespace korvane
