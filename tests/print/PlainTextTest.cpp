#include "print/PlainText.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(PlainText, ColumnsFollowCodePage932Bytes)
{
    EXPECT_EQ(textColumns("D10"), 3u);
    EXPECT_EQ(textColumns("丸"), 2u);
    EXPECT_EQ(textColumns(" DｺｰﾄﾞNo."), 9u);  // half-width katakana are one column
    EXPECT_EQ(textColumns("サーマル×"), 10u);
}

TEST(PlainText, TabsStopEveryEightColumns)
{
    const std::string b7(7, ' '), b8(8, ' ');
    struct Case {
        std::string in, out;
    } cases[] = {
        {"    D10        丸\t\t\t0.2", "    D10        丸" + b7 + b8 + b8 + "0.2"},  // 17 columns, then 24, 32, 40
        {" DｺｰﾄﾞNo.\t形    状\t\tサイズ", " DｺｰﾄﾞNo." + b7 + "形    状" + b8 + b8 + "サイズ"},
        {"\t", b8},
        {"abc", "abc"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(expandTabs(c.in), c.out) << c.in;
}
