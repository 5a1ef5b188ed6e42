#include "app/TMain.h"
#include "core/RegularFile.h"
#include "core/SettingsFile.h"
#include "platform/QtPrompter.h"
#include "support/FakePorts.h"
#include "support/MainWindowFixture.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

using namespace korvane;
using korvane::testing::FakeFilePicker;
using korvane::testing::FakeStatus;
using korvane::testing::MainFixture;
using korvane::testing::TempDir;

namespace {

// An RS-274D file that flashes 10,000 D-codes, none of them in the table.
std::string tenThousandUndefinedDCodes()
{
    std::string bytes;
    for (int dcode = 10; dcode < 10010; ++dcode)
        bytes += "D" + std::to_string(dcode) + "*X" + std::to_string(dcode * 100) + "Y0D03*\n";
    return bytes + "M02*\n";
}

// The question box of the window, answered as a user would: the tick for
// the rest of the file, then "はい".
TEST(QuestionFlood, TenThousandUndefinedDCodesAreOneQuestionInTheWindow)
{
    TempDir dir;
    saveSettingsFile(dir.file("Reravado4.ini"), Settings{});
    const std::string board = dir.write("flood.ger", tenThousandUndefinedDCodes());
    FakeFilePicker picker;
    FakeStatus status;
    TMainOptions options;
    options.startDirectory = QString::fromStdString(dir.path());
    options.picker = &picker;
    options.status = &status;
    TMain window(options);  // the window's own message boxes

    int boxes = 0;
    QString firstText, tickText;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (++boxes == 1)
            firstText = box->text();
        auto *same = box->findChild<QCheckBox *>("sameAnswerBox");
        if (same) {
            tickText = same->text();
            same->setChecked(true);
        }
        box->findChild<QPushButton *>("yesButton")->click();
    });
    answerer.start(0);
    window.openFiles({QString::fromStdString(board)});
    answerer.stop();

    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(firstText, "アパーチャ(D10)がセットされていません。処理を続行しますか？");
    EXPECT_EQ(tickText, "以降も同じ回答にする");
    // Every D-code took the answer "はい": each was flashed.
    std::set<std::int32_t> flashed;
    for (const DisplayItem &item : window.document().displayList.main())
        flashed.insert(item.code);
    EXPECT_EQ(flashed.size(), 10000U);
}

// A FIFO or a device named on the command line or picked in a file dialog
// is refused with a message naming it, and nothing waits on it.
TEST_F(MainFixture, DevicesAndFifosAreRefusedByTheCommandLineAndTheFileDialogs)
{
    writeSettings(Settings{});
    const std::string fifo = dir.file("pipe.gdb"), fifoGerber = dir.file("pipe.ger"), fifoDrill = dir.file("pipe.drl");
    for (const std::string &path : {fifo, fifoGerber, fifoDrill})
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    auto w = makeWindow();
    const struct {
        std::string path;
        unsigned type;
    } cases[] = {{fifo, S_IFIFO}, {fifoGerber, S_IFIFO}, {fifoDrill, S_IFIFO}, {"/dev/zero", S_IFCHR}};
    for (const auto &c : cases) {
        prompter.shown.clear();
        w->openFiles({QString::fromStdString(c.path)});
        ASSERT_FALSE(prompter.shown.empty()) << c.path;
        EXPECT_NE(prompter.shown.back().text.find(notRegularFileText(c.path, c.type)), std::string::npos)
            << prompter.shown.back().text;
    }
    prompter.shown.clear();
    picker.openAnswers.push_back(fifo);
    w->action("loadWorkspaceAction")->trigger();
    ASSERT_EQ(prompter.shown.size(), 1U);
    EXPECT_EQ(prompter.shown[0].text, notRegularFileText(fifo, S_IFIFO));
}

}  // namespace
