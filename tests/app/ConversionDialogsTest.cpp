#include "app/TFconv.h"
#include "app/TTcheng.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <gmock/gmock.h>

namespace korvane::testing {
namespace {

using ::testing::StartsWith;

const std::string Drill = "M48\r\nMETRIC\r\nT1C0.8\r\n%\r\nT1\r\nX10.0Y10.0\r\nM30\r\n";

QStringList entries(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Runs `step` once the dialog's own event loop is running.
template <typename Step>
void whileOpen(Step step)
{
    QTimer::singleShot(0, step);
}

using ConversionDialog = MainFixture;

TEST_F(ConversionDialog, MenuModesCaptionsAndABatchRun)
{
    writeSettings(Settings{});
    auto window = makeWindow();
    TFconv *dialog = window->conversionDialog();
    EXPECT_EQ(dialog->mode(), ConversionMode::None);
    std::string a = dir.write("a.drl", Drill), anc = dir.write("a.nc", Drill), b = dir.write("b.drl", Drill);
    picker.openManyAnswers.push_back({a, anc, b});

    whileOpen([&] {
        EXPECT_EQ(dialog->windowTitle().toStdString(), "ﾄﾞﾘﾙﾌｧｲﾙﾌｫｰﾏｯﾄ変換");
        dialog->findChild<QPushButton *>("selectFilesButton")->click();
        auto *outputs = dialog->findChild<QListWidget *>("outputFileList");
        EXPECT_EQ(entries(dialog->findChild<QListWidget *>("inputFileList")).size(), 3);
        EXPECT_EQ(entries(outputs),
                  (QStringList{QString::fromStdString(dir.file("a.cam")), QString::fromStdString(dir.file("a.cam")),
                               QString::fromStdString(dir.file("b.cam"))}));
        // A double click names the output of one pair.
        picker.saveAnswers.push_back(dir.file("other.cam"));
        emit outputs->itemDoubleClicked(outputs->item(2));
        EXPECT_EQ(outputs->item(2)->text().toStdString(), dir.file("other.cam"));
        EXPECT_EQ(picker.asked.back().title, "変換後ﾌｧｲﾙ名の保存");

        dialog->findChild<QPushButton *>("runButton")->click();
        EXPECT_EQ(outputs->count(), 0);
        dialog->findChild<QPushButton *>("closeButton")->click();
    });
    window->action("convertDrillAction")->trigger();

    EXPECT_EQ(dialog->mode(), ConversionMode::Drill);
    EXPECT_TRUE(fileExists(dir.file("a.cam")));
    EXPECT_TRUE(fileExists(dir.file("other.cam")));
    ASSERT_EQ(prompter.texts().size(), 2U);
    EXPECT_THAT(prompter.texts()[0], StartsWith("この組は変換しません: a.nc → a.cam"));
    EXPECT_THAT(prompter.texts()[1], StartsWith("フォーマット変換が終了しました！"));

    // Closing empties the lists; the next opening starts empty, in its own mode.
    picker.openManyAnswers.push_back({a});
    whileOpen([&] {
        EXPECT_EQ(dialog->windowTitle().toStdString(), "ｶﾞｰﾊﾞｰﾌｧｲﾙﾌｫｰﾏｯﾄ変換");
        EXPECT_EQ(dialog->findChild<QListWidget *>("inputFileList")->count(), 0);
        dialog->selectFiles();
        EXPECT_EQ(picker.asked.back().title, "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択");
        dialog->findChild<QPushButton *>("closeButton")->click();
    });
    window->action("convertGerberAction")->trigger();
    EXPECT_TRUE(dialog->batch().inputFiles().empty());
    EXPECT_EQ(dialog->mode(), ConversionMode::Gerber);
}

using RenumberDialog = MainFixture;

TEST_F(RenumberDialog, CaptionsRowsAndColumns)
{
    auto window = makeWindow();
    TTcheng *dialog = window->renumberingDialog();
    for (auto [action, caption, rows] : {std::tuple{"renumberDcodesAction", "Dcode番号の変更", 100},
                                         std::tuple{"renumberToolsAction", "Tool番号の変更", 50}}) {
        whileOpen([&, caption = caption, rows = rows] {
            EXPECT_EQ(dialog->windowTitle().toStdString(), caption);
            QTableWidget *grid = dialog->grid();
            EXPECT_EQ(grid->rowCount(), rows);
            EXPECT_EQ(grid->horizontalHeaderItem(1)->text().toStdString(), "変換前");
            EXPECT_EQ(grid->item(rows - 1, 0)->text().toInt(), rows);
            EXPECT_EQ(grid->columnWidth(0), 35);
            EXPECT_EQ(grid->columnWidth(2), 52);
            dialog->reject();
        });
        window->action(action)->trigger();
    }
    QTableWidget narrow;
    narrow.setColumnCount(3);
    narrow.setFixedWidth(150);
    setChangeGridColumns(&narrow);
    EXPECT_EQ(narrow.columnWidth(0), 28);
}

TEST_F(RenumberDialog, ChecksRunAndReportEveryWord)
{
    writeSettings(Settings{});
    auto window = makeWindow();
    TTcheng *dialog = window->renumberingDialog();
    dialog->setMode(RenumberMode::Tool);
    dialog->run();
    EXPECT_EQ(prompter.texts().back(), "変換前ファイルを選択して下さい！");

    std::string in = dir.write("in.drl", "T1\r\nT2\r\nT1\r\n");
    picker.openAnswers.push_back(in);
    picker.saveAnswers.push_back(std::nullopt);
    dialog->selectFiles();
    EXPECT_EQ(picker.asked.back().defaultExtension, "drl");
    dialog->run();
    EXPECT_EQ(prompter.texts().back(), "変換後ファイルを設定して下さい！");

    picker.openAnswers.push_back(in);
    picker.saveAnswers.push_back(dir.file("out.drl"));
    dialog->selectFiles();
    dialog->run();
    EXPECT_EQ(prompter.texts().back(), "チェンジテーブルを設定して下さい！");
    EXPECT_EQ(prompter.shown.back().kind, MessageKind::Error);

    // Typed into the grid.
    dialog->grid()->item(0, 1)->setText("T1");
    dialog->grid()->item(0, 2)->setText("T05");
    QTableWidget *report = dialog->reportWindow()->grid();
    whileOpen([&] {
        EXPECT_EQ(dialog->reportWindow()->windowTitle().toStdString(), "変換結果レポート");
        dialog->reportWindow()->findChild<QPushButton *>("okButton")->click();
    });
    dialog->run();
    EXPECT_EQ(TempDir::read(dir.file("out.drl")), "T05\r\nT2\r\nT05\r\n");
    ASSERT_EQ(report->rowCount(), 3);
    EXPECT_EQ(report->item(2, 0)->text(), "3");
    EXPECT_EQ(report->item(1, 1)->text(), "T2");
    EXPECT_EQ(report->item(2, 2)->text(), "T05");

    // Saved, cleared by closing, loaded back.
    picker.saveAnswers.push_back(dir.file("t.tbl"));
    dialog->saveTable();
    EXPECT_EQ(picker.asked.back().title, "ﾃｰﾌﾞﾙﾌｧｲﾙの保存");
    dialog->reject();
    EXPECT_TRUE(dialog->grid()->item(0, 1)->text().isEmpty());
    EXPECT_TRUE(dialog->session().inputPath.empty());
    picker.openAnswers.push_back(dir.file("t.tbl"));
    dialog->loadTable();
    EXPECT_EQ(dialog->grid()->item(0, 2)->text(), "T05");
    EXPECT_EQ(dialog->session().tableFileName, "t.tbl");
    EXPECT_EQ(dialog->findChild<QLineEdit *>("tableFileName")->text(), "t.tbl");
}

}  // namespace
}  // namespace korvane::testing
