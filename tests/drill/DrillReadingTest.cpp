// The marks pass: number texts, coordinates, zero flags, G80, tools and
// their diameters, and where a block ends.
#include "DrillSupport.h"
#include "core/Errors.h"
#include "core/Messages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

using testing::drillFormat;
using testing::Hit;
using testing::readHits;
using testing::RecordingSink;

void expectHits(const std::vector<Hit> &actual, const std::vector<Hit> &expected, const std::string &label)
{
    ASSERT_EQ(actual.size(), expected.size()) << label;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].tool, expected[i].tool) << label << " hit " << i;
        EXPECT_DOUBLE_EQ(actual[i].x, expected[i].x) << label << " hit " << i;
        EXPECT_DOUBLE_EQ(actual[i].boardY, expected[i].boardY) << label << " hit " << i;
        EXPECT_DOUBLE_EQ(actual[i].diameter, expected[i].diameter) << label << " hit " << i;
    }
}

struct ReadCase {
    const char *label;
    DrillInFormat format;
    const char *text;
    std::vector<Hit> hits;
};

TEST(DrillReading, CoordinatesAndHits)
{
    const auto trailing = drillFormat(ZeroSuppression::Trailing);
    const auto inch = drillFormat(ZeroSuppression::Leading, LengthUnit::Inch);
    const auto incremental = drillFormat(ZeroSuppression::Leading, LengthUnit::Mm, CoordinateMode::Incremental);
    auto x0y0 = drillFormat();
    x0y0.x0y0IsHit = true;
    const ReadCase cases[] = {
        {"leading zeros, 3.2", drillFormat(), "T1C0.8\r\nX0100Y0200\r\n", {{1, 1.0, 2.0, 0.8}}},
        {"trailing zeros pad to five digits", trailing, "T1\nX1Y-1\n", {{1, 100.0, -100.0, 0}}},
        {"trailing zeros leave decimals alone", trailing, "T1\nX1.5Y2\n", {{1, 1.5, 200.0, 0}}},
        {"inch decimal", inch, "T2\nX1.5Y0.5\n", {{2, 38.1, 12.7, 0}}},
        {"inch integer", inch, "T2\nX150Y50\n", {{2, 38.1, 12.7, 0}}},
        {"five decimal digits",
         drillFormat(ZeroSuppression::Leading, LengthUnit::Mm, CoordinateMode::Absolute, "3", "5"),
         "T1\nX100000Y250000\n",
         {{1, 1.0, 2.5, 0}}},
        {"six decimal digits",
         drillFormat(ZeroSuppression::Leading, LengthUnit::Mm, CoordinateMode::Absolute, "2", "6"),
         "T1\nX1000000Y2500000\n",
         {{1, 1.0, 2.5, 0}}},
        {"long text with leading zeros", drillFormat(), "T1\nX000000000000000000000100Y0200\n", {{1, 1, 2, 0}}},
        {"plus dropped, empty text is 0", drillFormat(), "T1\nX+0300Y\nX Y0100\n", {{1, 3.0, 0, 0}, {1, 0, 1.0, 0}}},
        {"a coordinate stays until changed", drillFormat(), "T1\nX0100Y0100\nY0300\n", {{1, 1, 1, 0}, {1, 1, 3, 0}}},
        {"star ends a block too", drillFormat(), "T3*X0100Y0200*X0200*", {{3, 1, 2, 0}, {3, 2, 2, 0}}},
        {"skipped bytes",
         drillFormat(),
         "M48\n;x1 y2 comment\n%\nM72,VER,1\nT01 ; tool\nm30X0100 Y0200\n",
         {{1, 1, 2, 0}}},
        {"last line without line end gives no hit", drillFormat(), "T1\nX0100Y0100\nX0200Y0200", {{1, 1, 1, 0}}},
        {"X0Y0 is no hit", drillFormat(), "T1\nX0Y0\nX0500Y0\n", {{1, 5, 0, 0}}},
        {"zero flags stay set until another value", drillFormat(), "T1\nX0Y0\nX0\nY0\nX0100\n", {{1, 1, 0, 0}}},
        {"X0Y0 is a hit when told so", x0y0, "T1\nX0Y0\n", {{1, 0, 0, 0}}},
        {"no tool and tool 0 draw nothing, tool 37 draws",
         drillFormat(),
         "X0100Y0100\nT37\nX0100Y0100\nT0\nX0200Y0\n",
         {{37, 1, 1, 0}}},
        {"T without digits keeps the tool", drillFormat(), "T5\nT\nX0100Y0100\n", {{5, 1, 1, 0}}},
        {"METRIC,TZ is a T block", drillFormat(), "T4\nX0100Y0100\nMETRIC,TZ\n", {{4, 1, 1, 0}}},
        {"INCH,LZ before any T draws nothing", drillFormat(), "INCH,LZ\nT1\nX0100Y0100\n", {{1, 1, 1, 0}}},
        {"INCH,LZ is never a hit, also with a tool set", drillFormat(), "T1\nX0100Y0100\nINCH,LZ\n", {{1, 1, 1, 0}}},
        {"a second header under a carried tool",
         drillFormat(),
         "T1\nX0100Y0100\nM48\nMETRIC,LZ\nINCH,TZ\nT2C1.0\n%\nT2\nX0200Y0200\n",
         {{1, 1, 1, 0}, {2, 2, 2, 1.0}}},
        {"G80 blocks the next coordinate block only",
         drillFormat(),
         "T1\nG80\nX1000Y1000\nX2000Y1000\n",
         {{1, 20, 10, 0}}},
        {"G81 does not block", drillFormat(), "T1\nG81X0100Y0100\n", {{1, 1, 1, 0}}},
        {"incremental steps add up",
         incremental,
         "T1\nX0100Y0100\nX0100Y0\nY-0050\n",
         {{1, 1, 1, 0}, {1, 2, 1, 0}, {1, 2, 0.5, 0}}},
        {"incremental start at zero is no hit", incremental, "T1\nX0Y0\nX0100\n", {{1, 1, 0, 0}}},
        {"G80 restarts the running position",
         incremental,
         "T1\nX0500Y0500\nG80\nX0100Y0100\nX0100Y0100\n",
         {{1, 5, 5, 0}, {1, 1, 1, 0}}},
    };
    for (const auto &c : cases)
        expectHits(readHits(c.text, c.format), c.hits, c.label);
}

