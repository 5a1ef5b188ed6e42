// Drill files read by the format their own header declares.
#include "drill/DrillHeader.h"
#include "DrillSupport.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::testing;

namespace {

// The hits of a file read as a load reads it: its header over the format set.
std::vector<Hit> hitsByHeader(const std::string &text, DrillInFormat format = drillFormat())
{
    applyDeclaredFormat(readDrillHeader(text), format);
    return readHits(text, format);
}

}  // namespace

TEST(DrillHeader, EveryHeaderStylePutsTheHitsWhereItDeclares)
{
    // The format set is the first start's: mm, LZ, 3.2.
    struct Case {
        const char *label, *text;
        std::vector<Hit> hits;
    } cases[] = {
        {"INCH,TZ: trailing zeros kept, 2.4",
         "M48\nINCH,TZ\nT2C0.8\n%\nT2\nX15000Y2500\nM30\n",
         {{2, 38.1, 6.35, 0.8}}},
        {"METRIC,TZ: 3.3", "M48\nMETRIC,TZ\nT2C0.8\n%\nT2\nX12500Y2500\nM30\n", {{2, 12.5, 2.5, 0.8}}},
        {"INCH,LZ: leading zeros kept", "M48\nINCH,LZ\nT2C0.8\n%\nT2\nX015Y0025\nM30\n", {{2, 38.1, 6.35, 0.8}}},
        {";FILE_FORMAT=2:3 with INCH,LZ",
         "M48\n;FILE_FORMAT=2:3\nINCH,LZ\nT2C0.8\n%\nT2\nX0152Y00455\n",
         {{2, 1.52 * 25.4, 0.455 * 25.4, 0.8}}},
        {";FORMAT={...}",
         ";FORMAT={2:4/ absolute / inch / keep zeros}\nM48\nT2C0.8\n%\nT2\nX015000Y002500\n",
         {{2, 38.1, 6.35, 0.8}}},
        {";FORMAT={...} suppress trailing",
         ";FORMAT={3:3/ absolute / metric / suppress trailing zeros}\nM48\n%\nT2\nX0125Y0025\n",
         {{2, 12.5, 2.5, 0}}},
        {"M72 alone: inch 2.4", "M48\nM72\nT2C0.8\n%\nT2\nX15000Y2500\n", {{2, 38.1, 6.35, 0.8}}},
        {"M71 alone: mm 3.3", "G90\nM71\nM48\nT2C0.8\n%\nT2\nX12500Y2500\n", {{2, 12.5, 2.5, 0.8}}},
        {"digit pattern on the unit line",
         "M48\nINCH,LZ,000.000\n%\nT2\nX0015Y00025\n",
         {{2, 1.5 * 25.4, 0.25 * 25.4, 0}}},
        {"ICI,ON: incremental",
         "M48\nMETRIC,TZ\nICI,ON\n%\nT2\nX1000Y1000\nX1000Y1000\n",
         {{2, 1, 1, 0}, {2, 2, 2, 0}}},
        {"G91 in the header", "M48\nMETRIC,TZ\nG91\n%\nT2\nX1000Y1000\nX1000Y1000\n", {{2, 1, 1, 0}, {2, 2, 2, 0}}},
        {"decimal points", "M48\nMETRIC\n%\nT2\nX12.5Y2.5\n", {{2, 12.5, 2.5, 0}}},
        {"nothing declared: as set", "T2\nX01250Y00250\n", {{2, 12.5, 2.5, 0}}},
        {"a coordinate ends the header", "T2\nX01250Y00250\nINCH,TZ\n", {{2, 12.5, 2.5, 0}}},
    };
    for (const auto &c : cases) {
        auto hits = hitsByHeader(c.text);
        ASSERT_EQ(hits.size(), c.hits.size()) << c.label;
        for (size_t i = 0; i < hits.size(); ++i) {
            EXPECT_EQ(hits[i].tool, c.hits[i].tool) << c.label;
            EXPECT_NEAR(hits[i].x, c.hits[i].x, 1e-9) << c.label;
            EXPECT_NEAR(hits[i].boardY, c.hits[i].boardY, 1e-9) << c.label;
            EXPECT_NEAR(hits[i].diameter, c.hits[i].diameter, 1e-9) << c.label;
        }
    }
}

TEST(DrillHeader, FormatNames)
{
    EXPECT_EQ(
        drillFormatName(drillFormat(ZeroSuppression::Trailing, LengthUnit::Inch, CoordinateMode::Absolute, "2", "4")),
        "インチ 2.4 TZ");
    EXPECT_EQ(drillFormatName(drillFormat()), "ミリ 3.2 LZ");
    EXPECT_EQ(
        drillFormatName(drillFormat(ZeroSuppression::Leading, LengthUnit::Mm, CoordinateMode::Incremental, "3", "3")),
        "ミリ 3.3 LZ インクリメンタル");
}

