#include "convert/GerberWriter.h"
#include "convert/ConvertTexts.h"
#include "core/Errors.h"
#include "gerber/ApertureTexts.h"
#include "gerber/GerberTexts.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace korvane {
namespace {

using testing::FakePrompter;
using testing::TempDir;

struct Conversion {
    GerberInFormat in;
    GerberOutFormat out;
    ApertureTable table;
    MacroLibrary library;
    FakePrompter prompter;
    bool autoTable = false;

    Conversion(GerberDialect from, GerberDialect to)
    {
        in.dialect = from;
        out.dialect = to;
    }

    // Header and body as the file would hold them.
    std::string convert(std::string_view input, bool *stopped = nullptr)
    {
        GerberWriteContext ctx{in, out, table, library, prompter, autoTable};
        StringSink body, header;
        GerberWriter writer(ctx, body, header);
        // Small pieces: words cut between two pieces read as one.
        for (size_t i = 0; i < input.size(); i += 5)
            if (!writer.feed(input.substr(i, 5)))
                break;
        writer.finish();
        if (stopped)
            *stopped = writer.stopped();
        return header.text + body.text;
    }
};

constexpr auto D = GerberDialect::Rs274D;
constexpr auto X = GerberDialect::Rs274X;

const char *XFile = "%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.2*%\r\nD10*\r\nX1000Y2000D02*\r\nX3000Y2000D01*\r\nM02*\r\n";

TEST(GerberWriter, Rs274DToRs274XAddsFormatAndApertureHeader)
{
    Conversion r(D, X);
    r.table.SetRow(10, aptmsg::Round, "0.2");
    r.out.endCommand = "M02*";
    EXPECT_EQ(r.convert("D10*\r\nX1000Y2000D02*\r\nX3000Y2000D01*\r\nD10*\r\nX1D03*\r\n"),
              "%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.2*%\r\n"
              "G54D10*\r\nG01X1000Y2000D02*\r\nG01X3000Y2000D01*\r\nG54D10*\r\nG01X1Y2000D03*\r\nM02*\r\n");
    EXPECT_TRUE(r.prompter.shown.empty());
}

TEST(GerberWriter, Rs274XToRs274DDropsParameterBlocks)
{
    Conversion r(X, D);
    EXPECT_EQ(r.convert(XFile), "D10*\r\nG01X1000Y2000D02*\r\nG01X3000Y2000D01*\r\n");
    Conversion modal(X, D);
    modal.out.modal = ModalMode::GD;
    modal.out.zeroData = ZeroDataMode::Omit;
    EXPECT_EQ(modal.convert(XFile), "D10*\r\nG01X1000Y2000D02*\r\nX3000D01*\r\n");
    Conversion address(X, D);
    address.out.modal = ModalMode::G;
    address.out.zeroData = ZeroDataMode::Address;
    EXPECT_EQ(address.convert(XFile), "D10*\r\nG01X1000Y2000D02*\r\nX3000YD01*\r\n");
}

TEST(GerberWriter, Rs274XToRs274XRescalesDefinitionsByUnit)
{
    Conversion same(X, X);
    std::string out =
        same.convert("%FSLAX24Y24*%\r\n%MOMM*%\r\n%ADD10C,0.254*%\r\n%ADD11P,1.27X6X30*%\r\n"
                     "%AMBOX*21,1,2.54,1.27,0,0,0*%\r\n%SRX2Y3I2.54J5.08*%\r\n%LPC*%\r\n%LPD*%\r\nM02*\r\n");
    EXPECT_EQ(out, "%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.254*%\r\n%ADD11P,1.27X6X30*%\r\n"
                   "%AMBOX*21,1,2.54,1.27,0,0,0*%\r\n%SRX2Y3I2.54J5.08*%\r\n%LPC*%\r\n%LPD*%\r\n");
    Conversion inch(X, X);
    inch.out.unit = LengthUnit::Inch;
    inch.out.integerDigits = "2";
    inch.out.decimalDigits = "4";
    out = inch.convert("%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.254*%\r\n%ADD11P,1.27X6X30*%\r\n"
                       "%AMBOX*\r\n21,1,2.54,1.27,0,0,0*\r\n%\r\n%SRX2Y3I2.54J5.08*%\r\n%ADD10C,0.254*%\r\n"
                       "D10*\r\nX25400Y-2540D03*\r\n");
    EXPECT_EQ(out, "%FSLAX24Y24*%\r\n%MOIN*%\r\n%ADD10C,0.01*%\r\n%ADD11P,0.05X6X30*%\r\n"
                   "%AMBOX*\r\n21,1,0.1,0.05,0,0,0*\r\n%\r\n%SRX2Y3I0.1J0.2*%\r\n%ADD10C,0.01*%\r\n"
                   "G54D10*\r\nG01X10000Y-1000D03*\r\n");
}

TEST(GerberWriter, StopsWithTheirMessagesAndWriteNothing)
{
    struct Case {
        GerberDialect from, to;
        const char *input;
        std::string message;
    };
    const Case cases[] = {
        {X, D, "D10*\r\n%FSLAX33Y33*%\r\n", gerbermsg::NotRs274X},
        {D, D, "%FSLAX24Y24*%\r\nX1D02*\r\n", convmsg::InputIsRs274X},
        {D, X, "D11*\r\n", std::string(convmsg::ApertureNotSet) + "D11"},
        {D, X, "D12*\r\n", "D12の長方形のアパーチャ定義が正しくないので処理を中止します。"},
        {D, X, "D13*\r\n", "アパーチャ(D13)のマクロ定義情報が無いため処理を中止します。"},
        {D, X, "D14*\r\n", "D14のサーマル×のアパーチャ定義が正しくないので処理を中止します。"},
    };
    for (const Case &c : cases) {
        Conversion r(c.from, c.to);
        r.table.SetRow(12, aptmsg::Rectangle, "1.5");
        r.table.SetRow(13, "Macro 1", aptmsg::NoSize);
        r.table.SetRow(14, aptmsg::ThermalX, "2");
        bool stopped = false;
        r.convert(c.input, &stopped);
        EXPECT_TRUE(stopped) << c.input;
        ASSERT_EQ(r.prompter.shown.size(), 1u) << c.input;
        EXPECT_EQ(r.prompter.shown[0].text, c.message);
        EXPECT_EQ(r.prompter.shown[0].kind, MessageKind::Error);
    }

    // A stopped file leaves no output and an older output untouched.
    TempDir dir;
    std::string in = dir.write("board.gbr", "D10*\r\n%FSLAX33Y33*%\r\n");
    std::string out = dir.write("board.cam", "old");
    Conversion r(X, D);
    GerberWriteContext ctx{r.in, r.out, r.table, r.library, r.prompter, false};
    EXPECT_EQ(writeGerberFile(ctx, in, out), WriteEnd::Stopped);
    EXPECT_EQ(TempDir::read(out), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(GerberWriter, Rs274DToRs274XFileHoldsTheHeaderBeforeTheBody)
{
    // D words in comments and parameter blocks select nothing; "D010" is a
    // selection of its own text.
    const char *inputs[] = {
        "G04 D11 in a comment*\r\nD10*\r\nX1000Y1000D03*\r\n%XY D11*%\r\nD12*\r\nX1D03*\r\nD10*X5D03*\r\n",
        "G4D11*D12*X1D03*\r\nD010*\r\nX2D03*\r\nD10*\r\nX3D03*\r\n",
        "D10*\r\nX1D03*\r\nD11*\r\nX2D03*\r\n",
    };
    for (const char *input : inputs) {
        Conversion memory(D, X);
        Conversion file(D, X);
        for (Conversion *r : {&memory, &file}) {
            r->table.SetRow(10, aptmsg::Round, "0.2");
            r->table.SetRow(12, aptmsg::Rectangle, "1.5-0.8");
            r->out.endCommand = "M02*";
        }
        bool stopped = false;
        std::string expected = memory.convert(input, &stopped);
        EXPECT_EQ(stopped, input == inputs[2]) << input;  // only D11 has no row

        TempDir dir;
        std::string in = dir.write("board.gbr", input);
        std::string out = dir.write("board.cam", "old");
        GerberWriteContext ctx{file.in, file.out, file.table, file.library, file.prompter, false};
        EXPECT_EQ(writeGerberFile(ctx, in, out), stopped ? WriteEnd::Stopped : WriteEnd::Completed) << input;
        EXPECT_EQ(TempDir::read(out), stopped ? "old" : expected) << input;
        EXPECT_EQ(file.prompter.shown.size(), memory.prompter.shown.size()) << input;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    }
}

TEST(GerberWriter, HeaderDefinesEveryShapeOnceAndGrowsPastAHundred)
{
    Conversion r(D, X);
    r.table.SetRow(15, aptmsg::Target, aptmsg::NoSize);
    r.table.SetRow(16, aptmsg::ThermalPlus, "1-0.6");
    r.table.SetRow(17, aptmsg::DrillHole, "1-0.3");
    r.table.SetRow(18, aptmsg::RoundDonut, "1-0.5");
    r.table.SetRow(19, "Macro 1", aptmsg::NoSize);
    r.table.SetRow(20, aptmsg::Unknown, "1");
    r.library.append("BOX");
    r.library.append("21,1,1,1,0,0,0");
    r.library.append("END");
    std::string out = r.convert("D15*D16*D17*D18*D19*D20*D15*");
    EXPECT_EQ(out, "%FSLAX33Y33*%\r\n%MOMM*%\r\n"
                   "%AMTARGETD15*\r\n1,1,3.5,0.0,0.0*\r\n1,0,3.1,0.0,0.0*\r\n1,1,1,0.0,0.0*\r\n1,0,0.6,0.0,0.0*\r\n"
                   "20,1,0.2,3.5,0.0,-3.5,0.0,0.0*\r\n20,1,0.2,0.0,3.5,0.0,-3.5,0.0*%\r\n%ADD15TARGETD15*%\r\n"
                   "%AMTHERMAL+D16*\r\n7,0,0,1,0.6,0.5,0*%\r\n%ADD16THERMAL+D16*%\r\n"
                   "%AMNONPLATED17*\r\n1,1,1,0.0,0.0*\r\n1,0,0.6,0.0,0.0*\r\n1,1,0.3,0.0,0.0*\r\n1,0,0.1,0.0,0.0*%\r\n"
                   "%ADD17NONPLATED17*%\r\n"
                   "%ADD18C,1X0.5*%\r\n"
                   "%AMBOX*\r\n21,1,1,1,0,0,0*\r\n%\r\n%ADD19BOX*%\r\n"
                   "G54D15*\r\nG54D16*\r\nG54D17*\r\nG54D18*\r\nG54D19*\r\nG54D20*\r\nG54D15*\r\n");

    Conversion many(D, X);
    std::string input;
    for (int d = 10; d < 130; ++d) {
        many.table.SetRow(d, aptmsg::Round, "0.1");
        input += "D" + std::to_string(d) + "*";
    }
    out = many.convert(input);
    EXPECT_NE(out.find("%ADD129C,0.1*%"), std::string::npos);
    EXPECT_TRUE(many.prompter.shown.empty());
}

TEST(GerberWriter, ModalOptionsCommentsAndArcs)
{
    Conversion r(X, D);
    r.out.modal = ModalMode::G;
    r.out.recordMode = RecordMode::FullRecord;
    EXPECT_EQ(r.convert("%FSLAX33Y33*%G04 a note*D10*X1Y1D02*X2Y1D01*G75*G03X3Y2I1J0D01*M02*"),
              "G04 a note*D10*G01X1Y1D02*X2Y1D01*G75*G03X3Y2I1J0D01*");
    EXPECT_EQ(r.in.arcMode, ArcMode::FullCircle);

    // Only J given: I is added; a move in circular mode is written as G01.
    Conversion arc(X, D);
    EXPECT_EQ(arc.convert("%FSLAX33Y33*%\nD10*\nG02X1Y1D02*\nX2Y2J5D01*\nG74*\n"),
              "D10*\r\nG01X1Y1D02*\r\nG02X2Y2I0J5D01*\r\nG74*\r\n");
}

TEST(GerberWriter, IncrementalOutputKeepsEqualMoves)
{
    // Evenly spaced pads: every step is the same, and each one is a move.
    Conversion r(X, D);
    r.out.coordinateMode = CoordinateMode::Incremental;
    EXPECT_EQ(r.convert("%FSLAX33Y33*%\nD10*\nX1000Y500D03*\nX2000D03*\nX3000D03*\nX3000D03*\n"),
              "D10*\r\nG01X1000Y500D03*\r\nG01X1000Y0D03*\r\nG01X1000Y0D03*\r\nG01X0Y0D03*\r\n");
    // Incremental input summed in its own numbers: no drift from rounding.
    Conversion inc(X, X);
    inc.out.unit = LengthUnit::Inch;
    inc.out.integerDigits = "2";
    inc.out.decimalDigits = "3";
    std::string out = inc.convert("%FSLIX33Y33*%%MOMM*%D10*X1D03*X1D03*X1D03*X1D03*X1D03*X1D03*X1D03*X1D03*X1D03*X1D03*"
                                  "X0Y0D03*");
    // 11 flashes, positions 0.001 .. 0.010 mm: the last stands at 0.010 mm = 0.000394 inch -> 0.
    EXPECT_EQ(out.substr(out.rfind("G01")), "G01X0D03*\r\n");
    EXPECT_EQ(inc.in.coordinateMode, CoordinateMode::Incremental);
}

TEST(GerberWriter, ClearPolarityIntoRs274DWarnsEachTime)
{
    Conversion r(X, D);
    r.convert("%FSLAX33Y33*%\r\n%LPC*%\r\n%LPD*%\r\n%LPC*%\r\nD10*\r\n");
    ASSERT_EQ(r.prompter.shown.size(), 2u);
    EXPECT_EQ(r.prompter.shown[0].text, convmsg::ClearPolarityDropped);
    EXPECT_EQ(r.prompter.shown[0].kind, MessageKind::Warning);
}

TEST(GerberWriter, AutomaticTableKeepsMacroNumberingAcrossFiles)
{
    Conversion r(X, D);
    r.autoTable = true;
    r.convert("%FSLAX33Y33*%%MOMM*%%AMBOX*21,1,1,1,0,0,0*%%ADD10BOX*%%ADD11C,0.5*%D10*");
    r.in = {};
    r.in.dialect = X;
    r.convert("%FSLAX33Y33*%%MOIN*%%AMDOT*1,1,0.1,0,0*%%ADD12DOT*%D12*");
    EXPECT_EQ(r.table.Lookup(11).shape, aptmsg::Round);
    EXPECT_EQ(r.table.Lookup(11).size, "0.5");
    int box = macroLineOf(r.table.Lookup(10).shape);
    int dot = macroLineOf(r.table.Lookup(12).shape);
    EXPECT_EQ(r.library.line(box), "BOX");
    EXPECT_EQ(r.library.line(dot), "DOT");
    EXPECT_EQ(r.library.line(dot + 1), "1,1,2.54,0,0");
    EXPECT_EQ(r.table.filePath, aptmsg::Unsaved);
}

TEST(GerberWriter, ZeroSuppressionOfTheOutput)
{
    Conversion none(X, D);
    none.out.zeroSuppression = ZeroSuppression::None;
    EXPECT_EQ(none.convert("%FSLAX33Y33*%D10*X-1Y1000D03*"), "D10*\r\nG01X-000001Y001000D03*\r\n");
    Conversion trailing(X, D);
    trailing.out.zeroSuppression = ZeroSuppression::Trailing;
    EXPECT_EQ(trailing.convert("%FSLAX33Y33*%D10*X-1Y1000D03*"), "D10*\r\nG01X-000001Y001D03*\r\n");
    Conversion tin(D, D);
    tin.in.zeroSuppression = ZeroSuppression::Trailing;
    EXPECT_EQ(tin.convert("X15Y-1D03*"), "G01X150000Y-100000D03*\r\n");
}

}  // namespace
}  // namespace korvane
