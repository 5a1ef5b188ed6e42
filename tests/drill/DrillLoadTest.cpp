// The load over the drill slots: both passes in slot order, extents, the
// observer, status texts, failing files and the drawing kept or replaced.
#include "DrillSupport.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace korvane {
namespace {

using testing::drillFormat;
using testing::FakePrompter;
using testing::FakeStatus;
using testing::TempDir;

class RecordingObserver : public DrillLoadObserver {
public:
    explicit RecordingObserver(const Document &doc) : doc_(doc) {}
    std::vector<std::string> events;
    void extentsSet(bool fitScaleDue) override
    {
        events.push_back(std::string("extents ") + (fitScaleDue ? "fit" : "keep") + " items " +
                         std::to_string(doc_.displayList.size()));
    }
    void fileReadWithHits(int layer) override
    {
        events.push_back("hits " + std::to_string(layer) + " drillLoaded " + std::to_string(doc_.drillLoaded));
    }

private:
    const Document &doc_;
};

struct Load {
    Document doc;
    FakePrompter prompter;
    FakeStatus status;
    RecordingObserver observer{doc};
    DrillInFormat format = drillFormat();

    DrillLoadOutcome run(std::vector<DrillLoadFile> files)
    {
        DrillLoadContext context{doc, format, prompter, status, &observer};
        return loadDrillFiles(context, std::move(files));
    }
};

std::vector<int> hitLayers(const Document &doc)
{
    std::vector<int> layers;
    for (const DisplayItem &it : doc.displayList.main())
        if (it.role == RoleDrillHit)
            layers.push_back(it.layer);
    return layers;
}

TEST(DrillLoad, ReadsTheSlotsInOrderAndTellsTheWindow)
{
    TempDir dir;
    Load l;
    l.doc.keepExisting = 1;  // the items of an earlier load stay first
    appendToolMark(l.doc, 2, 9, 0, 0, 0);
    const std::string a = dir.write("a.drl", "T1C0.5\nX0100Y0100\nX0200Y0100\n");
    const std::string empty = dir.write("none.drl", "M48\nT1C0.5\n%\nM30\n");
    const std::string b = dir.write("b.drl", "T2\nX0300Y0300\n");
    auto outcome = l.run({{6, b}, {2, a}, {4, empty}});

    EXPECT_EQ(outcome.end, DrillLoadOutcome::End::Completed);
    EXPECT_EQ(hitLayers(l.doc), (std::vector<int>{9, 2, 2, 6}));
    EXPECT_EQ(outcome.layersWithHits, (std::vector<int>{2, 6}));
    EXPECT_EQ(outcome.layersWithoutHits, (std::vector<int>{4}));
    EXPECT_TRUE(outcome.layersFailed.empty());
    EXPECT_EQ(l.observer.events,
              (std::vector<std::string>{"extents fit items 1", "hits 2 drillLoaded 1", "hits 6 drillLoaded 1"}));
    EXPECT_EQ(l.status.statusHistory,
              (std::vector<std::string>{"a.drlを読込中．．．", "none.drlを読込中．．．", "b.drlを読込中．．．"}));
    EXPECT_EQ(l.status.status, "");
    EXPECT_EQ(l.status.busyDepth, 0);
    EXPECT_EQ(l.status.maxBusyDepth, 1);
    EXPECT_EQ(l.doc.hasData, 1);
    EXPECT_EQ(l.doc.drillLoaded, 1);
    EXPECT_TRUE(l.prompter.shown.empty());
}

TEST(DrillLoad, AFileWithoutHitsAppendsNothing)
{
    TempDir dir;
    Load l;
    auto outcome = l.run({{3, dir.write("none.drl", "M48\nINCH,LZ\nT1C0.5\n%\nT1\nX0Y0\nM30\n")}});
    EXPECT_EQ(l.doc.displayList.size(), 0u);
    EXPECT_EQ(l.doc.hasData, 1);
    EXPECT_EQ(l.doc.drillLoaded, 0);
    EXPECT_EQ(outcome.layersWithoutHits, (std::vector<int>{3}));
    EXPECT_EQ(l.observer.events, (std::vector<std::string>{"extents fit items 0"}));
}

TEST(DrillLoad, AFailingFileIsReportedAndSkipped)
{
    TempDir dir;
    Load l;
    const std::string good = dir.write("good.drl", "T1\nX0100Y0100\n");
    // The extents pass passes over the X after an X; the marks pass reads it.
    const std::string late = dir.write("late.drl", "T1\nX0100Y0100\nX0100X1.2.3\n");
    const std::string early = dir.write("early.drl", "T1\nX0100Y1.2.3\n");
    auto outcome = l.run({{1, good}, {2, dir.file("missing.drl")}, {3, early}, {4, late}, {5, good}});

    // Each message names its file on the line before the platform's text.
    EXPECT_EQ(l.prompter.texts(), (std::vector<std::string>{std::string("missing.drl\n") + msg::FileNotFound,
                                                            "early.drl\n" + msg::format(msg::NotAReal, "1.2.3"),
                                                            "late.drl\n" + msg::format(msg::NotAReal, "1.2.3")}));
    for (const auto &m : l.prompter.shown)
        EXPECT_EQ(m.kind, MessageKind::Error);
    EXPECT_EQ(outcome.layersFailed, (std::vector<int>{2, 3, 4}));
    // The file that stopped late keeps the marks read before the bad text.
    EXPECT_EQ(outcome.layersWithHits, (std::vector<int>{1, 4, 5}));
    EXPECT_EQ(hitLayers(l.doc), (std::vector<int>{1, 4, 5}));
    // Files that failed in the extents pass are not read again.
    EXPECT_EQ(l.status.statusHistory.size(), 3u);
}

TEST(DrillLoad, ARefusedDigitCountKeepsTheDrawing)
{
    TempDir dir;
    Load l;
    appendToolMark(l.doc, 2, 1, 0, 0, 0);
    l.format.decimalDigits = "7";
    auto outcome = l.run({{1, dir.write("a.drl", "T1\nX0100Y0100\n")}});
    EXPECT_EQ(outcome.end, DrillLoadOutcome::End::FormatRefused);
    EXPECT_EQ(l.prompter.texts(), (std::vector<std::string>{"小数部の桁数 '7' は範囲外です（1～6）"}));
    EXPECT_EQ(l.doc.displayList.size(), 1u);
    EXPECT_TRUE(l.observer.events.empty());
    EXPECT_EQ(l.status.busyDepth, 0);
}

TEST(DrillLoad, NewLoadReplacesTheDrawingAndResetsToolAndDiameters)
{
    TempDir dir;
    Load l;
    appendToolMark(l.doc, 2, 1, 0, 0, 0);
    l.doc.keepExisting = 0;
    const std::string first = dir.write("first.drl", "T3C0.9\nX0100Y0100\n");
    const std::string second = dir.write("second.drl", "X0200Y0200\nT3\nX0300Y0300\n");
    l.run({{1, first}, {2, second}});
    // In the same load the tool carries into the next file; its diameter
    // belongs to the file that gave it.
    std::vector<std::pair<int, double>> seen;
    for (const DisplayItem &it : l.doc.displayList.main())
        if (it.role == RoleDrillHit)
            seen.push_back({it.code, it.toolSize});
    EXPECT_EQ(seen, (std::vector<std::pair<int, double>>{{3, 0.9}, {3, 0}, {3, 0}}));

    Load again;
    again.run({{2, second}});  // a new load: no tool until the T
    EXPECT_EQ(hitLayers(again.doc).size(), 1u);
}

TEST(DrillLoad, ChunkBoundariesInTheFileHaveNoEffect)
{
    // 14-byte lines: the 4097-byte chunk boundaries fall inside numbers.
    std::string text = "T1\r\n";
    std::vector<std::pair<int, int>> points;
    for (int i = 0; i < 1200; ++i) {
        int x = 10000 + i * 7, y = 20000 + i * 3;
        char line[32];
        std::snprintf(line, sizeof line, "X%05dY%05d\r\n", x, y);
        text += line;
        points.push_back({x, y});
    }
    ASSERT_TRUE(isdigit(static_cast<unsigned char>(text[4096])) && isdigit(static_cast<unsigned char>(text[4097])));
    TempDir dir;
    Load l;
    auto outcome = l.run({{1, dir.write("many.drl", text)}});
    ASSERT_EQ(outcome.layersWithHits, (std::vector<int>{1}));
    const ItemSequence &m = l.doc.displayList.main();
    ASSERT_EQ(m.size(), points.size() * 4);
    for (size_t i = 0; i < points.size(); ++i) {
        // Tool 1's first item starts at (-h, -h) from the hit.
        EXPECT_DOUBLE_EQ(m[i * 4].x1, points[i].first / 100.0 - 0.5) << i;
        EXPECT_DOUBLE_EQ(m[i * 4].y1, -(points[i].second / 100.0) + 0.5) << i;
    }
    EXPECT_DOUBLE_EQ(l.doc.minX, 100.0);
    EXPECT_DOUBLE_EQ(l.doc.maxX, (10000 + 1199 * 7) / 100.0);
    EXPECT_DOUBLE_EQ(l.doc.maxY, (20000 + 1199 * 3) / 100.0);
}

struct ExtentsCase {
    const char *label;
    DrillInFormat format;
    std::vector<std::string> files;
    double minX, maxX, minY, maxY;
};

TEST(DrillLoad, Extents)
{
    const auto incremental = drillFormat(ZeroSuppression::Leading, LengthUnit::Mm, CoordinateMode::Incremental);
    const ExtentsCase cases[] = {
        {"a leading zero is forgotten", drillFormat(), {"X0Y0\nX0100Y0200\nX0300Y0050\n"}, 1, 3, 0.5, 2},
        {"negative values", drillFormat(), {"X-0100Y-0200\nX0300Y0100\n"}, -1, 3, -2, 1},
        {"one column starts at 0", drillFormat(), {"X0500Y0100\nX0500Y0300\n"}, 0, 5, 1, 3},
        {"the widest file gives all four",
         drillFormat(),
         {"X0100Y0100\nX0200Y9000\n", "X0100Y0100\nX0900Y0200\n", "X0100Y0100\nX0500Y9900\n"},
         1,
         9,
         1,
         2},
        {"inch decimals",
         drillFormat(ZeroSuppression::Leading, LengthUnit::Inch),
         {"X1.0Y0.5\nX2.0Y1.5\n"},
         25.4,
         50.8,
         12.7,
         38.1},
        {"trailing zeros", drillFormat(ZeroSuppression::Trailing), {"X1Y1\nX2Y3\n"}, 100, 200, 100, 300},
        {"incremental running position", incremental, {"X0100Y0100\nX0100Y0100\nX0100Y-0300\n"}, 1, 3, -1, 2},
        {"incremental: after G80 values only restart the position",
         incremental,
         {"X0100Y0100\nX0100Y0100\nG80\nX0500Y0500\nX0050Y0050\n"},
         1,
         2,
         1,
         2},
        {"a decimal in one file leaves the integers undivided",
         drillFormat(),
         {"X0100Y0100\nX0300Y0300\n", "X1.5Y1.5\n"},
         100,
         300,
         100,
         300},
        {"only X, Y and G count", drillFormat(), {"T12C0.5\nM48\nX0100Y0100\nX0200Y0200\n"}, 1, 2, 1, 2},
    };
    for (const auto &c : cases) {
        TempDir dir;
        Load l;
        l.format = c.format;
        std::vector<DrillLoadFile> files;
        for (size_t i = 0; i < c.files.size(); ++i)
            files.push_back({static_cast<int>(i + 1), dir.write("f" + std::to_string(i) + ".drl", c.files[i])});
        auto outcome = l.run(files);
        EXPECT_TRUE(outcome.extentsSet) << c.label;
        EXPECT_DOUBLE_EQ(l.doc.minX, c.minX) << c.label;
        EXPECT_DOUBLE_EQ(l.doc.maxX, c.maxX) << c.label;
        EXPECT_DOUBLE_EQ(l.doc.minY, c.minY) << c.label;
        EXPECT_DOUBLE_EQ(l.doc.maxY, c.maxY) << c.label;
        EXPECT_DOUBLE_EQ(l.doc.extentX, c.maxX - c.minX) << c.label;
        EXPECT_DOUBLE_EQ(l.doc.extentY, c.maxY - c.minY) << c.label;
    }
}

// Over a kept Gerber drawing the fit stays, unless holes lie beyond it:
// then the extents take in every loaded layer, so Home shows the holes.
TEST(DrillLoad, GerberDrawingUnderneathKeepsTheFitUnlessHolesLieBeyondIt)
{
    TempDir dir;
    const std::string beyond = dir.write("a.drl", "T1\nX0100Y0100\nX0900Y0400\n");
    const std::string inside = dir.write("b.drl", "T1\nX-0400Y0250\nX0300Y0280\n");
    for (int keep : {1, 0}) {
        Load l;
        l.doc.gerberLoaded = 1;
        l.doc.keepExisting = keep;
        l.doc.gerberExtents = {-5, 4, 2, 3};
        l.doc.extentX = keep ? 9 : 0;  // a clear sets them to 0
        l.doc.extentY = keep ? 1 : 0;
        auto outcome = l.run({{2, beyond}});
        EXPECT_TRUE(outcome.fitScaleDue) << keep;
        if (keep) {
            EXPECT_DOUBLE_EQ(l.doc.minX, -5);
            EXPECT_DOUBLE_EQ(l.doc.maxX, 9);
            EXPECT_DOUBLE_EQ(l.doc.minY, 1);
            EXPECT_DOUBLE_EQ(l.doc.maxY, 4);
            EXPECT_DOUBLE_EQ(l.doc.extentX, 14);
            EXPECT_DOUBLE_EQ(l.doc.extentY, 3);
        } else {
            // After a clear nothing of the Gerber drawing is left to include.
            EXPECT_DOUBLE_EQ(l.doc.minX, 1);
            EXPECT_DOUBLE_EQ(l.doc.extentX, 8);
            EXPECT_DOUBLE_EQ(l.doc.extentY, 3);
        }
    }
    Load kept;
    kept.doc.gerberLoaded = 1;
    kept.doc.keepExisting = 1;
    kept.doc.gerberExtents = {-5, 4, 2, 3};
    kept.doc.extentX = 9;
    kept.doc.extentY = 1;
    auto outcome = kept.run({{2, inside}});
    EXPECT_FALSE(outcome.fitScaleDue);
    EXPECT_DOUBLE_EQ(kept.doc.extentX, 9);
    EXPECT_DOUBLE_EQ(kept.doc.extentY, 1);
}

TEST(DrillLoad, ExtentsOnlyGrowWhenTheDrawingIsKept)
{
    TempDir dir;
    Load l;
    l.doc.keepExisting = 1;
    l.doc.extentX = 50;
    l.doc.extentY = 1;
    l.run({{1, dir.write("a.drl", "T1\nX0100Y0100\nX0900Y0400\n")}});
    EXPECT_DOUBLE_EQ(l.doc.extentX, 50);
    EXPECT_DOUBLE_EQ(l.doc.extentY, 3);
}

TEST(DrillLoad, PendingDrillSlots)
{
    LayerTable layers;
    auto set = [&](int n, const char *path, const char *kind) {
        layers.slot(n).pendingPath = path;
        layers.slot(n).fileKind = kind;
    };
    set(9, "/d/b.drl", "nc");
    set(2, "/d/a.drl", "nc");
    set(3, "/d/c.gbr", "gb");
    set(4, AlreadyLoadedMarker, "nc");
    set(5, "", "nc");
    auto files = pendingDrillFiles(layers);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].layer, 2);
    EXPECT_EQ(files[0].path, "/d/a.drl");
    EXPECT_EQ(files[1].layer, 9);
}

