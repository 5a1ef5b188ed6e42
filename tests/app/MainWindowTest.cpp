#include "app/BoardPosition.h"
#include "app/DrawingArea.h"
#include "app/FormWidgets.h"
#include "app/HelpWindow.h"
#include "app/StatusNote.h"
#include "app/TAptbl.h"
#include "app/TGinFormat.h"
#include "app/TGoutFormat.h"
#include "app/TMain.h"
#include "app/TNinFormat.h"
#include "app/TNoutFormat.h"
#include "app/VersionBox.h"
#include "core/ParameterFile.h"
#include "core/SettingsFile.h"
#include "core/TextFile.h"
#include "support/FakePorts.h"
#include "support/MainWindowFixture.h"
#include "support/TempDir.h"

#include "app/TGerSel.h"
#include "gerber/GerberTexts.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::FakeFilePicker;
using korvane::testing::FakePrompter;
using korvane::testing::FakeStatus;
using korvane::testing::MainFixture;
using korvane::testing::TempDir;

namespace {

QStringList captionsOf(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << (a->isSeparator() ? "-" : a->text());
    return out;
}

QMenu *topMenu(TMain &w, const QString &caption)
{
    for (QAction *a : w.menuBar()->actions())
        if (a->text() == caption)
            return a->menu();
    return nullptr;
}

}  // namespace

TEST_F(MainFixture, StartsWithTheCompleteMenuMapAndTheDrawingCommandsOff)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    EXPECT_EQ(w->windowTitle(), "ＫＯＲＶＡＮＥ");
    EXPECT_TRUE(prompter.shown.empty());

    QStringList bar;
    for (QAction *a : w->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, (QStringList{"ﾌｧｲﾙ(&F)", "表示(&V)", "ﾃｰﾌﾞﾙ(&T)", "ﾌｫｰﾏｯﾄ設定(&S)", "ﾌｫｰﾏｯﾄ変換(&R)", "ｺｰﾄﾞ変換(&C)",
                                "印刷(&P)", "ﾂｰﾙ(&O)", "ﾍﾙﾌﾟ(&H)"}));
    EXPECT_EQ(captionsOf(topMenu(*w, "ﾌｧｲﾙ(&F)")),
              (QStringList{"ﾃﾞｰﾀの全消去(&N)", "ﾌｧｲﾙの読込(&O)", "ﾌｧｲﾙの保存(&S)", "-", "ｶﾞｰﾊﾞｰ読込(&G)",
                           "ドリル読込(&D)", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ(&C)", "-", "ｲﾒｰｼﾞﾌｧｲﾙの読込(&I)", "ｲﾒｰｼﾞﾌｧｲﾙの保存(&E)",
                           "-", "ﾌﾟﾘﾝﾀの設定(&P)", "画面ﾊｰﾄﾞｺﾋﾟｰ(&H)", "-", "終  了(&X)"}));
    EXPECT_EQ(captionsOf(topMenu(*w, "表示(&V)")),
              (QStringList{"全体表示  [Home]", "再表示     [Ins]", "ｽﾞｰﾑｲﾝ       +", "ｽﾞｰﾑｱｳﾄ     -"}));
    EXPECT_EQ(captionsOf(topMenu(*w, "ｺｰﾄﾞ変換(&C)")),
              (QStringList{"EIA →  ASCII(&E)", "ASCII → EIA(&A)", "EBCDIC → ASCII(&B)", "ASCII → EBCDIC(&S)"}));
    EXPECT_EQ(captionsOf(topMenu(*w, "ﾂｰﾙ(&O)")),
              (QStringList{"Dｺｰﾄﾞ変換(&A)", "Ｔｏｏｌ変換(&T)", "Dｺｰﾄﾞ番号一覧", "Ｔｏｏｌ番号一覧(&P)",
                           "ｶﾞｰﾊﾞｰ → ﾄﾞﾘﾙ(&G)", "ﾄﾞﾘﾙ → ｶﾞｰﾊﾞｰ(&D)"}));
    EXPECT_EQ(captionsOf(topMenu(*w, "ﾍﾙﾌﾟ(&H)")), (QStringList{"目次(&C)", "-", "ﾊﾞｰｼﾞｮﾝ情報(&A)"}));

    struct Shortcut {
        const char *action;
        const char *keys;
    } shortcuts[] = {{"loadGerberAction", "Ctrl+G"},
                     {"loadDrillAction", "Ctrl+D"},
                     {"copyToClipboardAction", "Ctrl+C"},
                     {"apertureTableAction", "Ctrl+A"},
                     {"layerTableAction", "Ctrl+L"}};
    for (const auto &s : shortcuts)
        EXPECT_EQ(w->action(s.action)->shortcut(), QKeySequence(s.keys)) << s.action;

    for (const char *off :
         {"saveWorkspaceAction", "copyToClipboardAction", "saveImageAction", "screenHardCopyAction", "fitAllAction",
          "redrawAction", "zoomInAction", "zoomOutAction", "dcodeListOfDisplayAction", "toolListOfDisplayAction"})
        EXPECT_FALSE(w->action(off)->isEnabled()) << off;
    for (const char *on : {"clearAllAction", "loadWorkspaceAction", "loadGerberAction", "loadDrillAction",
                           "apertureTableAction", "dcodeListOfFileAction", "drillToGerberAction"})
        EXPECT_TRUE(w->action(on)->isEnabled()) << on;
    EXPECT_TRUE(w->toolMarkPanel()->isHidden());
    EXPECT_EQ(w->toolMarkPanel()->width(), 86);
}

