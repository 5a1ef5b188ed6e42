// Slots and routes through the drill writer and back, the conversion check,
// drill-to-Gerber creation, the file's own header and character code.
#include "convert/CheckedRewrite.h"
#include "convert/DrillInput.h"
#include "convert/DrillWriter.h"
#include "convert/TapeCodes.h"
#include "core/TextFile.h"
#include "renumber/CrossCreation.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using testing::FakePrompter;
using testing::TempDir;

const std::string SlotsFile = std::string(KORVANE_TEST_DATA) + "/drill/slots/slots-routes.drl";

std::size_t occurrences(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

struct DrillFormats {
    DrillInFormat in;
    DrillOutFormat out;
    DrillFormats()
    {
        in.decimalDigits = "3";
        out.decimalDigits = "3";
        out.toolSelect = "t*";
        out.hitCommand = "d*";
        out.toolChange = "M06*";
        out.initCommand = "M48*";
        out.endCommand = "M30*";
    }
};

TEST(DrillSlotsConversion, SlotsAndRoutesRoundTripThroughTheWriter)
{
    TempDir dir;
    struct Case {
        const char *name;
        CoordinateMode mode;
        LengthUnit unit;
        ZeroDataMode zeroData;
    };
    const Case cases[] = {
        {"absolute mm", CoordinateMode::Absolute, LengthUnit::Mm, ZeroDataMode::Omit},
        {"absolute inch", CoordinateMode::Absolute, LengthUnit::Inch, ZeroDataMode::All},
        {"incremental mm", CoordinateMode::Incremental, LengthUnit::Mm, ZeroDataMode::Address},
    };
    for (const Case &c : cases) {
        DrillFormats f;
        f.out.coordinateMode = c.mode;
        f.out.unit = c.unit;
        f.out.zeroData = c.zeroData;
        if (c.unit == LengthUnit::Inch) {
            f.out.integerDigits = "2";
            f.out.decimalDigits = "4";
        }
        DrillWriteContext ctx{f.in, f.out, ConversionMode::Drill, {}};
        const std::string out = dir.file(std::string(c.name) + ".drl");
        writeDrillFile(ctx, SlotsFile, out);
        const std::string text = TempDir::read(out);
        // Read by its METRIC header (the settings' digits would misplace it).
        EXPECT_EQ(occurrences(text, "G85"), 1u) << c.name << "\n" << text;
        for (const char *block : {"M15", "M16", "G05", "G01", "G02", "G03"})
            EXPECT_NE(text.find(block), std::string::npos) << c.name << " " << block;
        // The three header tools select nothing: changes for T2, T40 and
        // the closing T0 of the body only.
        EXPECT_EQ(occurrences(text, "M06"), 3u) << c.name << "\n" << text;
        EXPECT_EQ(text.find("T20"), std::string::npos);
        const CheckVerdict v = checkDrillRewrite(SlotsFile, f.in, out, f.out, ConversionMode::Drill);
        EXPECT_EQ(v.result, CheckVerdict::Result::Same) << c.name << ": " << verdictText(v) << "\n" << text;
        // 3 holes, the slot's 2 points, the route's start and 4 steps.
        EXPECT_EQ(v.items, 10u) << c.name;
    }
}

TEST(DrillSlotsConversion, TheCheckComparesSlots)
{
    TempDir dir;
    DrillFormats f;
    const std::string a = dir.write("a.drl", "METRIC\nT1C1.0\nX1.0Y1.0G85X5.0Y1.0\nM30\n");
    const std::string b = dir.write("b.drl", "METRIC\nT1C1.0\nX1.0Y1.0G85X5.0Y2.0\nM30\n");
    const std::string c = dir.write("c.drl", "METRIC\nT1C1.0\nX1.0Y1.0\nX5.0Y1.0\nM30\n");
    EXPECT_EQ(verdictText(checkDrillRewrite(a, f.in, b, f.out, ConversionMode::Drill)),
              "照合: 入力と出力が異なります: 穴2: 入力 長穴の直線 T1 (5,1)、出力 長穴の直線 T1 (5,2)");
    EXPECT_EQ(checkDrillRewrite(a, f.in, c, f.out, ConversionMode::Drill).result, CheckVerdict::Result::Different);
}

TEST(DrillSlotsConversion, HeaderDefinitionsSelectNothingAndAnInchHeaderIsRead)
{
    TempDir dir;
    DrillFormats f;  // mm 3.3 as set
    // KiCad's inch decimal file: read as declared, not 25.4 times too small.
    const std::string in = dir.write("inch.drl", "M48\n; date 2024-01-01T20:54:24\nINCH\nT1C0.032\nT2C0.040\n%\n"
                                                 "T1\nX1.0Y0.5\nT2\nX2.0Y0.5\nM30\n");
    DrillWriteContext ctx{f.in, f.out, ConversionMode::Drill, {}};
    writeDrillFile(ctx, in, dir.file("out.drl"));
    EXPECT_EQ(TempDir::read(dir.file("out.drl")),
              "M48*\r\nT01*\r\nX25400Y12700*\r\nM06*\r\nT02*\r\nX50800Y12700*\r\nM30*\r\n");
    EXPECT_EQ(f.in.unit, LengthUnit::Mm);  // the settings stay as they were
    EXPECT_TRUE(ctx.note.empty());

    // A hit before any selection takes the tool the header defined last.
    const std::string bare = dir.write("bare.drl", "M48\nMETRIC\nT3C1.0\n%\nX1.0Y1.0\nM30\n");
    writeDrillFile(ctx, bare, dir.file("bare.out"));
    EXPECT_EQ(TempDir::read(dir.file("bare.out")), "M48*\r\nT03*\r\nX1000Y1000*\r\nM30*\r\n");
}

TEST(DrillSlotsConversion, AsciiUnderAnEiaSettingIsReadAsAscii)
{
    TempDir dir;
    DrillFormats f;
    f.in.charCode = CharCode::Eia;
    const std::string in = dir.write("ascii.drl", "T1\r\nX10000Y20000\r\nM30\r\n");
    DrillWriteContext ctx{f.in, f.out, ConversionMode::Drill, {}};
    writeDrillFile(ctx, in, dir.file("out.drl"));
    EXPECT_EQ(TempDir::read(dir.file("out.drl")), "M48*\r\nT01*\r\nX10000Y20000*\r\nM30*\r\n");
    EXPECT_EQ(ctx.note,
              "ascii.drl: 入力の文字コードは EIA の設定ですが、ASCII のファイルなので ASCII として読みました");
    const CheckVerdict v = checkDrillRewrite(in, f.in, dir.file("out.drl"), f.out, ConversionMode::Drill);
    EXPECT_EQ(v.result, CheckVerdict::Result::Same);
    EXPECT_EQ(v.items, 1u);

    // And the other way round: real EIA bytes under an ASCII setting.
    std::string eia;
    TapeCodec(TapeOperation::EncodeEia).convert(TempDir::read(in), eia);
    EXPECT_EQ(tapeLook(eia), TapeLook::Eia);
    const SettledDrillFormat s = settleDrillFormat(eia, DrillInFormat{}, "x.eia");
    EXPECT_EQ(s.format.charCode, CharCode::Eia);
    EXPECT_FALSE(s.note.empty());
    EXPECT_EQ(tapeLook("X1Y1"), TapeLook::Unclear);  // no line end: left as set
}

TEST(DrillSlotsConversion, DrillToGerberTurnsSlotsIntoStrokesOfTheAperture)
{
    TempDir dir;
    Settings s;
    s.drillIn.decimalDigits = "3";
    s.gerberOut.decimalDigits = "3";
    s.gerberOut.endCommand = "M02*";
    auto apertures = std::make_unique<ApertureTable>();
    MacroLibrary macros;
    FakePrompter prompter;
    CreationTable table;
    table.rows[0] = {"T2", "D11"};
    table.rows[1] = {"T40", "D12"};
    CrossCreationContext ctx{s.gerberIn, s.gerberOut, s.drillIn, s.drillOut, *apertures, macros, prompter};
    const std::string out = dir.file("slots.ger");
    const auto report = createFile(CreationDirection::DrillToGerber, ctx, table, SlotsFile, out);
    ASSERT_TRUE(report);
    const std::string text = TempDir::read(out);
    EXPECT_NE(text.find("D11*\r\nG01X10000Y20000D02*\r\nG01X15000Y20000D01*"), std::string::npos) << text;
    EXPECT_NE(text.find("G75*"), std::string::npos);
    EXPECT_NE(text.find("G03X45000Y15000I0J5000D01*"), std::string::npos) << text;
    EXPECT_NE(text.find("G02X40000Y25000I0J5000D01*"), std::string::npos) << text;
    const CheckVerdict v = checkCreatedGerber(SlotsFile, s.drillIn, out, s.gerberOut);
    EXPECT_EQ(v.result, CheckVerdict::Result::Same) << v.detail << "\n" << text;
    EXPECT_EQ(v.items, 10u);
}

}  // namespace
}  // namespace korvane