// The load writes what a header declared back into the format and names
// it for the status bar; a file that declares nothing is read as set.
TEST(DrillHeader, TheLoadWritesTheDeclaredFormatBack)
{
    TempDir dir;
    Document doc;
    FakePrompter prompter;
    FakeStatus status;
    DrillInFormat format = drillFormat();
    DrillLoadContext context{doc, format, prompter, status, nullptr};
    auto outcome = loadDrillFiles(context, {{1, dir.write("a.drl", "M48\nINCH,TZ\nT2C0.8\n%\nT2\nX15000Y2500\nM30\n")},
                                            {2, dir.write("b.drl", "T2\nX01250Y00250\nM30\n")}});
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(outcome.layersWithHits, (std::vector<int>{1, 2}));
    EXPECT_EQ(format, drillFormat(ZeroSuppression::Leading, LengthUnit::Inch, CoordinateMode::Absolute, "2", "4"));
    EXPECT_EQ(outcome.declaredFormatNote, "a.drl: インチ 2.4 LZ（ファイルの宣言） で読み込みました");
    std::vector<std::pair<double, double>> centres;
    for (const DisplayItem &it : doc.displayList.main())
        if (it.role == RoleDrillHit)
            centres.push_back({(it.x1 + it.x2) / 2, -(it.y1 + it.y2) / 2});
    const std::vector<std::pair<double, double>> expected{{38.1, 6.35}, {12.5, 2.5}};
    ASSERT_EQ(centres.size(), expected.size());
    for (size_t i = 0; i < centres.size(); ++i) {
        EXPECT_NEAR(centres[i].first, expected[i].first, 1e-9) << i;
        EXPECT_NEAR(centres[i].second, expected[i].second, 1e-9) << i;
    }
}

// Drill files of other programs (tests/data/drill/gerbv), loaded with the
// first start's format: the first hit lands where the header says.
TEST(DrillHeader, ExampleFilesOfOtherProgramsLandWhereTheyDeclare)
{
    struct Case {
        const char *file;
        double x, y;  // board mm of the first hit
    } cases[] = {
        {"hellboard.plated-drill.cnc", 0.0665 * 25.4, 2.35 * 25.4},  // INCH,TZ
        {"jj1.drl", 2.55, 80.0},                                     // METRIC,TZ; routed slots first
        {"ThruHolePlated.ncd", 40.5, 6.27},                          // M71
        {"SE_SG_IF_V2.txt", 1.52 * 25.4, 0.455 * 25.4},              // ;FILE_FORMAT=2:3, INCH,LZ
    };
    for (const auto &c : cases) {
        Document doc;
        FakePrompter prompter;
        FakeStatus status;
        DrillInFormat format = drillFormat();
        DrillLoadContext context{doc, format, prompter, status, nullptr};
        auto outcome = loadDrillFiles(context, {{1, std::string(KORVANE_TEST_DATA) + "/drill/gerbv/" + c.file}});
        EXPECT_TRUE(prompter.shown.empty()) << c.file;
        ASSERT_EQ(outcome.layersWithHits, std::vector<int>{1}) << c.file;
        const auto &items = doc.displayList.main();
        if (items[1].role == RoleDrillSlot) {
            // A routed slot starts with the move to its start.
            EXPECT_EQ(items[0].kind, static_cast<int>(ItemKind::MoveTo)) << c.file;
            EXPECT_NEAR(items[0].x1, c.x, 1e-6) << c.file;
            EXPECT_NEAR(-items[0].y1, c.y, 1e-6) << c.file;
            continue;
        }
        // The first mark's items span the mark's box around the hit.
        double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
        for (size_t i = 0; i < items.size() && (i == 0 || items[i].role != RoleDrillHit); ++i) {
            const DisplayItem &it = items[i];
            const bool box =
                it.kind == static_cast<int>(ItemKind::Ellipse) || it.kind == static_cast<int>(ItemKind::Rectangle);
            for (double x : {it.x1, box ? it.x2 : it.x1})
                minX = std::min(minX, x), maxX = std::max(maxX, x);
            for (double y : {it.y1, box ? it.y2 : it.y1})
                minY = std::min(minY, -y), maxY = std::max(maxY, -y);
        }
        EXPECT_NEAR((minX + maxX) / 2, c.x, 1e-6) << c.file;
        EXPECT_NEAR((minY + maxY) / 2, c.y, 1e-6) << c.file;
    }
}