TEST_F(MainFixture, EnablingFollowsTheLoadsAndClearAll)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->show();
    w->drillFileReadWithHits();
    EXPECT_TRUE(w->action("fitAllAction")->isEnabled());
    EXPECT_TRUE(w->action("toolListOfDisplayAction")->isEnabled());
    EXPECT_FALSE(w->action("dcodeListOfDisplayAction")->isEnabled());
    EXPECT_TRUE(w->toolMarkPanel()->isVisible());
    w->clearAllData();
    EXPECT_FALSE(w->toolMarkPanel()->isVisible());
    EXPECT_FALSE(w->action("toolListOfDisplayAction")->isEnabled());
    EXPECT_FALSE(w->action("saveWorkspaceAction")->isEnabled());

    w->gerberFileRead();
    w->drillFileReadWithHits();
    w->presentDataCleared();
    EXPECT_TRUE(w->action("zoomInAction")->isEnabled());
    EXPECT_FALSE(w->action("dcodeListOfDisplayAction")->isEnabled());
    EXPECT_FALSE(w->toolMarkPanel()->isVisible());
}

// The first start in a folder: no message box before the window, the
// defaults, and a note in the status bar that names the file.
TEST_F(MainFixture, AMissingSettingsFileStartsWithTheDefaultsAndTheFirstCloseCreatesIt)
{
    auto w = makeWindow();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(w->settings(), Settings{});
    auto *note = w->findChild<StatusNote *>("statusPanel1");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->note().toStdString(), dir.file("Reravado4.ini") + NoSettingsFileNote);
    w->show();
    w->close();
    auto bytes = TempDir::read(dir.file("Reravado4.ini"));
    EXPECT_EQ(bytes.substr(0, 15), "[Layer Table]\r\n");
}

TEST_F(MainFixture, SettingsAreShownInTheDialogsAndEditsAreSavedAtClose)
{
    Settings s;
    s.gerberIn.dialect = GerberDialect::Rs274D;
    s.gerberOut.dialect = GerberDialect::Rs274X;
    s.drillOut.initCommand = "M48 INCH";
    s.layerColours[12] = colours::Navy;
    writeSettings(s);
    auto w = makeWindow();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(w->document().layers.slot(13).colour, colours::Navy);

    // RS-274D in, RS-274X out: the aperture button is usable.
    auto *aperture = w->gerberOutFormatDialog()->findChild<QPushButton *>("apertureButton");
    EXPECT_TRUE(aperture->isEnabled());
    // Changing the input dialect in its own dialog re-evaluates the other dialog's button.
    w->gerberInFormatDialog()->findChild<QRadioButton *>("dialectGroupChoice1")->click();
    EXPECT_EQ(w->settings().gerberIn.dialect, GerberDialect::Rs274X);
    EXPECT_FALSE(aperture->isEnabled());
    w->gerberInFormatDialog()->findChild<QRadioButton *>("dialectGroupChoice0")->click();
    EXPECT_TRUE(aperture->isEnabled());
    w->gerberOutFormatDialog()->findChild<QRadioButton *>("dialectGroupChoice0")->click();
    EXPECT_FALSE(aperture->isEnabled());

    auto *drillOut = w->drillOutFormatDialog();
    EXPECT_EQ(drillOut->findChild<QLineEdit *>("initCommandEdit")->text(), "M48 INCH");
    drillOut->findChild<QLineEdit *>("toolChangeEdit")->setText("M06  T%T");
    drillOut->findChild<QRadioButton *>("toolDigitsGroupChoice0")->click();
    w->drillInFormatDialog()->findChild<QComboBox *>("decimalDigitsBox")->setCurrentText("4");
    w->gerberInFormatDialog()->findChild<QRadioButton *>("arcModeGroupChoice1")->click();

    w->show();
    w->close();
    Settings read;
    FakePrompter quiet;
    loadSettingsFile(dir.file("Reravado4.ini"), read, quiet);
    EXPECT_EQ(read.drillOut.toolChange, "M06  T%T");
    EXPECT_EQ(read.drillOut.toolDigits, 1);
    EXPECT_EQ(read.drillIn.decimalDigits, "4");
    EXPECT_EQ(read.gerberIn.arcMode, ArcMode::QuarterCircle);
    EXPECT_EQ(read.gerberOut.dialect, GerberDialect::Rs274D);
    EXPECT_EQ(read.layerColours[12], colours::Navy);
}