TEST(DrillReading, EveryHitOfAToolCarriesItsDiameter)
{
    const ReadCase cases[] = {
        {"header of two tools",
         drillFormat(),
         "M48\nT1C0.8\nT2C1.0\n%\nT1\nX0100Y0200\nX0300Y0200\nT2\nX0400Y0400\nT1\nX0500Y0500\n",
         {{1, 1, 2, 0.8}, {1, 3, 2, 0.8}, {2, 4, 4, 1.0}, {1, 5, 5, 0.8}}},
        {"C in the body changes the tool's diameter",
         drillFormat(),
         "T1\nX0100Y0100\nC0.9\nX0200Y0100\n",
         {{1, 1, 1, 0}, {1, 2, 1, 0.9}}},
        {"C with the coordinates of a hit",
         drillFormat(),
         "T6C1.25X0100Y0100\nX0200Y0200\n",
         {{6, 1, 1, 1.25}, {6, 2, 2, 1.25}}},
        {"C before any T waits for the next hit's tool", drillFormat(), "C0.5\nT3\nX0100Y0100\n", {{3, 1, 1, 0.5}}},
        {"C of a tool without a mark goes nowhere", drillFormat(), "T40C2.0\nT1\nX0100Y0100\n", {{1, 1, 1, 0}}},
        {"tool 01 is tool 1", drillFormat(), "T01C0.300\nT1\nX0100Y0100\n", {{1, 1, 1, 0.3}}},
    };
    for (const auto &c : cases)
        expectHits(readHits(c.text, c.format), c.hits, c.label);
}

TEST(DrillReading, ChunkBoundariesHaveNoEffect)
{
    const std::string text = "M48\r\nMETRIC,TZ\r\nT01C0.800\r\nT12C1.25\r\n%\r\nG90\r\nT01\r\nX0123Y-0456\r\n"
                             "T12\r\nX+0789Y0012*G80\r\nX1Y1\r\nX0001Y1000\r\nM30\r\n";
    const auto format = drillFormat(ZeroSuppression::Trailing);
    const auto whole = readHits(text, format);
    ASSERT_EQ(whole.size(), 3u);
    for (size_t size : {1u, 2u, 3u, 5u}) {
        RecordingSink sink;
        DrillFileReader reader(drillNumberRules(format), sink);
        reader.startFile();
        for (size_t i = 0; i < text.size(); i += size)
            reader.feed(std::string_view(text).substr(i, size));
        reader.finish();
        expectHits(sink.hits, whole, "chunks of " + std::to_string(size));
    }
}

