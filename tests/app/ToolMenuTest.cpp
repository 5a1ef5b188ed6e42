#include "app/TDdisp.h"
#include "app/TGNcheng.h"
#include "app/TGNreport.h"
#include "app/ToolMenuCommands.h"
#include "core/Encoding.h"
#include "gerber/FakePrintDevice.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

namespace korvane::testing {
namespace {

struct ToolMenu : MainFixture {
    FakePrintDevice printer;
    std::unique_ptr<TMain> window;
    ToolMenuCommands *commands = nullptr;

    void SetUp() override
    {
        TMainOptions options;
        options.startDirectory = QString::fromStdString(dir.path());
        options.prompter = &prompter;
        options.picker = &picker;
        options.status = &status;
        options.printDevice = &printer;
        window = std::make_unique<TMain>(options);
        prompter.shown.clear();  // the first start without a settings file
        commands = window->findChild<ToolMenuCommands *>("toolMenuCommands");
        ASSERT_NE(commands, nullptr);
    }

    // Runs `look` once the next modal window is up, then closes it.
    template <class Look>
    void whenShown(QDialog *dialog, Look look)
    {
        QTimer::singleShot(0, dialog, [dialog, look] {
            look();
            dialog->reject();
        });
    }

    static QString cell(QTableWidget *grid, int r, int c)
    {
        QTableWidgetItem *item = grid->item(r, c);
        return item ? item->text() : QString();
    }
};

TEST_F(ToolMenu, DcodeListOfAFileSavedAndPrinted)
{
    std::string in = dir.write("b.ger", "D10*X0Y0D03*X100Y0D03*D11*X0Y0D02*X100Y0D01*Y100*D10*X50Y50D03*M02*");
    picker.openAnswers.push_back(in);
    TDdisp *list = commands->dcodeList();
    bool looked = false;
    whenShown(list, [&] {
        looked = true;
        EXPECT_EQ(list->windowTitle().toStdString(), "使用Dコード一覧");
        EXPECT_EQ(list->sourceField()->text().toStdString(), "b.ger");
        ASSERT_EQ(list->grid()->rowCount(), 2);
        EXPECT_EQ(cell(list->grid(), 0, 1).toStdString(), "D10");
        EXPECT_EQ(cell(list->grid(), 0, 2).toStdString(), "3");
        EXPECT_EQ(cell(list->grid(), 1, 3).toStdString(), "2");
        EXPECT_EQ(list->grid()->horizontalHeaderItem(3)->text().toStdString(), " ﾄﾞﾛｰ");
        EXPECT_EQ(list->grid()->columnWidth(0), list->grid()->width() < 201 ? 28 : 39);
        picker.saveAnswers.push_back(dir.file("d.log"));
        list->findChild<QPushButton *>("saveButton")->click();
        list->findChild<QPushButton *>("printButton")->click();
    });
    window->action("dcodeListOfFileAction")->trigger();
    EXPECT_TRUE(looked);
    EXPECT_EQ(picker.asked[0].title, "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択");
    EXPECT_EQ(picker.asked[1].title, "Dcode一覧表の保存");
    EXPECT_EQ(picker.asked[1].defaultExtension, "log");
    EXPECT_TRUE(picker.asked[1].confirmOverwrite);
    EXPECT_EQ(cp932ToUtf8(TempDir::read(dir.file("d.log"))),
              "*\r\n*   KORVANE Ver4\r\n*\r\n*   使用Dcode番号一覧表\r\n*\r\n*   Gerber File: b.ger\r\n*\r\n\r\n" +
                  std::string(41, '-') + "\r\nD10    ﾌﾗｯｼｭ：3     ﾄﾞﾛｰ：0\r\nD11    ﾌﾗｯｼｭ：0     ﾄﾞﾛｰ：2\r\n" +
                  std::string(41, '-') + "\r\n");
    EXPECT_EQ(printer.calls.front(), "choose");
    ASSERT_EQ(printer.lines.size(), 13u);
    EXPECT_EQ(printer.lines[10], "    D10             3\t\t\t0");
}

TEST_F(ToolMenu, ToolListOfTheDisplayIsModeless)
{
    Document &doc = window->document();
    for (int tool : {5, 12, 5}) {
        AppendArgs a{ItemKind::MoveTo};
        a.code = tool;
        a.role = RoleDrillHit;
        a.toolSize = tool == 5 ? 0.8 : 1.2;
        doc.appendItem(a);
    }
    doc.drillLoaded = 1;
    commands->listToolsShown();
    TTdisp *list = commands->toolList();
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->isModal());
    EXPECT_EQ(list->windowTitle().toStdString(), "使用ツール番号の表示");
    EXPECT_EQ(list->grid()->rowCount(), 36);
    EXPECT_EQ(cell(list->grid(), 0, 1).toStdString(), "T05");
    EXPECT_EQ(cell(list->grid(), 0, 2).toStdString(), "2");
    EXPECT_EQ(cell(list->grid(), 1, 1).toStdString(), "T12");
    EXPECT_EQ(cell(list->grid(), 1, 3).toStdString(), "1.2");
    EXPECT_EQ(list->grid()->width(), 207);
    EXPECT_EQ(list->grid()->columnWidth(1), 48);
    // Without drill marks the window keeps what it showed.
    doc.drillLoaded = 0;
    commands->listToolsShown();
    EXPECT_EQ(cell(list->grid(), 0, 1).toStdString(), "T05");
    // A slot gets a row of its own, its column wide enough for its name.
    AppendArgs slot{ItemKind::LineTo};
    slot.code = 5;
    slot.role = RoleDrillSlot;
    slot.toolSize = 0.8;
    doc.appendItem(slot);
    doc.drillLoaded = 1;
    commands->listToolsShown();
    EXPECT_EQ(cell(list->grid(), 2, 1).toStdString(), "T05 長穴");
    EXPECT_EQ(cell(list->grid(), 2, 2).toStdString(), "1");
    EXPECT_GE(list->grid()->columnWidth(1),
              list->grid()->fontMetrics().horizontalAdvance(QString::fromUtf8("T05 長穴")));
    EXPECT_EQ(list->grid()->width(), 207 + list->grid()->columnWidth(1) - 48);
    list->close();
}

TEST_F(ToolMenu, DrillToGerberHoldsTheDialectAndShowsTheReport)
{
    Settings &s = window->settings();
    s.gerberIn.dialect = GerberDialect::Rs274X;
    s.gerberOut.dialect = GerberDialect::Rs274D;
    s.drillIn.decimalDigits = "3";
    TGNcheng *dialog = commands->creation();
    dialog->prepare(CreationDirection::DrillToGerber);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "ﾄﾞﾘﾙ → ｶﾞｰﾊﾞｰ作成");
    EXPECT_EQ(dialog->grid()->horizontalHeaderItem(1)->text().toStdString(), " ﾂｰﾙ");
    EXPECT_EQ(s.gerberIn.dialect, GerberDialect::Rs274D);