TEST_F(MainFixture, ParameterFileLoadUpdatesTheDialogAndTheApertureButton)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    GerberOutFormat x;
    x.dialect = GerberDialect::Rs274X;
    x.initCommand = " G71* ";
    saveGerberOutParameters(dir.file("x.prm"), x);
    picker.openAnswers.push_back(dir.file("x.prm"));
    auto *dialog = w->gerberOutFormatDialog();
    dialog->findChild<QPushButton *>("loadButton")->click();
    EXPECT_EQ(picker.asked.back().title, "ﾊﾟﾗﾒｰﾀﾌｧｲﾙの選択");
    EXPECT_EQ(w->settings().gerberOut.initCommand, " G71* ");
    EXPECT_EQ(dialog->findChild<QLineEdit *>("initCommandEdit")->text(), " G71* ");
    EXPECT_TRUE(dialog->findChild<QPushButton *>("apertureButton")->isEnabled());
}

TEST_F(MainFixture, TheLayerFileSelectionDisablesEbcdicAndEia)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->settings().gerberIn.charCode = CharCode::Ebcdic;
    w->gerberInFormatDialog()->setEbcdicEnabled(false);
    EXPECT_EQ(w->settings().gerberIn.charCode, CharCode::Ascii);
    EXPECT_FALSE(w->gerberInFormatDialog()->findChild<QRadioButton *>("codeGroupChoice1")->isEnabled());
    w->drillInFormatDialog()->setEiaEnabled(false);
    EXPECT_FALSE(w->drillInFormatDialog()->findChild<QRadioButton *>("codeGroupChoice1")->isEnabled());
}

TEST_F(MainFixture, AnUnwritableSettingsFileIsReportedAtClose)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    // A folder in place of the file: the write must fail, whoever runs the test.
    std::filesystem::remove(dir.file("Reravado4.ini"));
    std::filesystem::create_directory(dir.file("Reravado4.ini"));
    w->show();
    w->close();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ファイルへのアクセスが拒否されました"});
}

