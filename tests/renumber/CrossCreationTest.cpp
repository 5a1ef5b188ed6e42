#include "renumber/CrossCreation.h"
#include "convert/ConvertTexts.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/TextFile.h"
#include "renumber/CrossTexts.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace korvane {
namespace {

using testing::FakePrompter;
using testing::TempDir;

class RecordingStatus : public StatusSink {
public:
    void setStatus(const std::string &text) override { texts.push_back(text); }
    void clearStatus() override { texts.push_back("(clear)"); }
    void setBusy(bool busy) override { this->busy = busy; }
    std::vector<std::string> texts;
    bool busy = false;
};

// mm 3.3 everywhere, plain templates, so the bytes are easy to read.
struct Creation {
    Settings s;
    std::unique_ptr<ApertureTable> apertures = std::make_unique<ApertureTable>();
    MacroLibrary macros;
    FakePrompter prompter;
    CreationTable table;
    CreationReport report;

    Creation()
    {
        s.drillIn.decimalDigits = "3";
        s.drillOut.decimalDigits = "3";
        s.drillOut.toolSelect = "t*";
        s.drillOut.hitCommand = "d*";
        s.drillOut.initCommand = "M48*";
        s.drillOut.endCommand = "M30*";
        s.gerberOut.endCommand = "M02*";
    }
    CrossCreationContext context()
    {
        return {s.gerberIn, s.gerberOut, s.drillIn, s.drillOut, *apertures, macros, prompter};
    }
    void row(int n, const std::string &source, const std::string &target)
    {
        table.rows[static_cast<size_t>(n - 1)] = {source, target};
    }
    std::string toDrill(std::string_view gerber)
    {
        CrossCreationContext ctx = context();
        StringSink out;
        report = {};
        createDrillFromGerber(ctx, table, gerber, out, report);
        return out.text;
    }
    std::string toGerber(std::string_view drill)
    {
        CrossCreationContext ctx = context();
        StringSink out;
        report = {};
        createGerberFromDrill(ctx, table, drill, out, report);
        return out.text;
    }
    std::vector<std::string> rows() const
    {
        std::vector<std::string> out;
        for (const auto &r : report.rows)
            out.push_back(r.source + " " + r.target + " " + std::to_string(r.count));
        return out;
    }
};

using Rows = std::vector<std::string>;

TEST(GerberToDrill, OneToolSelectThenEveryFlashAHit)
{
    Creation c;
    c.row(1, "D10", "T01");
    EXPECT_EQ(c.toDrill("D10*X1000Y2000D03*X3000Y2000D03*X3000Y4000D03*M02*"),
              "M48*\r\nT01*\r\nX1000Y2000*\r\nX3000Y2000*\r\nX3000Y4000*\r\nM30*\r\n");
    EXPECT_EQ(c.rows(), (Rows{"D10 T01 3"}));
}

TEST(GerberToDrill, ToolsAreHeldUntilTheNextHitAndDrawsOnlyMove)
{
    Creation c;
    c.row(1, "D10", "T01");
    c.row(2, "D12", "T02");
    c.s.drillOut.toolChange = "M06z*";
    // D11 has no row: its text is the tool. D13 is selected but never
    // flashed, D12 replaces it before any hit. Draws and moves write nothing.
    EXPECT_EQ(c.toDrill("X500Y500D03*D10*X1000Y1000D03*D11*X2000Y0D02*X5000Y0D01*X2000Y2000D03*"
                        "D13*D12*X0Y3000D03*M02*"),
              "M48*\r\nX500Y500*\r\nT01*\r\nX1000Y1000*\r\nM06X0Y0*\r\nD11*\r\nX2000Y2000*\r\nM06X0Y0*\r\nT02*\r\n"
              "X0Y3000*\r\nM30*\r\n");
    // The hit before the first select counts for the first row.
    EXPECT_EQ(c.rows(), (Rows{"D10 T01 2", "D11 D11 1", "D13 D13 0", "D12 T02 1"}));
}

TEST(GerberToDrill, OutputFormatRulesOffsetsAndUnits)
{
    struct Case {
        const char *what;
        int toolDigits;
        ZeroDataMode zeroData;
        CoordinateMode mode;
        const char *xOffset;
        const char *expected;
    };
    const Case cases[] = {
        {"one-digit tools", 1, ZeroDataMode::All, CoordinateMode::Absolute, "0", "T1*\r\nX1000Y0*\r\nX1000Y2000*\r\n"},
        {"omitted repeats", 2, ZeroDataMode::Omit, CoordinateMode::Absolute, "0", "T01*\r\nX1000Y*\r\nY2000*\r\n"},
        {"offsets always", 2, ZeroDataMode::All, CoordinateMode::Absolute, "1.5",
         "T01*\r\nX2500Y0*\r\nX2500Y2000*\r\n"},
        {"increments", 2, ZeroDataMode::All, CoordinateMode::Incremental, "0", "T01*\r\nX1000Y0*\r\nX0Y2000*\r\n"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        Creation c;
        c.row(1, "D10", "T01");
        c.s.drillOut.initCommand = c.s.drillOut.endCommand = "";
        c.s.drillOut.toolDigits = k.toolDigits;
        c.s.drillOut.zeroData = k.zeroData;
        c.s.drillOut.coordinateMode = k.mode;
        c.s.drillOut.xOffset = k.xOffset;
        EXPECT_EQ(c.toDrill("D10*X1000Y0D03*Y2000D03*"), k.expected);
    }
    // RS-274X input in inch: the file's own %FS and %MO, written back.
    Creation c;
    c.row(1, "D10", "T01");
    c.s.gerberIn.dialect = GerberDialect::Rs274D;
    EXPECT_EQ(c.toDrill("%FSLAX24Y24*%\n%MOIN*%\n%ADD10C,0.01*%\nD10*\nX10000Y5000D03*\nM02*\n"),
              "M48*\r\nT01*\r\nX25400Y12700*\r\nM30*\r\n");
    EXPECT_EQ(c.s.gerberIn.unit, LengthUnit::Inch);
    EXPECT_EQ(c.s.gerberIn.decimalDigits, "4");
}

TEST(DrillToGerber, Rs274XHeaderWithADefinitionEachTimeTheToolOccurs)
{
    Creation c;
    c.row(1, "T01", "D10");
    c.s.gerberOut.dialect = GerberDialect::Rs274X;
    c.s.gerberOut.g54 = true;
    c.s.gerberOut.zeroSuppression = ZeroSuppression::None;
    c.apertures->SetRow(10, "丸", "0.3");
    EXPECT_EQ(c.toGerber("M48\nT01C0.3\n%\nT01\nX1000Y2000\nX3000Y2000\nT01\nX0Y500\nM30\n"),
              "%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.3*%\r\n%ADD10C,0.3*%\r\n"
              "G54D10*\r\nG01X1000Y2000D03*\r\nG01X3000Y2000D03*\r\nG54D10*\r\nG01X0Y500D03*\r\nM02*\r\n");
    EXPECT_EQ(c.s.gerberOut.zeroSuppression, ZeroSuppression::Leading);
    // The header's T01C0.3 defines the tool and selects nothing.
    EXPECT_EQ(c.rows(), (Rows{"T01 D10 2", "T01 D10 1"}));
}

TEST(DrillToGerber, Rs274DModalOptionsAndUnmatchedTools)
{
    Creation c;
    c.row(1, "T1", "D10");
    c.s.gerberOut.modal = ModalMode::GD;
    c.s.gerberOut.zeroData = ZeroDataMode::Omit;
    // T2 has no row: the tool text stands as the code; T00 and "T" are no
    // selection; the G80 block at the origin is no hit.
    EXPECT_EQ(c.toGerber("T1\nX1000Y2000\nX3000Y2000\nT00\nT2\nX3000Y5000\nG80\nX0Y0\nT\nX4000Y5000\n"),
              "D10*\r\nG01X1000Y2000D03*\r\nX3000*\r\nT2*\r\nG01Y5000D03*\r\nX4000*\r\nM02*\r\n");
    EXPECT_EQ(c.rows(), (Rows{"T1 D10 2", "T2 T2 2"}));
}

TEST(DrillToGerber, StopsWhenRs274XCannotDefineTheCode)
{
    Creation c;
    c.row(1, "T01", "D10");
    c.s.gerberOut.dialect = GerberDialect::Rs274X;
    try {
        c.toGerber("T01\nX1000Y1000\n");
        FAIL() << "no stop";
    } catch (const CreationStop &stop) {
        EXPECT_EQ(stop.text, "D10のｱﾊﾟｰﾁｬがｾｯﾄされていないのでRS274Xﾌｫｰﾏｯﾄでの出力が出来ません。処理を中止します。");
    }
    c.apertures->SetRow(10, "Macro1", "**********");
    try {
        c.toGerber("T01\nX1000Y1000\n");
        FAIL() << "no stop";
    } catch (const CreationStop &stop) {
        EXPECT_EQ(stop.text, "アパーチャ(D10)のマクロ定義情報が無いため処理を中止します。");
    }
}

TEST(CreationTableFile, WrittenReadAndLoadableInTheOtherDirection)
{
    TempDir dir;
    CreationTable t;
    t.tableName = "old.tbl";
    t.rows[0] = {"D10", "T01"};
    t.rows[2] = {"D12", "T03"};
    std::string path = dir.file("a.tbl");
    saveCreationTable(path, t, CreationDirection::GerberToDrill);
    std::string bytes = TempDir::read(path);
    std::string blanks;
    for (int i = 0; i < 47; ++i)
        blanks += " \r\n";
    EXPECT_EQ(bytes,
              utf8ToCp932("*\r\n*   KORVANE Ver4\r\n*\r\n*   ｶﾞｰﾊﾞｰ → ﾄﾞﾘﾙ作成ﾃｰﾌﾞﾙ\r\n*\r\n*   Table File: old.tbl\r\n"
                          "*\r\nD10 T01\r\n \r\nD12 T03\r\n") +
                  blanks);
    CreationTable back;
    back.rows[4] = {"T9", "D99"};
    loadCreationTable(path, back);
    EXPECT_EQ(back.tableName, "a.tbl");
    EXPECT_EQ(back.rows[0].source, "D10");
    EXPECT_EQ(back.rows[2].target, "T03");
    EXPECT_TRUE(back.rows[4].source.empty()) << "every row is emptied first";

    readCreationTableLines({"* any heading", "", "D10", "T01   D10  ", "D1 D2 D3"}, back);
    EXPECT_EQ(back.rows[0].source, "");
    EXPECT_EQ(back.rows[0].target, "D10");
    EXPECT_EQ(back.rows[1].target, "D10");
    EXPECT_EQ(back.rows[2].target, "D2 D3");
    bool matched = true;
    EXPECT_EQ(back.lookup("T01", &matched), "D10");
    EXPECT_TRUE(matched);
    EXPECT_EQ(back.lookup("T1", &matched), "T1");
    EXPECT_FALSE(matched);
}

TEST(CrossCreationRun, ChecksInOrderThenStatusAndAReport)
{
    TempDir dir;
    Creation c;
    RecordingStatus status;
    CrossCreationContext ctx = c.context();
    auto run = [&](const std::string &in, const std::string &out) {
        c.prompter.shown.clear();
        return runCrossCreation(CreationDirection::GerberToDrill, ctx, status, c.table, in, out);
    };
    EXPECT_FALSE(run("", ""));
    EXPECT_EQ(c.prompter.texts(), (Rows{"変換前ファイルを選択して下さい！"}));
    EXPECT_FALSE(run("a.ger", ""));
    EXPECT_EQ(c.prompter.texts(), (Rows{"変換後ファイルを設定して下さい！"}));
    EXPECT_FALSE(run("a.ger", "a.drl"));
    EXPECT_EQ(c.prompter.texts(), (Rows{"チェンジテーブルを設定して下さい！"}));
    EXPECT_EQ(c.prompter.shown[0].kind, MessageKind::Error);

    c.row(1, "D10", "T01");
    std::string in = dir.write("board.ger", "D10*X1000Y2000D03*M02*");
    std::optional<CreationReport> report = run(in, dir.file("board.drl"));
    ASSERT_TRUE(report);
    EXPECT_TRUE(c.prompter.shown.empty());
    EXPECT_EQ(status.texts, (Rows{"board.gerのドリルデータを作成中．．．", "(clear)"}));
    EXPECT_FALSE(status.busy);
    EXPECT_EQ(creationReportLines(CreationDirection::GerberToDrill, *report),
              (Rows{"入力ﾌｧｲﾙ名：" + in, "出力ﾌｧｲﾙ名：" + dir.file("board.drl"), " No.\tDcode\tTool\tｶｳﾝﾄ",
                    "1\tD10\tT01\t1"}));
    EXPECT_EQ(checkCreatedDrill(in, c.s.gerberIn, c.table, dir.file("board.drl"), c.s.drillOut).result,
              CheckVerdict::Result::Same);

    // Never onto the input; a missing input is the platform's message.
    EXPECT_FALSE(run(in, in));
    EXPECT_EQ(c.prompter.texts(), (Rows{convmsg::OutputIsInput}));
    EXPECT_EQ(TempDir::read(in), "D10*X1000Y2000D03*M02*");
    EXPECT_FALSE(run(dir.file("none.ger"), dir.file("x.drl")));
    EXPECT_EQ(c.prompter.texts(), (Rows{"ファイルが見つかりません"}));
}

TEST(CrossCreationRun, AStoppedRunLeavesThePreviousOutput)
{
    TempDir dir;
    Creation c;
    c.row(1, "T01", "D10");
    c.s.gerberOut.dialect = GerberDialect::Rs274X;
    RecordingStatus status;
    CrossCreationContext ctx = c.context();
    std::string in = dir.write("a.drl", "T01\nX1000Y1000\n");
    std::string out = dir.write("a.ger", "previous");
    EXPECT_FALSE(runCrossCreation(CreationDirection::DrillToGerber, ctx, status, c.table, in, out));
    EXPECT_EQ(c.prompter.shown.size(), 1u);
    EXPECT_EQ(TempDir::read(out), "previous");
    EXPECT_EQ(status.texts.back(), "(clear)");
}

TEST(CreationCheck, FindsWhatTheReadersSeeAndAMovedHole)
{
    TempDir dir;
    Creation c;
    c.row(1, "T01", "D10");
    c.row(2, "T02", "D11");
    c.s.gerberOut.dialect = GerberDialect::Rs274X;
    c.s.gerberOut.unit = LengthUnit::Inch;
    c.s.gerberOut.integerDigits = "2";
    c.s.gerberOut.decimalDigits = "4";
    c.apertures->SetRow(10, "丸", "0.3");
    c.apertures->SetRow(11, "正方形", "0.5");
    std::string in = dir.write("a.drl", "X100Y100\nT01\nX1000Y1000\nX2540Y0\nT02\nX-1500Y700\nM30\n");
    CrossCreationContext ctx = c.context();
    ASSERT_TRUE(createFile(CreationDirection::DrillToGerber, ctx, c.table, in, dir.file("a.ger")));
    CheckVerdict v = checkCreatedGerber(in, c.s.drillIn, dir.file("a.ger"), c.s.gerberOut);
    EXPECT_EQ(v.result, CheckVerdict::Result::Same) << v.detail;
    EXPECT_EQ(v.items, 3u) << "the hit before any tool is not a drill reader's hole";

    // Back to drill with the Gerber's own format.
    Creation back;
    back.row(1, "D10", "T01");
    back.row(2, "D11", "T02");
    back.s.drillOut.unit = LengthUnit::Inch;
    back.s.drillOut.integerDigits = "2";
    back.s.drillOut.decimalDigits = "4";
    CrossCreationContext ctx2 = back.context();
    ASSERT_TRUE(createFile(CreationDirection::GerberToDrill, ctx2, back.table, dir.file("a.ger"), dir.file("b.drl")));
    GerberInFormat asRead;
    asRead.dialect = GerberDialect::Rs274X;
    v = checkCreatedDrill(dir.file("a.ger"), asRead, back.table, dir.file("b.drl"), back.s.drillOut);
    EXPECT_EQ(v.result, CheckVerdict::Result::Same) << v.detail;
    EXPECT_EQ(v.items, 3u);

    std::string moved = TempDir::read(dir.file("b.drl"));
    moved.replace(moved.find("X394Y"), 4, "X400");
    dir.write("b.drl", moved);
    v = checkCreatedDrill(dir.file("a.ger"), asRead, back.table, dir.file("b.drl"), back.s.drillOut);
    EXPECT_EQ(v.result, CheckVerdict::Result::Different);
}

}  // namespace
}  // namespace korvane
