// The program's options, answered before any window starts; Qt's own
// dialogs in Japanese; the file pickers' filters and folders.
#include "app/CommandLine.h"
#include "app/QtJapanese.h"
#include "core/FileFilters.h"
#include "platform/QtFilePicker.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTranslator>
#include <gtest/gtest.h>

#include <sstream>

using namespace korvane;

TEST(CommandLine, HelpAndVersionAnswerAndUnknownOptionsAreRefused)
{
    struct Case {
        std::vector<std::string> arguments;
        std::optional<int> status;
        const char *out;  // what the output starts with
        const char *err;
    } cases[] = {
        {{"--help"}, 0, "使い方: korvane [ファイル ...]", ""},
        {{"board.gbr", "-h"}, 0, "使い方", ""},
        {{"--version"}, 0, "korvane 9.9", ""},
        {{"--fit", "board.gbr"}, 2, "", "korvane: 不明なオプションです: --fit"},
        {{"board.gbr", "-platform", "offscreen"}, std::nullopt, "", ""},
        {{}, std::nullopt, "", ""},
    };
    for (const Case &c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(answerCommandLine(c.arguments, "9.9", out, err), c.status) << c.out << c.err;
        EXPECT_EQ(out.str().rfind(c.out, 0), 0u) << out.str();
        EXPECT_EQ(err.str().rfind(c.err, 0), 0u) << err.str();
    }
}

TEST(QtJapanese, QtsOwnDialogsSpeakJapanese)
{
    ASSERT_TRUE(installQtJapanese(*QApplication::instance()));
    QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    EXPECT_NE(box.button(QDialogButtonBox::Cancel)->text(), "&Cancel");
    EXPECT_NE(QApplication::translate("QFileDialog", "File &name:"), "File &name:");
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
    // The other tests of this program see Qt as it was.
    for (QTranslator *t : QApplication::instance()->findChildren<QTranslator *>())
        QApplication::removeTranslator(t);
    QLocale::setDefault(QLocale::system());
}

TEST(QtFilePicker, GerberAndDrillPickersShowEveryCommonExtensionFirst)
{
    const QStringList gerber = qtOpenFilterFrom(filters::GerberOpen).split(";;");
    ASSERT_EQ(gerber.size(), 8);
    for (const char *pattern :
         {"*.gbr", "*.ger", "*.gtl", "*.gbl", "*.gto", "*.gts", "*.gbs", "*.cmp", "*.sol", "*.art", "*.pho", "*.GTL"})
        EXPECT_TRUE(gerber[0].split(QRegularExpression("[ ()]")).contains(pattern)) << pattern;
    EXPECT_EQ(gerber.mid(1).join(";;"), qtFilterFrom(filters::GerberOpen));
    EXPECT_TRUE(qtOpenFilterFrom(filters::DrillOpen).startsWith("Drill Files (*.drl *.ncd *.nc *.txt *.xln"));
    EXPECT_EQ(qtOpenFilterFrom("Table Files(*.tbl)|*.tbl"), qtFilterFrom("Table Files(*.tbl)|*.tbl"));

    // Each picker opens where it was used last; one not used yet where any was.
    QtFilePicker picker;
    FileDialogSpec gerberPick, drillPick, tablePick;
    gerberPick.title = "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択";
    drillPick.title = "ﾄﾞﾘﾙﾌｧｲﾙの選択";
    tablePick.title = "ﾃｰﾌﾞﾙﾌｧｲﾙの選択";
    picker.remember(gerberPick, "/data/jobs/a/top.gbr");
    picker.remember(drillPick, "/data/drills/a.drl");
    EXPECT_EQ(picker.startDirectory(gerberPick), "/data/jobs/a");
    EXPECT_EQ(picker.startDirectory(drillPick), "/data/drills");
    EXPECT_EQ(picker.startDirectory(tablePick), "/data/drills");
}