TEST(DrillReading, TextsThatAreNotNumbersStopTheFile)
{
    struct Case {
        const char *text;
        std::string message;
        size_t hitsBefore;
        DrillInFormat format = drillFormat();
    } cases[] = {
        {"T1\nX0100Y0100\nX1.2.3Y0\n", msg::format(msg::NotAReal, "1.2.3"), 1},
        {"T1\nX1-2\n", msg::format(msg::NotAnInteger, "1-2"), 0},
        {"T1\nX-\n", msg::format(msg::NotAnInteger, "-"), 0},
        {"T1C1.2.3\n", msg::format(msg::NotAReal, "1.2.3"), 0},
        {"T1C.\nX0100Y0100\n", msg::format(msg::NotAReal, "."), 0},
        {"T1\nX99999999999999999999\n", msg::format(msg::NotAnInteger, "99999999999999999999"), 0},
        // 20.6 with trailing zeros pads to 26 digits, too many for any integer.
        {"T1\nX1\n", msg::format(msg::NotAnInteger, "1" + std::string(25, '0')), 0,
         drillFormat(ZeroSuppression::Trailing, LengthUnit::Mm, CoordinateMode::Absolute, "20", "6")},
    };
    for (const auto &c : cases) {
        RecordingSink sink;
        DrillFileReader reader(drillNumberRules(c.format), sink);
        reader.startFile();
        try {
            reader.feed(c.text);
            reader.finish();
            ADD_FAILURE() << c.text << ": no error";
        } catch (const KorvaneError &e) {
            EXPECT_EQ(e.text(), c.message) << c.text;
        }
        EXPECT_EQ(sink.hits.size(), c.hitsBefore) << c.text;
    }
}

TEST(DrillReading, DigitCounts)
{
    for (const char *decimals : {"1", "2", "3", "4", "5", "6"}) {
        auto rules = drillNumberRules(
            drillFormat(ZeroSuppression::Leading, LengthUnit::Mm, CoordinateMode::Absolute, "4", decimals));
        int n = decimals[0] - '0';
        EXPECT_DOUBLE_EQ(rules.divisor, std::pow(10.0, n)) << decimals;
        EXPECT_EQ(rules.totalDigits, 4 + n) << decimals;
    }
    struct Bad {
        const char *integer, *decimals, *text;
    } bads[] = {
        {"3", "0", "小数部の桁数 '0' は範囲外です（1～6）"},
        {"3", "9", "小数部の桁数 '9' は範囲外です（1～6）"},
        {"3", "-1", "小数部の桁数 '-1' は範囲外です（1～6）"},
        {"21", "3", "整数部の桁数 '21' は範囲外です（0～20）"},
        {"3", "", "'' は整数ではありません"},
        {"3", "x", "'x' は整数ではありません"},
        {"3", "99999999999", "'99999999999' は整数ではありません"},
    };
    for (const auto &b : bads) {
        try {
            drillNumberRules(
                drillFormat(ZeroSuppression::Leading, LengthUnit::Mm, CoordinateMode::Absolute, b.integer, b.decimals));
            ADD_FAILURE() << "'" << b.decimals << "' accepted";
        } catch (const KorvaneError &e) {
            EXPECT_EQ(std::string(e.text()), b.text);
        }
    }
    EXPECT_THROW(
        drillNumberRules(drillFormat(ZeroSuppression::Leading, LengthUnit::Mm, CoordinateMode::Absolute, "a", "2")),
        KorvaneError);
}

TEST(DrillReading, ToolAndPointCarryToTheNextFileButDiametersDoNot)
{
    RecordingSink sink;
    DrillFileReader reader(drillNumberRules(drillFormat()), sink);
    reader.startFile();
    reader.feed("T2C0.7\nX0100Y0100\n");
    reader.finish();
    reader.startFile();
    reader.feed("Y0300\n");
    reader.finish();
    expectHits(sink.hits, {{2, 1, 1, 0.7}, {2, 1, 3, 0}}, "second file");
    EXPECT_EQ(reader.hits(), 1u);
}

}  // namespace
}  // namespace korvane