TEST(DrillLoad, FitAreaLeavesRoomForThePanelAndStatusBar)
{
    // 1000 x 700 pixels at 0.25 mm: 250 - Trunc(86 * 0.25) - 30 = 199;
    // 175 - 3 * Trunc(19 * 0.25) - 30 = 133.
    DrillFitArea a = drillFitArea(1000, 700, ToolMarkPanelWidth, 19, 0.25, 0.25);
    EXPECT_EQ(a.width, 199);
    EXPECT_EQ(a.height, 133);
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

TEST(DrillFileKind, ContentsAndExtensions)
{
    struct Case {
        const char *bytes;
        bool drill;
    } cases[] = {
        {"M48\r\nMETRIC,LZ\r\nT01C0.8\r\n%\r\nT01\r\nX0100Y0200\r\nM30\r\n", true},
        {"T1\nX+0100Y-0200\n", true},
        {"M48\n", true},
        {"%FSLAX33Y33*%\n%MOMM*%\nD10*\nX0100Y0200D03*\n", false},
        {"G04 RS-274D*\nD10*\nX0100Y0200D03*\nM02*\n", false},
        {"T1\nX0100Y0200D03*\n", false},
        {"X0100Y0200\n", false},  // no tool and no header: not enough to tell
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(looksLikeDrillData(c.bytes), c.drill) << c.bytes;
    for (const char *name : {"/a/b.drl", "B.DRD", "x.xln", "y.Exc", "z.nc", "w.NCD"})
        EXPECT_TRUE(hasDrillExtension(name)) << name;
    for (const char *name : {"/a/b.gbr", "drl", "/a.drl/b", "b.drl.txt", "b."})
        EXPECT_FALSE(hasDrillExtension(name)) << name;
}

}  // namespace
}  // namespace korvane
