#include "gerber/ApertureTable.h"
#include "gerber/ApertureTexts.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(ApertureTable, RowsCoverD10ToD999)
{
    ApertureTable table;
    EXPECT_EQ(table.row(1).dcodeLabel, "D10");
    EXPECT_EQ(table.row(ApertureRowCount).dcodeLabel, "D999");
    EXPECT_EQ(table.title, aptmsg::DefaultTitle);
    EXPECT_TRUE(table.filePath.empty());
}

TEST(ApertureTable, DCodesWithoutRowAreIgnoredAndReadAsNotSet)
{
    ApertureTable table;
    for (std::int64_t dcode :
         {std::int64_t{0}, std::int64_t{5}, std::int64_t{9}, std::int64_t{-10}, std::int64_t{1} << 40}) {
        table.SetRow(dcode, "丸", "0.1");
        EXPECT_FALSE(table.Lookup(dcode).isSet()) << dcode;
    }
    for (const char *digits : {"0", "5", "1500", "99999999999999999999999", "", "1x", "-10"})
        EXPECT_FALSE(table.Lookup(std::string_view(digits)).isSet()) << digits;
    // D-codes above D999 (RS-274X pours use D8191) are kept beside the rows.
    table.SetRow(8191, "丸", "0.1");
    EXPECT_TRUE(table.Lookup(8191).isSet());
    EXPECT_TRUE(table.Lookup(std::string_view("08191")).isSet());
    EXPECT_EQ(table.extraRows().size(), 1u);
    for (int r = 1; r <= ApertureRowCount; ++r)
        ASSERT_FALSE(table.row(r).isSet()) << r;
    table.clearRows();
    EXPECT_FALSE(table.Lookup(8191).isSet());
}

TEST(ApertureTable, SetRowLookupAndClear)
{
    ApertureTable table;
    table.filePath = "/data/a.apt";
    table.SetRow(10, "丸", "0.2");
    table.SetRow(999, "長方形", "1.5-0.8");
    EXPECT_EQ(table.row(1).size, "0.2");
    EXPECT_EQ(table.Lookup(999).shape, "長方形");
    EXPECT_EQ(table.Lookup(std::string_view("0010")).size, "0.2");
    table.SetRow(11, "丸", "");
    EXPECT_FALSE(table.Lookup(11).isSet());  // both texts are needed

    table.Clear();
    EXPECT_TRUE(table.filePath.empty());
    EXPECT_FALSE(table.Lookup(10).isSet());
    EXPECT_FALSE(table.Lookup(999).isSet());
}

TEST(ApertureTable, ShapeCodes)
{
    struct Case {
        const char *text;
        int code;  // 0: no known shape
    } cases[] = {
        {"丸", 1},          {"正方形", 2},      {"長方形", 3},        {"楕円形", 4},     {"キリ穴", 5},
        {"トンボ", 6},      {"ザグリ", 7},      {"サーマル×", 8},     {"サーマル＋", 9}, {"Macro 12", 10},
        {"丸ドーナツ", 11}, {"角ドーナツ", 12}, {"楕円ドーナツ", 13}, {" ", 0},          {"", 0},
        {"カスタム", 0},    {"？？？？？", 0},  {"丸 ", 0},           {"Macro", 0},
    };
    for (const auto &c : cases) {
        auto shape = apertureShapeOf(c.text);
        EXPECT_EQ(shape ? static_cast<int>(*shape) : 0, c.code) << c.text;
    }
}
