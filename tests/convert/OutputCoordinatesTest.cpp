#include "convert/OutputCoordinates.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

CoordinateFormats formats(LengthUnit inUnit, const char *inDecimals, LengthUnit outUnit, const char *outIntegers,
                          const char *outDecimals, ZeroSuppression zs = ZeroSuppression::Leading)
{
    CoordinateFormats f;
    f.inUnit = inUnit;
    f.inDecimalDigits = inDecimals;
    f.outUnit = outUnit;
    f.outIntegerDigits = outIntegers;
    f.outDecimalDigits = outDecimals;
    f.outZeroSuppression = zs;
    return f;
}

constexpr auto Mm = LengthUnit::Mm;
constexpr auto Inch = LengthUnit::Inch;

struct Case {
    CoordinateFormats formats;
    const char *text;
    char letter;
    const char *expected;
};

TEST(OutputCoordinates, ConvertsUnitsDigitsAndRoundsHalfToEven)
{
    const Case cases[] = {
        {formats(Mm, "2", Inch, "2", "4"), "12345", 'X', "48602"},
        {formats(Mm, "2", Mm, "3", "3"), "12345", 'X', "123450"},
        {formats(Mm, "3", Mm, "3", "3"), "1000", 'X', "1000"},
        {formats(Mm, "3", Mm, "3", "3"), "-1", 'Y', "-1"},
        {formats(Mm, "3", Mm, "3", "3", ZeroSuppression::None), "1000", 'X', "001000"},
        {formats(Mm, "3", Mm, "3", "3", ZeroSuppression::None), "-1", 'X', "-000001"},
        {formats(Inch, "4", Mm, "3", "3"), "10000", 'X', "25400"},
        {formats(Inch, "4", Mm, "3", "3"), "1.0", 'X', "25400"},
        {formats(Mm, "3", Inch, "2", "4"), "25400", 'X', "10000"},
        // Ties go to the even neighbour, except mm to mm with its 0.1 bias.
        {formats(Inch, "4", Inch, "2", "1"), "0.25", 'X', "2"},
        {formats(Inch, "4", Inch, "2", "1"), "0.75", 'X', "8"},
        {formats(Mm, "4", Mm, "3", "3"), "45", 'X', "5"},
        {formats(Inch, "4", Inch, "3", "3"), "45", 'X', "4"},
        // Six decimal digits are a millionth, five a hundred-thousandth.
        {formats(Mm, "6", Mm, "3", "6"), "1234567", 'X', "1234567"},
        {formats(Mm, "6", Mm, "3", "3"), "1234567", 'X', "1235"},
        {formats(Mm, "5", Mm, "3", "5"), "1234567", 'X', "1234567"},
        {formats(Inch, "6", Inch, "2", "4"), "-1000000", 'J', "-10000"},
        // Texts with a sign and decimal point; an exact zero keeps no sign.
        {formats(Mm, "3", Mm, "3", "3"), "-0", 'X', "0"},
        {formats(Mm, "3", Mm, "4", "2"), "-12.345", 'X', "-1234"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(convertCoordinate(c.text, c.letter, c.formats), c.expected) << c.text;
}

TEST(OutputCoordinates, DrillOffsetsApplyOnlyToXAndYInDrillMode)
{
    CoordinateFormats f = formats(Mm, "3", Mm, "3", "3");
    f.xOffset = "1.5";
    f.yOffset = "0";
    f.mode = ConversionMode::Drill;
    EXPECT_EQ(convertCoordinate("1000", 'X', f), "2500");
    EXPECT_EQ(convertCoordinate("1000", 'Y', f), "1000");
    EXPECT_EQ(convertCoordinate("1000", 'I', f), "1000");
    f.yOffset = "-0.25";
    EXPECT_EQ(convertCoordinate("1000", 'Y', f), "750");
    f.mode = ConversionMode::Gerber;
    EXPECT_EQ(convertCoordinate("1000", 'X', f), "1000");

    // Both inch: the offset is in inches.
    CoordinateFormats inch = formats(Inch, "4", Inch, "2", "4");
    inch.mode = ConversionMode::Drill;
    inch.xOffset = "0.5";
    EXPECT_EQ(convertCoordinate("10000", 'X', inch), "15000");
}

TEST(OutputCoordinates, PadsToTheTotalDigitCount)
{
    EXPECT_EQ(padCoordinate("1234", 6), "001234");
    EXPECT_EQ(padCoordinate("-1234", 6), "-001234");
    EXPECT_EQ(padCoordinate("-123456", 6), "-123456");
    EXPECT_EQ(padCoordinate("-12345", 6), "-012345");
    EXPECT_EQ(padCoordinate("123456", 6), "123456");
    EXPECT_EQ(padCoordinate("1234567", 6), "1234567");
    EXPECT_EQ(padCoordinate("0", 5), "00000");
    // Incremental output is padded only when the writer asks for it.
    CoordinateFormats f = formats(Mm, "3", Mm, "3", "3", ZeroSuppression::None);
    f.outCoordinateMode = CoordinateMode::Incremental;
    EXPECT_EQ(convertCoordinate("1000", 'X', f), "1000");
}

TEST(OutputCoordinates, RefusesTextsThatAreNotNumbers)
{
    struct Bad {
        CoordinateFormats formats;
        const char *text;
        const char *message;
    };
    CoordinateFormats ok = formats(Mm, "3", Mm, "3", "3");
    CoordinateFormats badOffset = ok;
    badOffset.mode = ConversionMode::Drill;
    badOffset.xOffset = "1,5";
    const Bad cases[] = {
        {ok, "12-3", "'12-3' は整数ではありません"},
        {ok, "1.2.3", "'1.2.3' は浮動小数点数ではありません"},
        {ok, "-", "'-' は整数ではありません"},
        {formats(Mm, "7", Mm, "3", "3"), "1", "'7' は整数ではありません"},
        {formats(Mm, "0", Mm, "3", "3"), "1", "'0' は整数ではありません"},
        {formats(Mm, "3", Mm, "3", "a"), "1", "'a' は整数ではありません"},
        {formats(Mm, "3", Mm, "x", "3"), "1", "'x' は整数ではありません"},
        {badOffset, "1", "'1,5' は浮動小数点数ではありません"},
    };
    for (const Bad &c : cases) {
        try {
            convertCoordinate(c.text, 'X', c.formats);
            ADD_FAILURE() << c.text << " was accepted";
        } catch (const KorvaneError &e) {
            EXPECT_EQ(std::string(e.text()), c.message);
        }
    }
}

}  // namespace
}  // namespace korvane
