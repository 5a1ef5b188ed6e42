#include "support/MainWindowFixture.h"

#include <QAction>

namespace korvane::testing {
namespace {

using TapeMenu = MainFixture;

TEST_F(TapeMenu, EbcdicCommandConvertsAndKeepsTheProposedCaption)
{
    auto window = makeWindow();
    std::string in = dir.write("plot.gbr", "X1*\r\n");
    picker.openAnswers.push_back(in);
    picker.saveAnswers.push_back(dir.file("plot.ebc"));
    window->findChild<QAction *>("asciiToEbcdicAction")->trigger();
    EXPECT_EQ(TempDir::read(dir.file("plot.ebc")), "\xE7\xF1\x5C\x0D\x15");
    EXPECT_EQ(prompter.texts().back(), "コード変換が終了しました！");
    EXPECT_EQ(window->windowTitle().toStdString(), dir.path() + "/plot.ebc");
    EXPECT_EQ(picker.asked.front().title, "ASCIIﾌｧｲﾙの選択");
}

}  // namespace
}  // namespace korvane::testing
