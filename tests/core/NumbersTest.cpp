#include "core/Numbers.h"
#include "core/Errors.h"

#include <cerrno>
#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;

TEST(FormatReal, ShortestFormAndExponentForm)
{
    struct Case {
        double value;
        const char *text;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {0.25, "0.25"},
        {-12.5, "-12.5"},
        {100.0, "100"},
        {0.000001, "1E-6"},
        {2e20, "2E20"},
        {0.00001, "0.00001"},
        {-1.5e-7, "-1.5E-7"},
        {1.0 / 3.0, "0.333333333333333"},
        {25.4, "25.4"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {0.1 + 0.2, "0.3"},
        {-0.000012345, "-0.000012345"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatReal(c.value), c.text) << c.value;
}

TEST(Rounding, HalfToEvenAndTruncationClampInsteadOfOverflowing)
{
    EXPECT_EQ(roundToInt(0.5), 0);
    EXPECT_EQ(roundToInt(1.5), 2);
    EXPECT_EQ(roundToInt(2.5), 2);
    EXPECT_EQ(roundToInt(-2.5), -2);
    EXPECT_EQ(roundToInt(-3.5), -4);
    EXPECT_EQ(truncToInt(-3.9), -3);
    EXPECT_EQ(truncToInt(3.9), 3);
    EXPECT_EQ(roundToInt(1e300), INT32_MAX);
    EXPECT_EQ(roundToInt(-1e300), INT32_MIN);
    EXPECT_EQ(roundToInt(std::nan("")), 0);
    EXPECT_EQ(truncToInt64(1e300), INT64_MAX);
}

TEST(ParseInt, AcceptsDecimalAndDollarHexRejectsTheRestWithThePlatformText)
{
    EXPECT_EQ(parseInt("42"), 42);
    EXPECT_EQ(parseInt(" -7 "), -7);
    EXPECT_EQ(parseInt("+3"), 3);
    EXPECT_EQ(parseInt("$00804020"), 0x00804020);
    EXPECT_EQ(parseInt("$FF00000F"), static_cast<std::int32_t>(0xFF00000F));
    EXPECT_EQ(parseInt("-2147483648"), INT32_MIN);
    for (const char *bad : {"", "abc", "1.5", "12x", "2147483648", "$", "$1G", "99999999999999999999999"}) {
        try {
            parseInt(bad);
            ADD_FAILURE() << bad;
        } catch (const KorvaneError &e) {
            EXPECT_EQ(std::string(e.text()), std::string("'") + bad + "' は整数ではありません");
        }
    }
}

TEST(ParseReal, StrictDecimalFormsOnly)
{
    EXPECT_DOUBLE_EQ(parseReal("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(parseReal(" -0.25 "), -0.25);
    EXPECT_DOUBLE_EQ(parseReal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(parseReal("5."), 5.0);
    EXPECT_DOUBLE_EQ(parseReal("1E3"), 1000.0);
    EXPECT_DOUBLE_EQ(parseReal("1e-400"), 0.0);
    for (const char *bad : {"", "1.2.3", "inf", "nan", "0x10", "1e", "-", ".", "1e999", "1,5"}) {
        try {
            parseReal(bad);
            ADD_FAILURE() << bad;
        } catch (const KorvaneError &e) {
            EXPECT_EQ(std::string(e.text()), std::string("'") + bad + "' は浮動小数点数ではありません");
        }
    }
}

TEST(FileErrors, MapErrnoToThePlatformTexts)
{
    EXPECT_EQ(fileErrorText(ENOENT), "ファイルが見つかりません");
    EXPECT_EQ(fileErrorText(EACCES), "ファイルへのアクセスが拒否されました");
    EXPECT_EQ(fileErrorText(ENOSPC), "ディスクがいっぱいです");
    EXPECT_EQ(fileErrorText(EIO), "入出力エラー 5");
}