    std::string tbl = dir.write("t.tbl", "*\r\n*   ｶﾞｰﾊﾞｰ → ﾄﾞﾘﾙ作成ﾃｰﾌﾞﾙ\r\nT01 D10\r\n");
    picker.openAnswers.push_back(tbl);
    dialog->loadTable();
    EXPECT_EQ(dialog->findChild<QLineEdit *>("tableNameField")->text().toStdString(), "t.tbl");
    EXPECT_EQ(cell(dialog->grid(), 0, 2).toStdString(), "D10");

    std::string in = dir.write("a.drl", "T01\nX1000Y2000\nX3000Y2000\n");
    picker.openAnswers.push_back(in);
    picker.saveAnswers.push_back(dir.file("a.ger"));
    dialog->pickFiles();
    EXPECT_EQ(picker.asked.back().title, "変換後ﾌｧｲﾙの保存");
    EXPECT_EQ(picker.asked.back().defaultExtension, "ger");
    EXPECT_EQ(dialog->findChild<QLineEdit *>("sourceNameField")->text().toStdString(), "a.drl");

    TGNreport *report = dialog->report();
    bool looked = false;
    whenShown(report, [&] {
        looked = true;
        EXPECT_EQ(report->windowTitle().toStdString(), "ｶﾞｰﾊﾞｰ/ﾄﾞﾘﾙ作成ﾚﾎﾟｰﾄ");
        ASSERT_EQ(report->grid()->rowCount(), 1);
        EXPECT_EQ(report->grid()->horizontalHeaderItem(1)->text().toStdString(), "Tool");
        EXPECT_EQ(cell(report->grid(), 0, 1).toStdString(), "T01");
        EXPECT_EQ(cell(report->grid(), 0, 2).toStdString(), "D10");
        EXPECT_EQ(cell(report->grid(), 0, 3).toStdString(), "2");
        // Every column and the whole path in sight.
        EXPECT_FALSE(report->grid()->horizontalScrollBar()->isVisible());
        EXPECT_GE(report->inputName()->width(), report->inputName()->sizeHint().width());
    });
    dialog->run();
    EXPECT_TRUE(looked);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(TempDir::read(dir.file("a.ger")), "D10*\r\nG01X1000Y2000D03*\r\nG01X3000Y2000D03*\r\n");
    EXPECT_EQ(status.statusHistory.back(), "a.drlのガーバーデータを作成中．．．");

    dialog->done(QDialog::Rejected);
    EXPECT_EQ(s.gerberIn.dialect, GerberDialect::Rs274X) << "restored on closing";
    // Either menu command keeps the table; only the direction changes.
    dialog->prepare(CreationDirection::GerberToDrill);
    EXPECT_EQ(dialog->grid()->horizontalHeaderItem(1)->text().toStdString(), "Dｺｰﾄﾞ");
    EXPECT_EQ(cell(dialog->grid(), 0, 1).toStdString(), "T01");
    EXPECT_EQ(s.gerberIn.dialect, GerberDialect::Rs274X);
    dialog->done(QDialog::Rejected);
}

}  // namespace
}  // namespace korvane::testing
