#include "GerberLoadSupport.h"
#include "core/Messages.h"
#include "gerber/ApertureCommands.h"
#include "gerber/ApertureFiles.h"
#include "gerber/ApertureTexts.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::testing;

TEST(GapImport, SampleFileGivesTheKeywordTable)
{
    ApertureTable table;
    table.SetRow(900, "丸", "1");  // cleared by the import
    FakePrompter prompter;
    std::string path = std::string(KORVANE_TEST_DATA) + "/aperture/sample.gap";
    ASSERT_TRUE(importGapPath(path, table, prompter));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(table.filePath, path);
    EXPECT_EQ(table.title, path);

    struct Row {
        int dcode;
        const char *shape, *size;
    } rows[] = {
        {10, "丸", "0.2"},         {11, "正方形", "0.5"},
        {12, "長方形", "1.5-0.8"},  // a run of blanks after the keyword
        {13, "楕円形", "2.0-1.0"}, {14, "トンボ", "**********"},
        {15, "キリ穴", "1.2-0.8"}, {16, "サーマル×", "1.0-0.6-0.5"},
        {17, "？？？？？", "0.9"}, {18, "丸", "0.3"},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(table.Lookup(r.dcode).shape, r.shape) << r.dcode;
        EXPECT_EQ(table.Lookup(r.dcode).size, r.size) << r.dcode;
    }
    EXPECT_EQ(table.row(18 - 9).dcodeLabel, "D0018");  // as written in the file
    EXPECT_FALSE(table.Lookup(900).isSet());
    int set = 0;
    for (int r = 1; r <= ApertureRowCount; ++r)
        set += table.row(r).isSet();
    EXPECT_EQ(set, 9);  // D5 and D1500 have no row
}

TEST(GapImport, ADonutFlashesAsTheTwoCircleMarkWithoutAQuestion)
{
    GerberLoadFixture f;
    readGapLines("GAPFile version 2\r\nD15 DONUT 1 1.2 X 0.8 \r\n", f.table);
    f.format.dialect = GerberDialect::Rs274D;
    f.load({"G54D15*X1000Y1000D03*M02*\n"});
    EXPECT_TRUE(f.prompter.shown.empty()) << (f.prompter.shown.empty() ? "" : f.prompter.shown[0].text);
    auto circles = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_DOUBLE_EQ(circles[0].x2 - circles[0].x1, 1.2);
    EXPECT_DOUBLE_EQ(circles[1].x2 - circles[1].x1, 0.8);
}

TEST(GapImport, HeaderEndsAtTheFirstGapFileLineWithoutBang)
{
    ApertureTable table;
    readGapLines("D10 ROUND 1 0.1 X 0.1 \r\n!GAPFile\r\nD11 ROUND 1 0.1 X 0.1 \r\nGAPFile\r\n"
                 "D12 ROUND 1 0.3 X 0.3 \r\n",
                 table);
    EXPECT_FALSE(table.Lookup(10).isSet());
    EXPECT_FALSE(table.Lookup(11).isSet());
    EXPECT_EQ(table.Lookup(12).size, "0.3");

    ApertureTable none;
    readGapLines("D10 ROUND 1 0.1 X 0.1 \r\n", none);  // no end of header: all header
    EXPECT_FALSE(none.Lookup(10).isSet());
}

TEST(GapImport, BadFirstFieldStopsWithTheConversionErrorAndKeepsEarlierRows)
{
    struct Case {
        const char *line, *message;
    } cases[] = {
        {"DX1 ROUND 1 0.1 X 0.1 ", "'X1' は整数ではありません"},
        {"10 ROUND 1 0.1 X 0.1 ", "'10' は整数ではありません"},
        {"D99999999999999999999 ROUND 1 0.1 X 0.1 ", "'99999999999999999999' は整数ではありません"},
    };
    for (const auto &c : cases) {
        TempDir dir;
        std::string path = dir.write("bad.gap", std::string("GAPFile\r\nD10 ROUND 1 0.2 X 0.2 \r\n") + c.line +
                                                    "\r\nD11 ROUND 1 0.4 X 0.4 \r\n");
        ApertureTable table;
        FakePrompter prompter;
        EXPECT_TRUE(importGapPath(path, table, prompter));
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{c.message}) << c.line;
        EXPECT_EQ(table.Lookup(10).size, "0.2");
        EXPECT_FALSE(table.Lookup(11).isSet());
    }
}
