#include "convert/ConversionBatch.h"
#include "convert/ConvertTexts.h"
#include "core/TextFile.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string Drill = "M48\r\nMETRIC\r\nT1C0.8\r\n%\r\nT1\r\nX10.0Y10.0\r\nX60.0Y20.0\r\nM30\r\n";
const std::string GerberX =
    "%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.5*%\r\nD10*\r\nX1000Y1000D02*\r\nX2000Y1000D01*\r\nM02*\r\n";

TEST(ConversionProposal, CutsTheFileNameAtItsFirstDot)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/d/a.ger", "/d/a.cam"},   {"/d/board.top.ger", "/d/board.cam"},
        {"/d/data", "/d/data.cam"}, {"/d.x/data", "/d.x/data.cam"},
        {"a.cam", "a.cam"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(proposedConversionOutput(in), out) << in;
}

struct Batch : ::testing::Test {
    TempDir dir;
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
    Settings settings;
    ApertureTable table;
    MacroLibrary library;
    ConversionResources resources{settings, table, library};

    ConversionRunOutcome run(ConversionBatch &batch) { return runConversion(batch, resources, prompter, status); }
};

TEST_F(Batch, SelectionProposesAsksAboutExistingFilesAndWarnsOfSameNames)
{
    std::string a = dir.write("a.ger", GerberX), b = dir.write("b.gbr", GerberX), data = dir.write("data", GerberX);
    dir.write("b.cam", "old");
    picker.openManyAnswers.push_back({a, b, data});
    prompter.answers.push_back(Answer::No);  // b.cam exists: not overwritten
    ConversionBatch batch(ConversionMode::Gerber);
    ASSERT_TRUE(batch.selectFiles(prompter, picker));

    EXPECT_EQ(batch.outputFiles(),
              (std::vector<std::string>{dir.file("a.cam"), dir.file("b.cam"), dir.file("data.cam")}));
    EXPECT_EQ(picker.asked[0].title, "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択");
    EXPECT_EQ(picker.asked[0].filter, convmsg::GerberFilesFilter);
    ASSERT_EQ(picker.asked.size(), 2U);  // the save dialog after No, cancelled
    EXPECT_EQ(picker.asked[1].title, "変換後ﾌｧｲﾙ名の保存");
    EXPECT_EQ(picker.asked[1].proposedName, dir.file("b.cam"));
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{dir.file("b.cam") + " ﾌｧｲﾙは既に存在します。上書きしますか？"});

    // An input already named .cam proposes itself.
    std::string cam = dir.write("c.cam", GerberX);
    picker.openManyAnswers.push_back({cam});
    batch.setMode(ConversionMode::Drill);
    batch.selectFiles(prompter, picker);
    EXPECT_EQ(picker.asked[2].title, "ﾄﾞﾘﾙﾌｧｲﾙの選択");
    EXPECT_EQ(prompter.texts().back(), "入出力のファイル名が同じものがあります。出力ファイル名を変更して下さい。");
    EXPECT_EQ(prompter.shown.back().kind, MessageKind::Warning);
}

TEST_F(Batch, RunRefusesClashingPairsAndConvertsTheOthers)
{
    // a.drl and a.nc both propose a.cam; the later pair gives way.
    std::string a = dir.write("a.drl", Drill), anc = dir.write("a.nc", Drill), b = dir.write("b.drl", Drill);
    ConversionBatch batch(ConversionMode::Drill);
    batch.setFiles({a, anc, b}, {}, prompter, picker);
    ConversionRunOutcome outcome = run(batch);

    ASSERT_EQ(outcome.end, ConversionRunOutcome::End::Finished);
    EXPECT_EQ(outcome.pairs[0].end, PairOutcome::End::Converted);
    EXPECT_EQ(outcome.pairs[1].end, PairOutcome::End::Refused);
    EXPECT_EQ(outcome.pairs[2].end, PairOutcome::End::Converted);
    EXPECT_EQ(outcome.pairs[0].verdict.result, CheckVerdict::Result::Same);
    EXPECT_TRUE(fileExists(dir.file("b.cam")));
    auto texts = prompter.texts();
    ASSERT_EQ(texts.size(), 2U);
    EXPECT_EQ(texts[0], std::string(convmsg::RefusedPair) + "a.nc → a.cam\n" + convmsg::RefusedOutputTaken);
    EXPECT_THAT(texts[1],
                StartsWith("フォーマット変換が終了しました！\n\na.drl → a.cam: 照合: 入力と出力は一致しました"));
    EXPECT_THAT(texts[1], HasSubstr("a.nc → a.cam: 変換しませんでした"));
    EXPECT_EQ(prompter.shown[1].kind, MessageKind::Information);
    EXPECT_EQ(status.statusHistory, (std::vector<std::string>{"a.drlを変換中．．．", "b.drlを変換中．．．"}));
    EXPECT_TRUE(batch.inputFiles().empty());
    EXPECT_TRUE(batch.outputFiles().empty());
    EXPECT_EQ(status.busyDepth, 0);
}