TEST_F(MainFixture, HelpShowsTheJapaneseContentsAndClosesWithTheWindow)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->show();
    w->action("helpContentsAction")->trigger();
    auto *help = w->findChild<HelpWindow *>("HelpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    QString text = help->browser()->toPlainText();
    EXPECT_TRUE(text.contains("目次"));
    EXPECT_TRUE(text.contains("ｶﾞｰﾊﾞｰ読込(G)"));
    w->close();
    EXPECT_FALSE(help->isVisible());

    // Esc closes it too.
    w->show();
    w->action("helpContentsAction")->trigger();
    ASSERT_TRUE(help->isVisible());
    help->activateWindow();
    QTest::keyClick(help->browser(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

// A note wider than its panel ends in "…" with the whole text as tooltip;
// the next command starts without it.
TEST_F(MainFixture, TheStatusNoteShowsItsWholeTextAndGoesWithTheNextCommand)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->resize(800, 600);
    w->show();
    const std::string data = KORVANE_TEST_DATA;
    ASSERT_TRUE(w->openFiles({QString::fromStdString(data + "/gerber/copper_mm.gbr")}));
    auto *note = w->findChild<StatusNote *>("statusPanel1");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text().toStdString(), gerbermsg::ReadAsRs274X);  // whole at this width
    EXPECT_TRUE(note->toolTip().isEmpty());
    w->resize(560, 600);
    QApplication::processEvents();
    EXPECT_TRUE(note->text().contains(QChar(0x2026))) << note->text().toStdString();
    EXPECT_EQ(note->toolTip().toStdString(), gerbermsg::ReadAsRs274X);
    EXPECT_EQ(note->note().toStdString(), gerbermsg::ReadAsRs274X);

    // A view command keeps it; clear-all (any other command) starts afresh.
    w->action("fitAllAction")->trigger();
    EXPECT_FALSE(note->note().isEmpty());
    prompter.answers = {Answer::No};
    w->action("clearAllAction")->trigger();
    EXPECT_TRUE(note->note().isEmpty());
    EXPECT_TRUE(note->text().isEmpty());
}

// An RS-274X load writes its own apertures over a loaded table: the table
// window no longer names (nor proposes to overwrite) the table file.
TEST_F(MainFixture, AnRs274XLoadTakesTheTableFilesNameOffTheApertureWindow)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->resize(800, 600);
    w->show();
    const std::string data = KORVANE_TEST_DATA;
    ASSERT_TRUE(w->openFiles({QString::fromStdString(data + "/gerber/board_d.apt")}));
    ASSERT_EQ(w->apertureTable().title, "board_d.apt");
    ASSERT_TRUE(w->openFiles({QString::fromStdString(data + "/gerber/copper_mm.gbr")}));
    QString title;
    QTimer::singleShot(0, [&] {
        title = w->apertureTableDialog()->windowTitle();
        w->apertureTableDialog()->reject();
    });
    w->action("apertureTableAction")->trigger();
    EXPECT_EQ(title, "アパーチャテーブル");
    EXPECT_EQ(w->apertureTable().title, "アパーチャテーブル");
}

TEST_F(MainFixture, VersionBoxShowsProductVersionAndOk)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    auto *box = w->findChild<VersionBox *>("VersionBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "バージョン情報");
    EXPECT_EQ(box->findChild<QLabel *>("productLabel")->text(), "KORVANE");
    EXPECT_TRUE(box->findChild<QLabel *>("productLabel")->font().bold());
    EXPECT_EQ(box->findChild<QLabel *>("versionLabel")->text(), "Ver4.2.36");
    auto *ok = box->findChild<QPushButton *>("okButton");
    EXPECT_EQ(ok->text(), "O   K");
    QTimer::singleShot(0, ok, &QPushButton::click);
    w->action("versionAction")->trigger();  // returns once OK closed it
    EXPECT_FALSE(box->isVisible());
}

TEST_F(MainFixture, TheApertureTableOpensFromTheMenuAndFromTheOutputFormat)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    auto *table = w->apertureTableDialog();
    ASSERT_NE(table, nullptr);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = table->isVisible();
        table->reject();
    });
    w->action("apertureTableAction")->trigger();
    EXPECT_TRUE(shown);

    w->settings().gerberOut.dialect = GerberDialect::Rs274X;
    auto *out = w->gerberOutFormatDialog();
    out->showRecord();
    shown = false;
    QTimer::singleShot(0, [&] {
        out->findChild<QPushButton *>("apertureButton")->click();
        out->accept();
    });
    QTimer::singleShot(0, [&] {
        shown = table->isVisible() && table->parentWidget() == out;
        table->reject();
    });
    w->action("gerberOutFormatAction")->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(MainFixture, GerberFilesOnTheCommandLineAreReadIntoSlotsAndDrawn)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->resize(800, 600);
    w->show();
    const std::string data = KORVANE_TEST_DATA;
    ASSERT_TRUE(w->openFiles({QString::fromStdString(data + "/gerber/copper_mm.gbr")}));
    EXPECT_TRUE(prompter.shown.empty()) << (prompter.shown.empty() ? "" : prompter.shown[0].text);
    // The file's %FS and %MO made the load RS-274X.
    EXPECT_EQ(w->settings().gerberIn.dialect, GerberDialect::Rs274X);
    EXPECT_EQ(w->settings().gerberIn.decimalDigits, "6");
    auto *panel = w->findChild<QLabel *>("statusPanel1");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->text().toStdString(), gerbermsg::ReadAsRs274X);
    EXPECT_EQ(w->document().layers.slot(1).fileName, "copper_mm.gbr");
    EXPECT_EQ(w->document().gerberLoaded, 1);
    EXPECT_GT(w->document().displayList.size(), 100u);
    EXPECT_TRUE(w->action("zoomInAction")->isEnabled());
    EXPECT_TRUE(w->action("dcodeListOfDisplayAction")->isEnabled());
    EXPECT_FALSE(w->drawingArea()->picture().isNull());
    EXPECT_EQ(w->drawingArea()->picture().format(), QImage::Format_RGB16);
    EXPECT_EQ(status.status, "");
    EXPECT_EQ(status.busyDepth, 0);
}

