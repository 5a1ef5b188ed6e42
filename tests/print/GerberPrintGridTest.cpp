#include "print/GerberPrintGrid.h"
#include "core/TextFile.h"
#include "print/PrintTexts.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using namespace korvane::testing;

std::string linesOf(int count, const std::string &value)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += value + "\r\n";
    return out;
}

TEST(GerberPrintGridTest, ChosenFilesAreSortedByteWiseAndCappedAtFifteen)
{
    GerberPrintGrid grid;
    grid.cell(4, gridcol::Mirror) = gridval::Required;
    grid.chooseFiles({"/d/b.gbr", "/d/a.gbr", "/d/c.gbr", "/d/B.gbr"});
    EXPECT_EQ(grid.file(1), "/d/B.gbr");  // upper case sorts first
    EXPECT_EQ(grid.file(2), "/d/a.gbr");
    EXPECT_EQ(grid.cell(2, gridcol::File), "a.gbr");
    EXPECT_EQ(grid.cell(4, gridcol::File), "c.gbr");
    EXPECT_TRUE(grid.cell(4, gridcol::Mirror).empty());
    EXPECT_EQ(grid.cell(15, gridcol::Number), "15");

    std::vector<std::string> many;
    many.reserve(20);
    for (int i = 0; i < 20; ++i)
        many.push_back("/d/f" + std::to_string(100 + i) + ".gbr");
    grid.chooseFiles(many);
    EXPECT_EQ(grid.file(15), "/d/f114.gbr");
}

TEST(GerberPrintGridTest, ParameterFileRoundTripAndColumnOrder)
{
    TempDir dir;
    for (const char *name : {"a.gbr", "b.gbr", "c.gbr"})
        dir.write(name, "X1Y1D03*\n");
    GerberPrintGrid grid;
    grid.chooseFiles({dir.file("c.gbr"), dir.file("a.gbr"), dir.file("b.gbr")});
    grid.cell(2, gridcol::Polarity) = gridval::Negative;
    grid.cell(1, gridcol::sign(0)) = gridval::Plus;
    grid.cell(1, gridcol::row(0)) = " 3";
    const std::string prm = dir.file("job.prm");
    saveGerberPrintParameters(grid, prm);
    std::vector<std::string> lines = readTextLines(prm);
    ASSERT_EQ(lines.size(), 180u);
    EXPECT_EQ(lines[0], "a.gbr");
    for (int i = 3; i < 15; ++i)
        EXPECT_TRUE(lines[static_cast<size_t>(i)].empty());
    EXPECT_EQ(lines[3 * 15UL + 1], gridval::Negative);  // column 4, row 2
    EXPECT_EQ(lines[5 * 15UL], " 3");                   // column 6, row 1

    GerberPrintGrid loaded;
    FakePrompter prompter;
    ASSERT_TRUE(loadGerberPrintParameters(loaded, prm, prompter));
    EXPECT_EQ(loaded.parameterLines(), grid.parameterLines());
    EXPECT_EQ(loaded.file(3), dir.file("c.gbr"));
    EXPECT_TRUE(loaded.file(4).empty());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(GerberPrintGridTest, LoadingReadsRoundsOf180AndRefusesForeignValues)
{
    GerberPrintGrid grid;
    // 170 lines: the last ten cells (column 12, rows 6 to 15) stay empty.
    std::vector<std::string> lines(170, gridval::Plus);
    grid.setParameterLines(lines);
    EXPECT_EQ(grid.cell(5, 11), gridval::Plus);
    EXPECT_EQ(grid.cell(5, 12), "");  // "＋" is no row number
    EXPECT_EQ(grid.cell(6, 12), "");
    // 181 lines: the second round holds line 181 in cell 1 and empties the rest.
    lines.assign(181, "");
    lines[0] = "first.gbr";
    lines[30] = gridval::NotRequired;
    lines[180] = "last.gbr";
    grid.setParameterLines(lines);
    EXPECT_EQ(grid.cell(1, gridcol::File), "last.gbr");
    EXPECT_EQ(grid.cell(1, gridcol::Standalone), "");
    // A hand-edited "20" or "3" never names a row.
    lines.assign(180, "");
    lines[5 * 15UL] = "20";
    lines[5 * 15UL + 1] = "3";
    lines[5 * 15UL + 2] = "15";
    lines[2 * 15UL] = "要";
    grid.setParameterLines(lines);
    EXPECT_EQ(grid.cell(1, gridcol::row(0)), "");
    EXPECT_EQ(grid.cell(2, gridcol::row(0)), "");
    EXPECT_EQ(grid.cell(3, gridcol::row(0)), "15");
    EXPECT_EQ(grid.cell(1, gridcol::Mirror), "");
    EXPECT_EQ(compositionRow("15"), 15);
    EXPECT_EQ(compositionRow(" 9"), 9);
    EXPECT_EQ(compositionRow("9"), 0);
}

TEST(GerberPrintGridTest, AMissingFileEmptiesTheGrid)
{
    TempDir dir;
    dir.write("a.gbr", "X1Y1D03*\n");
    dir.write("job.prm", "a.gbr\r\ngone.gbr\r\n" + linesOf(13, "") + linesOf(15, " 要"));
    GerberPrintGrid grid;
    FakePrompter prompter;
    EXPECT_FALSE(loadGerberPrintParameters(grid, dir.file("job.prm"), prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(prompter.shown[0].text, dir.file("gone.gbr") + printmsg::ParameterFileMissing);
    for (int r = 1; r <= 15; ++r) {
        EXPECT_TRUE(grid.file(r).empty());
        for (int c = 1; c < 13; ++c)
            EXPECT_TRUE(grid.cell(r, c).empty());
    }
}

}  // namespace
}  // namespace korvane
