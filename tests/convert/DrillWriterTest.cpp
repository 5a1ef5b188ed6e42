#include "convert/DrillWriter.h"
#include "core/Errors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using testing::TempDir;

struct DrillConversion {
    DrillInFormat in;
    DrillOutFormat out;

    DrillConversion()
    {
        in.decimalDigits = "3";
        out.decimalDigits = "3";
        out.toolSelect = "t*";
        out.hitCommand = "d*";
    }

    std::string convert(std::string_view input)
    {
        DrillWriteContext ctx{in, out, ConversionMode::Drill};
        StringSink sink;
        DrillWriter writer(ctx, sink);
        for (size_t i = 0; i < input.size(); i += 3)
            writer.feed(input.substr(i, 3));
        writer.finish();
        return sink.text;
    }
};

TEST(DrillWriter, WorkedExample)
{
    DrillConversion c;
    c.out.initCommand = "M48*";
    c.out.endCommand = "M30*";
    const char *input = "T1\r\nX10000Y20000\r\nX10000Y25000\r\n";
    EXPECT_EQ(c.convert(input), "M48*\r\nT01*\r\nX10000Y20000*\r\nX10000Y25000*\r\nM30*\r\n");
    c.out.zeroData = ZeroDataMode::Omit;
    EXPECT_EQ(c.convert(input), "M48*\r\nT01*\r\nX10000Y20000*\r\nY25000*\r\nM30*\r\n");
    c.out.zeroData = ZeroDataMode::Address;
    EXPECT_EQ(c.convert(input), "M48*\r\nT01*\r\nX10000Y20000*\r\nXY25000*\r\nM30*\r\n");
}

TEST(DrillWriter, TemplatesAndToolWords)
{
    struct Case {
        const char *toolSelect, *hit, *toolChange;
        int toolDigits;
        const char *input, *expected;
    };
    const Case cases[] = {
        {"t*", "d*", "", 2, "T1C0.8\nX1Y1\nT2\nX2Y2\n", "T01*\r\nX1Y1*\r\nT02*\r\nX2Y2*\r\n"},
        {"t*", "d*", "M05s3T*", 1, "T01\nX1Y1\nT12\nX2Y2\n",
         "T1*\r\nX1Y1*\r\nM05   T*\r\nT12*\r\n"
         "X2Y2*\r\n"},
        {"sMtr", "Gd", "", 2, "T5\nX1Y1\n", " MT05%GX1Y1"},
        {"t*", "G81", "", 2, "X1Y2\n", "X1Y2G81"},
        {"t*", "d*", "", 2, "T00\nX1Y2\nT0\n", "X1Y2*\r\nT0*\r\n"},
        {"", "", "", 2, "T3\nX1Y2\n", "T03*\r\nX1Y2*\r\n"},
        {"t*", "d*", "zM06*", 2, "T1\nX1Y2\nT2\nX1Y2\n", "T01*\r\nX1Y2*\r\nX0Y0M06*\r\nT02*\r\nX1Y2*\r\n"},
        {"t*", "d*", "", 2, "G80\nX0Y0\nX0Y0\nX1Y0\n", "X1Y0*\r\n"},
    };
    for (const Case &k : cases) {
        DrillConversion c;
        c.out.toolSelect = k.toolSelect;
        c.out.hitCommand = k.hit;
        c.out.toolChange = k.toolChange;
        c.out.toolDigits = k.toolDigits;
        EXPECT_EQ(c.convert(k.input), k.expected) << k.input;
    }
}

TEST(DrillWriter, AbsoluteToIncremental)
{
    DrillConversion c;
    c.out.coordinateMode = CoordinateMode::Incremental;
    EXPECT_EQ(c.convert("X10000Y20000\nX15000Y20000\n"), "X10000Y20000*\r\nX5000Y0*\r\n");
    c.out.zeroData = ZeroDataMode::Omit;
    EXPECT_EQ(c.convert("X10000Y20000\nX15000Y20000\n"), "X10000Y20000*\r\nX5000*\r\n");
    c.out.zeroSuppression = ZeroSuppression::None;
    EXPECT_EQ(c.convert("X10000Y20000\nX15000Y20000\n"), "X010000Y020000*\r\nX005000Y000000*\r\n");
}

TEST(DrillWriter, IncrementalReturnToOriginAndSkippedBlocks)
{
    DrillConversion c;
    c.in.coordinateMode = CoordinateMode::Incremental;
    c.out.coordinateMode = CoordinateMode::Incremental;
    c.out.toolChange = "z*";
    c.out.endCommand = "zM30*";
    EXPECT_EQ(c.convert("T1\nX1000Y1000\nX1000Y0\nT2\nX500Y500\nX100Y100\n"),
              "T01*\r\nX1000Y1000*\r\nX1000Y0*\r\nX-2000Y-1000*\r\nT02*\r\nX2500Y1500*\r\nX100Y100*\r\n"
              "X-2600Y-1600M30*\r\n");
    // A block back at the origin is no hit; the next hole still lands where
    // the input puts it.
    EXPECT_EQ(c.convert("X1000Y1000\nX-1000Y-1000\nX300Y0\n"), "X1000Y1000*\r\nX-700Y-1000*\r\nX-300Y0M30*\r\n");
}

TEST(DrillWriter, InputNumberRules)
{
    DrillConversion c;
    c.in.zeroSuppression = ZeroSuppression::Trailing;
    c.in.integerDigits = "2";
    EXPECT_EQ(c.convert("X15Y-2\n"), "X15000Y-20000*\r\n");
    DrillConversion offset;
    offset.out.xOffset = "1.5";
    EXPECT_EQ(offset.convert("X1000Y+1000\n"), "X2500Y1000*\r\n");
    DrillConversion bad;
    try {
        bad.convert("X1-0Y2\n");
        ADD_FAILURE();
    } catch (const KorvaneError &e) {
        EXPECT_STREQ(e.text(), "'1-0' は整数ではありません");
    }
}

TEST(DrillWriter, FileRunsLeaveOldOutputOnError)
{
    TempDir dir;
    DrillConversion c;
    std::string out = dir.write("board.nc", "old");
    DrillWriteContext ctx{c.in, c.out, ConversionMode::Drill};
    EXPECT_THROW(writeDrillFile(ctx, dir.write("bad.drl", "X1Y1\nX1.2.3Y1\n"), out), KorvaneError);
    EXPECT_EQ(TempDir::read(out), "old");
    writeDrillFile(ctx, dir.write("good.drl", "X1Y1\n"), out);
    EXPECT_EQ(TempDir::read(out), "X1Y1*\r\n");
}

}  // namespace
}  // namespace korvane