TEST_F(MainFixture, ARefusedLoadLeavesTheDrawingThatWasThere)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->resize(800, 600);
    w->show();
    const std::string data = KORVANE_TEST_DATA;
    ASSERT_TRUE(w->openFiles({QString::fromStdString(data + "/gerber/copper_mm.gbr")}));
    std::size_t items = w->document().displayList.size();
    QImage before = w->drawingArea()->picture();
    // An RS-274X load of a file without %FS or %MO is refused by the pre-scan.
    std::string empty = dir.write("plain.gbr", "X1000Y1000D03*\n");
    // As the layer file selection leaves it: slot 1 unchanged, slot 2 new.
    w->document().layers.slot(1).pendingPath = AlreadyLoadedMarker;
    w->document().layers.slot(2) = {empty, "plain.gbr", empty, "gb", colours::Red, 1, ""};
    w->document().keepExisting = 0;
    w->loadGerberLayers();
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.texts().back(),
              "拡張ガーバー（RS274X）と思われないので処理を中止します。フォーマットを確認して下さい。");
    EXPECT_EQ(w->document().displayList.size(), items);
    EXPECT_EQ(w->drawingArea()->picture(), before);
}

// After a load that stopped at a missing file, only the slots whose file
// was read keep their name and tick.
TEST_F(MainFixture, SlotsAStoppedLoadNeverReadAreNotListed)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->resize(800, 600);
    w->show();
    const std::string data = KORVANE_TEST_DATA;
    const std::string a = data + "/gerber/copper_mm.gbr", b = dir.write("b.gbr", "%FSLAX46Y46*%%MOMM*%X1Y1D02*M02*\n");
    EXPECT_FALSE(w->openFiles(
        {QString::fromStdString(a), QString::fromStdString(dir.file("missing.gbr")), QString::fromStdString(b)}));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"missing.gbr\nファイルが見つかりません"});
    const LayerTable &layers = w->document().layers;
    EXPECT_EQ(layers.slot(1).fileName, "copper_mm.gbr");
    EXPECT_EQ(layers.slot(1).visible, 1);
    for (int n : {2, 3}) {
        EXPECT_EQ(layers.slot(n).fileName, "") << n;
        EXPECT_EQ(layers.slot(n).visible, 0) << n;
        EXPECT_EQ(layers.slot(n).pendingPath, "") << n;
        EXPECT_TRUE(w->layerSelectionDialog()->nameField(n)->text().isEmpty()) << n;
    }
}

TEST_F(MainFixture, AWorkspaceSavedFromOneWindowOpensInAnother)
{
    writeSettings(Settings{});
    const std::string data = KORVANE_TEST_DATA;
    std::string gdb = dir.file("board.gdb");
    {
        auto w = makeWindow();
        w->resize(800, 600);
        w->show();
        ASSERT_TRUE(w->openFiles({QString::fromStdString(data + "/gerber/copper_mm.gbr")}));
        picker.saveAnswers.push_back(gdb);
        w->action("saveWorkspaceAction")->trigger();
        EXPECT_EQ(picker.asked.back().title, "ﾃﾞｰﾀﾍﾞｰｽの保存");
    }
    auto w = makeWindow();
    w->resize(800, 600);
    w->show();
    ASSERT_TRUE(w->openFiles({QString::fromStdString(gdb)}));
    EXPECT_TRUE(w->action("saveWorkspaceAction")->isEnabled());
    EXPECT_TRUE(w->action("dcodeListOfDisplayAction")->isEnabled());
    EXPECT_EQ(w->document().layers.slot(1).fileName, "copper_mm.gbr");
    EXPECT_FALSE(w->drawingArea()->picture().isNull());

    // Clear all asks first, then empties the drawing and the commands.
    prompter.answers = {Answer::Yes};
    w->action("clearAllAction")->trigger();
    EXPECT_EQ(prompter.texts().back(), "全てのデータを消去して初期化しますか？");
    EXPECT_EQ(w->document().displayList.size(), 0u);
    EXPECT_FALSE(w->action("saveWorkspaceAction")->isEnabled());
}

