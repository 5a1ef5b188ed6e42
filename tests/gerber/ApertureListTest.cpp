#include "gerber/ApertureList.h"
#include "core/Encoding.h"
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
                                               " DｺｰﾄﾞNo.      形    状  サイズ", Dashes,
                                               "    D10        丸        0.2", Dashes}));
}

// Shapes and sizes each start in one column of a monospaced face, whatever
// the width of the texts before them (a double-byte character takes two).
TEST(ApertureList, ColumnsLineUpByTheTextsWidths)
{
    ApertureTable table;
    table.filePath = "x";
    table.SetRow(10, "丸", "0.2");
    table.SetRow(11, "正方形", "0.5");
    table.SetRow(12, "トンボ", "**********");
    table.SetRow(13, "Macro 12", "**********");
    table.SetRow(15, "サーマル×", "1-0.6-0.5");
    table.SetRow(16, " ", "1");  // blank entry: not listed
    table.SetRow(17, "", "1");
    table.SetRow(999, "楕円ドーナツ", "1-2-0.5");
    table.row(20 - 9).shape = "カスタム";  // listed without a size
    const auto rows = rowsOf(apertureListLines(table));
    const std::vector<std::pair<std::string, std::string>> expected = {{"丸", "0.2"},
                                                                       {"正方形", "0.5"},
                                                                       {"トンボ", "**********"},
                                                                       {"Macro 12", "**********"},
                                                                       {"サーマル×", "1-0.6-0.5"},
                                                                       {"カスタム", ""},
                                                                       {"楕円ドーナツ", "1-2-0.5"}};
    ASSERT_EQ(rows.size(), expected.size());
    // Where a text starts, in columns.
    auto columnOf = [](const std::string &line, const std::string &text) {
        return cp932Length(std::string_view(line).substr(0, line.find(text)));
    };
    const std::size_t shapeColumn = columnOf(rows[0], "丸"), sizeColumn = columnOf(rows[0], "0.2");
    EXPECT_EQ(shapeColumn, 15u);
    EXPECT_EQ(sizeColumn, 15u + cp932Length("楕円ドーナツ") + 2);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(columnOf(rows[i], expected[i].first), shapeColumn) << rows[i];
        if (!expected[i].second.empty())
            EXPECT_EQ(columnOf(rows[i], expected[i].second), sizeColumn) << rows[i];
        EXPECT_EQ(rows[i].find('\t'), std::string::npos);
    }
    EXPECT_EQ(rows[5], "    D20        カスタム");

    // A D-code longer than its column pushes the shapes right, all alike.
    table.row(14 - 9) = {"D0000000000000014", "Macro 123", "**********"};
    const auto wider = rowsOf(apertureListLines(table));
    EXPECT_EQ(wider[4], "    D0000000000000014  Macro 123     **********");
    EXPECT_EQ(columnOf(wider[0], "丸"), 23u);
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