TEST_F(Batch, NoInputIsWrittenOverAndADeclinedOverwriteStands)
{
    std::string x = dir.write("x.drl", Drill), y = dir.write("y.drl", Drill), z = dir.write("z.drl", Drill);
    dir.write("z.cam", "keep");
    prompter.answers.push_back(Answer::No);  // z.cam: do not overwrite; the save dialog is cancelled
    ConversionBatch batch(ConversionMode::Drill);
    // y's output named onto x, the input of another pair; the output of x onto itself.
    batch.setFiles({x, y, z}, {x, x}, prompter, picker);
    ConversionRunOutcome outcome = run(batch);

    for (const PairOutcome &pair : outcome.pairs)
        EXPECT_EQ(pair.end, PairOutcome::End::Refused) << pair.input;
    EXPECT_EQ(outcome.pairs[0].reason, convmsg::RefusedOutputIsAnInput);
    EXPECT_EQ(outcome.pairs[1].reason, convmsg::RefusedOutputIsAnInput);
    EXPECT_EQ(outcome.pairs[2].reason, convmsg::RefusedOverwriteDeclined);
    EXPECT_EQ(TempDir::read(x), Drill);
    EXPECT_EQ(TempDir::read(dir.file("z.cam")), "keep");

    // Renamed by double click, with the dialog's overwrite confirmation, the pair runs.
    batch.setFiles({z}, {}, prompter, picker);
    picker.saveAnswers.push_back(dir.file("z.cam"));
    ASSERT_TRUE(batch.renameOutput(0, picker));
    EXPECT_FALSE(batch.refusal(0));
}

TEST_F(Batch, NothingSelectedAndAFileErrorEndTheRun)
{
    ConversionBatch batch(ConversionMode::Drill);
    EXPECT_EQ(run(batch).end, ConversionRunOutcome::End::NothingSelected);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ファイルを選択して下さい。"});
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Error);

    std::string a = dir.write("a.drl", Drill), c = dir.write("c.drl", Drill);
    batch.setFiles({a, dir.file("gone.drl"), c}, {}, prompter, picker);
    ConversionRunOutcome outcome = run(batch);
    EXPECT_EQ(outcome.end, ConversionRunOutcome::End::Ended);
    EXPECT_EQ(prompter.texts().back(), "ファイルが見つかりません");
    EXPECT_TRUE(fileExists(dir.file("a.cam")));
    EXPECT_FALSE(fileExists(dir.file("c.cam")));
    EXPECT_EQ(batch.inputFiles().size(), 3U);
}

TEST_F(Batch, ApertureQuestionOncePerRunOnlyForRs274XToRs274D)
{
    std::string a = dir.write("a.ger", GerberX), b = dir.write("b.gbr", GerberX);
    settings.gerberIn.dialect = GerberDialect::Rs274X;
    settings.gerberOut.dialect = GerberDialect::Rs274D;
    table.filePath = "/somewhere/old.apt";
    ConversionBatch batch(ConversionMode::Gerber);
    batch.setFiles({a, b}, {dir.file("a.cam"), dir.file("b.cam")}, prompter, picker);
    ConversionRunOutcome outcome = run(batch);
    EXPECT_EQ(outcome.end, ConversionRunOutcome::End::Finished);
    EXPECT_EQ(prompter.texts().front(), "アパーチャテーブルの自動設定を行いますか？");
    EXPECT_EQ(prompter.shown.front().kind, MessageKind::Confirmation);
    EXPECT_EQ(prompter.shown.size(), 2U);
    EXPECT_TRUE(outcome.autoApertureTable);
    EXPECT_EQ(table.Lookup(10).shape, "丸");
    EXPECT_NE(table.filePath, "/somewhere/old.apt");

    // RS-274X output, and drill mode: never asked.
    for (ConversionMode mode : {ConversionMode::Gerber, ConversionMode::Drill}) {
        settings.gerberOut.dialect = GerberDialect::Rs274X;
        prompter.shown.clear();
        batch.setMode(mode);
        batch.setFiles({dir.write("d.drl", Drill)}, {}, prompter, picker);
        run(batch);
        for (const std::string &text : prompter.texts())
            EXPECT_NE(text, convmsg::AskAutoApertureTable);
    }
}

TEST_F(Batch, AFileTheWriterStopsIsSkipped)
{
    // RS-274D expected but the first file declares RS-274X.
    std::string x = dir.write("x.ger", GerberX);
    std::string d = dir.write("d.ger", "G54D10*\r\nX1000Y1000D02*\r\nX2000Y1000D01*\r\nM02*\r\n");
    table.SetRow(10, "丸", "0.5");
    ConversionBatch batch(ConversionMode::Gerber);
    batch.setFiles({x, d}, {}, prompter, picker);
    ConversionRunOutcome outcome = run(batch);
    EXPECT_EQ(outcome.pairs[0].end, PairOutcome::End::Stopped);
    EXPECT_EQ(outcome.pairs[1].end, PairOutcome::End::Converted);
    EXPECT_EQ(prompter.texts().front(), convmsg::InputIsRs274X);
    EXPECT_FALSE(fileExists(dir.file("x.cam")));
    EXPECT_THAT(prompter.texts().back(), HasSubstr("x.ger → x.cam: 処理を中止しました"));
}

}  // namespace
}  // namespace korvane::testing