TEST_F(MainFixture, DrillFilesOnTheCommandLineJoinTheGerberDrawing)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->resize(800, 600);
    w->show();
    const std::string data = KORVANE_TEST_DATA;
    ASSERT_TRUE(w->openFiles(
        {QString::fromStdString(data + "/drill/board.drl"), QString::fromStdString(data + "/gerber/copper_mm.gbr")}));
    EXPECT_TRUE(prompter.shown.empty()) << (prompter.shown.empty() ? "" : prompter.shown[0].text);
    // The Gerber file takes slot 1 and the drill file the next one.
    EXPECT_EQ(w->document().layers.slot(1).fileKind, "gb");
    EXPECT_EQ(w->document().layers.slot(2).fileKind, "nc");
    EXPECT_EQ(w->document().layers.slot(2).fileName, "board.drl");
    int hits = 0, gerberItems = 0;
    for (const auto &item : w->document().displayList.main()) {
        hits += item.role == RoleDrillHit;
        gerberItems += item.layer == 1;
    }
    EXPECT_EQ(hits, 12);
    EXPECT_GT(gerberItems, 20);
    EXPECT_TRUE(w->toolMarkPanel()->isVisible());
    EXPECT_TRUE(w->action("toolListOfDisplayAction")->isEnabled());
    EXPECT_TRUE(w->action("dcodeListOfDisplayAction")->isEnabled());
}

namespace {

// A board like gen_big.py's big.gbr (traces, pads, arcs and regions spread
// over 300 x 200 mm), n objects; deterministic.
std::string bigBoard(int n)
{
    std::string out = "%FSLAX33Y33*%\n%MOMM*%\n%LPD*%\n%ADD10C,0.200*%\n%ADD11C,0.500*%\n%ADD12R,1.200X0.800*%\n"
                      "%ADD13O,1.500X0.900*%\nG01*\n";
    unsigned seed = 1;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % range);
    };
    for (int i = 0; i < n; ++i) {
        const int x = next(300000), y = next(200000);
        char line[160];
        switch (i % 4) {
        case 0:
            std::snprintf(line, sizeof line, "D10*\nX%dY%dD02*\nX%dY%dD01*\n", x, y, x + next(10000) - 5000,
                          y + next(10000) - 5000);
            break;
        case 1: std::snprintf(line, sizeof line, "D%d*\nX%dY%dD03*\n", 11 + next(3), x, y); break;
        case 2:
            std::snprintf(line, sizeof line, "D11*\nG75*\nX%dY%dD02*\nG03X%dY%dI-2000J0D01*\nG01*\n", x, y, x - 2000,
                          y + 2000);
            break;
        default:
            std::snprintf(line, sizeof line, "G36*\nX%dY%dD02*\nX%dY%dD01*\nX%dY%dD01*\nX%dY%dD01*\nG37*\n", x, y,
                          x + 3000, y, x + 3000, y + 2000, x, y);
        }
        out += line;
    }
    return out + "M02*\n";
}

}  // namespace

// A zoom step of a large board keeps the point at the centre of the view
// in view, at the centre. KORVANE_BIG_GERBER names gen_big.py's big.gbr to
// try the real one; without it a board of the same kind, smaller, is made.
TEST_F(MainFixture, AZoomStepOfALargeBoardKeepsTheCentrePoint)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->resize(1000, 700);
    w->show();
    QApplication::processEvents();  // the drawing area takes the window's size
    const char *big = std::getenv("KORVANE_BIG_GERBER");
    const std::string path = big && *big ? std::string(big) : dir.write("big.gbr", bigBoard(40000));
    ASSERT_TRUE(w->openFiles({QString::fromStdString(path)}));
    DrawingArea &area = *w->drawingArea();
    // The centre of the view as it is now: scroll bars that come with the
    // zoom move it.
    auto boardAtCentre = [&] {
        const QPoint pixel = area.scrollPosition() + area.viewportCentre();
        return *boardPointAt(area.view().transform(), pixel.x(), pixel.y());
    };
    for (int step = 0; step < 2; ++step) {
        const Point before = boardAtCentre();
        w->action("zoomInAction")->trigger();
        const Point after = boardAtCentre();
        const ViewTransform &t = area.view().transform();
        EXPECT_NEAR(after.x, before.x, 2 * t.mmPerPixelX / t.scale) << step;
        EXPECT_NEAR(after.y, before.y, 2 * t.mmPerPixelY / t.scale) << step;
    }
    EXPECT_GT(area.pictureWidth(), area.scrollArea()->viewport()->width());
    EXPECT_TRUE(prompter.shown.empty());
}
