#include "gerber/ApertureList.h"
#include "gerber/ApertureTexts.h"
#include "gerber/FakePrintDevice.h"
#include "support/FakePorts.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::testing;

namespace {

const std::string Dashes(39, '-');

std::vector<std::string> rowsOf(const std::vector<std::string> &lines)
{
    // Between the heading's dash line and the closing one.
    return {lines.begin() + 10, lines.end() - 1};
}

}  // namespace

TEST(ApertureList, SingleRowTable)
{
    ApertureTable table;
    table.filePath = "/data/a.apt";
    table.SetRow(10, "丸", "0.2");
    auto lines = apertureListLines(table);
    EXPECT_EQ(lines, (std::vector<std::string>{"*", "*   KORVANE Ver4", "*", "*   アパーチャテーブルの印刷", "*",
                                               "*   Aperture Table File: /data/a.apt", "*", "",
                                               " DｺｰﾄﾞNo.\t形    状\t\tサイズ", Dashes, "    D10        丸\t\t\t0.2",
                                               Dashes}));
}

TEST(ApertureList, TabsAndPaddingPerShape)
{
    ApertureTable table;
    table.filePath = "x";
    table.SetRow(11, "正方形", "0.5");
    table.SetRow(12, "トンボ", "**********");
    table.SetRow(13, "Macro 12", "**********");   // 8 bytes
    table.SetRow(14, "Macro 123", "**********");  // 9 bytes
    table.SetRow(15, "サーマル×", "1-0.6-0.5");
    table.SetRow(16, " ", "1");  // blank entry: not listed
    table.SetRow(17, "", "1");
    table.SetRow(999, "楕円ドーナツ", "1-2-0.5");
    table.row(20 - 9).shape = "カスタム";                // listed without a size
    table.row(14 - 9).dcodeLabel = "D0000000000000014";  // longer than the padding
    EXPECT_EQ(rowsOf(apertureListLines(table)), (std::vector<std::string>{
                                                    "    D11        正方形\t\t0.5",
                                                    "    D12        トンボ\t\t**********",
                                                    "    D13        Macro 12\t\t**********",
                                                    "    D0000000000000014Macro 123\t**********",
                                                    "    D15        サーマル×\t1-0.6-0.5",
                                                    "    D20        カスタム\t",
                                                    "    D999       楕円ドーナツ\t1-2-0.5",
                                                }));
}

TEST(ApertureList, RefusedWithoutAFile)
{
    ApertureTable table;
    table.SetRow(10, "丸", "0.2");
    FakePrintDevice device;
    FakePrompter prompter;
    FakeStatus status;
    EXPECT_FALSE(PrintApertureList(table, device, prompter, status));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "アパーチャテーブルファイルをロードしないと印刷出来ません！");
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(device.calls.empty());
}

TEST(ApertureList, PrintsTheLinesAndClosesEvenWhenInterrupted)
{
    ApertureTable table;
    table.filePath = "/data/board.apt";
    table.SetRow(10, "丸", "0.2");
    table.SetRow(11, "丸", "0.3");
    FakePrompter prompter;
    FakeStatus status;

    FakePrintDevice device;
    ASSERT_TRUE(PrintApertureList(table, device, prompter, status));
    EXPECT_EQ(device.lines, apertureListLines(table));
    EXPECT_EQ(device.calls, (std::vector<std::string>{"choose", "begin board.apt", "end"}));

    FakePrintDevice cancelledDialog;
    cancelledDialog.confirm = false;
    EXPECT_FALSE(PrintApertureList(table, cancelledDialog, prompter, status));
    EXPECT_EQ(cancelledDialog.calls, std::vector<std::string>{"choose"});

    FakePrintDevice cancelled;
    status.cancelRequested = true;
    EXPECT_TRUE(PrintApertureList(table, cancelled, prompter, status));
    ASSERT_EQ(cancelled.lines.size(), 11u);
    EXPECT_EQ(cancelled.lines.back(), Dashes);
    status.cancelRequested = false;

    FakePrintDevice failing;
    failing.failAtLine = 10;  // the first row
    EXPECT_FALSE(PrintApertureList(table, failing, prompter, status));
    EXPECT_EQ(failing.lines.back(), Dashes);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"入出力エラー 5"});
    EXPECT_TRUE(prompter.shown.size() == 1 && status.busyDepth == 0);
}
