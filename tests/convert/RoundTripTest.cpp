// Whole files through the writers and back, judged by the checked rewriting.
#include "convert/CheckedRewrite.h"
#include "convert/DrillWriter.h"
#include "convert/GerberWriter.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace korvane {
namespace {

using testing::FakePrompter;
using testing::TempDir;

const std::string BoardFile = "/usr/share/doc/gerbv/examples/eaglecad1/top-cop.gbx";

void expectSame(const CheckVerdict &v)
{
    EXPECT_EQ(v.result, CheckVerdict::Result::Same) << verdictText(v);
    EXPECT_GT(v.items, 0u);
}

TEST(RoundTrip, Rs274XToRs274DWithItsTableAndBack)
{
    std::string source = std::string(KORVANE_TEST_DATA) + "/gerber/copper_mm.gbr";
    for (const std::string &board : {source, BoardFile}) {
        if (!std::filesystem::exists(board))
            continue;  // the gerbv examples are optional
        TempDir dir;
        FakePrompter prompter;
        auto table = std::make_unique<ApertureTable>();
        MacroLibrary library;

        GerberInFormat in;
        in.dialect = GerberDialect::Rs274X;
        GerberOutFormat toD;
        toD.unit = LengthUnit::Inch;
        toD.integerDigits = "2";
        toD.decimalDigits = "5";
        GerberInFormat before = in;
        GerberWriteContext first{in, toD, *table, library, prompter, true};
        std::string d = dir.file("board.cam");
        ASSERT_EQ(writeGerberFile(first, board, d), WriteEnd::Completed);
        expectSame(checkGerberRewrite(board, before, ApertureTable(), MacroLibrary(), d, toD));

        // Back to RS-274X in millimetres with the table the first run filled.
        GerberInFormat dIn;
        dIn.unit = LengthUnit::Inch;
        dIn.integerDigits = "2";
        dIn.decimalDigits = "5";
        GerberOutFormat toX;
        toX.dialect = GerberDialect::Rs274X;
        toX.decimalDigits = "4";
        GerberInFormat dBefore = dIn;
        GerberWriteContext second{dIn, toX, *table, library, prompter, false};
        std::string x = dir.file("again.gbr");
        ASSERT_EQ(writeGerberFile(second, d, x), WriteEnd::Completed);
        expectSame(checkGerberRewrite(d, dBefore, *table, library, x, toX));
        for (const auto &m : prompter.shown)
            EXPECT_EQ(m.kind, MessageKind::Warning) << m.text;  // clear polarity dropped into RS-274D
    }
}

TEST(RoundTrip, DrillThroughIncrementalOutputAndBack)
{
    TempDir dir;
    std::string source = std::string(KORVANE_TEST_DATA) + "/drill/board.drl";
    DrillInFormat in;
    in.decimalDigits = "3";
    DrillOutFormat inc;
    inc.coordinateMode = CoordinateMode::Incremental;
    inc.decimalDigits = "3";
    inc.toolSelect = "t*";
    inc.initCommand = "M48*";
    inc.endCommand = "M30*";
    DrillWriteContext first{in, inc, ConversionMode::Drill};
    std::string mid = dir.file("board.inc");
    writeDrillFile(first, source, mid);
    expectSame(checkDrillRewrite(source, in, mid, inc, ConversionMode::Drill));

    DrillInFormat incIn;
    incIn.coordinateMode = CoordinateMode::Incremental;
    incIn.decimalDigits = "3";
    DrillOutFormat abs;
    abs.unit = LengthUnit::Inch;
    abs.integerDigits = "2";
    abs.decimalDigits = "4";
    abs.zeroSuppression = ZeroSuppression::None;
    abs.xOffset = "0.5";
    DrillWriteContext second{incIn, abs, ConversionMode::Drill};
    std::string back = dir.file("board.nc");
    writeDrillFile(second, mid, back);
    expectSame(checkDrillRewrite(mid, incIn, back, abs, ConversionMode::Drill));
}

TEST(RoundTrip, CheckNamesTheFirstDifference)
{
    TempDir dir;
    DrillInFormat in;
    in.decimalDigits = "3";
    DrillOutFormat out;
    out.decimalDigits = "3";
    std::string a = dir.write("a.drl", "T1\nX1000Y1000\nX2000Y1000\n");
    std::string b = dir.write("b.drl", "T1\nX1000Y1000\nX2002Y1000\n");
    CheckVerdict v = checkDrillRewrite(a, in, b, out, ConversionMode::Drill);
    EXPECT_EQ(v.result, CheckVerdict::Result::Different);
    EXPECT_EQ(verdictText(v), "照合: 入力と出力が異なります: 穴2: 入力 T1 (2,1)、出力 T1 (2.002,1)");
}

// Repeats, and moves that nothing is drawn from, are passed over on both
// sides; the first item that differs is named by its place among the rest.
TEST(RoundTrip, GerberCheckPassesOverRepeatsAndBareMoves)
{
    const std::string head = "%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.2*%\r\nD10*\r\n";
    const std::string input = head + "X1000Y1000D03*\r\nX1000Y1000D03*\r\nX2000Y1000D02*\r\nX3000Y1000D03*\r\n"
                                     "X3000Y2000D02*\r\nX4000Y2000D01*\r\nX5000Y5000D02*\r\nM02*\r\n";
    struct Case {
        const char *name;
        std::string output;
        const char *verdict;
    };
    const Case cases[] = {
        {"same without the repeat and the moves",
         head + "X1000Y1000D03*\r\nX3000Y1000D03*\r\nX3000Y2000D02*\r\nX4000Y2000D01*\r\nM02*\r\n",
         "照合: 入力と出力は一致しました（4 項目）"},
        {"third item moved", head + "X1000Y1000D03*\r\nX3000Y1000D03*\r\nX3000Y2000D02*\r\nX4000Y2001D01*\r\nM02*\r\n",
         "照合: 入力と出力が異なります: 図形の項目4: 入力 種別14 D10 (4,2)-(0,0)、出力 種別14 D10 (4,2.001)-(0,0)"},
        {"one more flash at the end",
         head + "X1000Y1000D03*\r\nX3000Y1000D03*\r\nX3000Y2000D02*\r\nX4000Y2000D01*\r\nX6000Y6000D03*\r\n"
                "M02*\r\n",
         "照合: 入力と出力が異なります: 図形の項目5: 入力 なし、出力 種別11 D10 (5.9,6.1)-(6.1,5.9)"},
        {"the stroke missing", head + "X1000Y1000D03*\r\nX3000Y1000D03*\r\nX3000Y2000D02*\r\nM02*\r\n",
         "照合: 入力と出力が異なります: 図形の項目3: 入力 種別13 D10 (3,2)-(0,0)、出力 なし"},
    };
    TempDir dir;
    std::string in = dir.write("in.gbr", input);
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    GerberOutFormat out;
    out.dialect = GerberDialect::Rs274X;
    for (const Case &c : cases) {
        std::string written = dir.write("out.gbr", c.output);
        EXPECT_EQ(verdictText(checkGerberRewrite(in, format, ApertureTable(), MacroLibrary(), written, out)), c.verdict)
            << c.name;
    }
}

}  // namespace
}  // namespace korvane
