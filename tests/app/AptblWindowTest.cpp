#include "app/ApertureShapePicker.h"
#include "app/ApertureSizeEntry.h"
#include "app/TAptbl.h"
#include "gerber/ApertureFiles.h"
#include "gerber/ApertureList.h"
#include "gerber/ApertureTexts.h"
#include "gerber/FakePrintDevice.h"
#include "platform/QtPrintDevice.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::testing;

namespace {

// The window with its small dialogs replaced by scripted answers.
class ScriptedAptbl : public TAptbl {
public:
    using TAptbl::TAptbl;
    std::vector<std::string> opened;
    std::optional<std::string> shapeAnswer;
    SizeEntryResult sizeAnswer{SizeEntryExit::Cancel, ""};

protected:
    std::optional<std::string> pickShape(const ApertureDef &row) override
    {
        opened.push_back("shape " + row.dcodeLabel);
        return shapeAnswer;
    }
    SizeEntryResult enterSize(const ApertureDef &row) override
    {
        opened.push_back("size " + row.dcodeLabel + " " + row.size);
        return sizeAnswer;
    }
    void showMacroPreview(const ApertureDef &row) override { opened.push_back("preview " + row.dcodeLabel); }
};

struct AptblFixture : ::testing::Test {
    TempDir dir;
    ApertureTable table;
    MacroLibrary macros;
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
    FakePrintDevice printer;
    DialogPorts ports{prompter, picker, status};

    QString cell(TAptbl &w, int rowNumber, int column)
    {
        return w.model()->data(w.model()->index(rowNumber - 1, column)).toString();
    }
};

}  // namespace

TEST_F(AptblFixture, ShowsTheTableInAModelGrid)
{
    table.SetRow(10, "丸", "0.2");
    table.SetRow(999, "楕円ドーナツ", "1-2-0.5");
    table.filePath = "/data/board.apt";
    table.title = "board.apt";
    TAptbl w(table, macros, ports, printer);
    w.show();
    EXPECT_EQ(w.windowTitle(), "board.apt");
    EXPECT_EQ(w.pathField()->text(), "/data/board.apt");
    EXPECT_TRUE(w.pathField()->isReadOnly());
    EXPECT_EQ(w.model()->rowCount(), 990);
    QStringList headings;
    for (int c = 0; c < 4; ++c)
        headings << w.model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings, (QStringList{"No.", "Dｺｰﾄﾞ", "      形  状", "      サイズ(mm)"}));
    EXPECT_EQ(cell(w, 1, 0), "1");
    EXPECT_EQ(cell(w, 1, 1), "D10");
    EXPECT_EQ(cell(w, 1, 2), "丸");
    EXPECT_EQ(cell(w, 990, 1), "D999");
    EXPECT_EQ(cell(w, 990, 3), "1-2-0.5");
    EXPECT_EQ(w.grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QStringList buttons;
    for (QPushButton *b : {w.loadButton(), w.saveButton(), w.printButton(), w.gapButton(), w.closeButton()})
        buttons << b->text();
    EXPECT_EQ(buttons, (QStringList{"ロード", "セーブ", "テーブル印刷", "GAPの取込", "閉じる"}));
    EXPECT_NE(w.findChild<QLabel *>()->text().indexOf("アパーチャテーブル："), -1);
}

TEST_F(AptblFixture, ClicksEditRowsByTheRules)
{
    table.SetRow(10, "カスタム", "1");
    table.SetRow(11, "丸", "0.2");
    table.SetRow(12, "Macro 1", "**********");
    ScriptedAptbl w(table, macros, ports, printer);

    // Locked row: neither list nor box opens.
    w.clickCell(1, ApertureTableModel::ShapeColumn);
    w.clickCell(1, ApertureTableModel::SizeColumn);
    EXPECT_TRUE(w.opened.empty());
    EXPECT_EQ(table.Lookup(10).shape, "カスタム");

    // A mark takes the placeholder without the size box.
    w.shapeAnswer = "トンボ";
    w.clickCell(2, ApertureTableModel::ShapeColumn);
    EXPECT_EQ(w.opened, std::vector<std::string>{"shape D11"});
    EXPECT_EQ(table.Lookup(11).size, "**********");
    EXPECT_EQ(cell(w, 2, 3), "**********");

    // Another shape goes on to the size box, which stores on OK.
    w.opened.clear();
    w.shapeAnswer = "長方形";
    w.sizeAnswer = {SizeEntryExit::Ok, "1.5-0.8"};
    w.clickCell(2, ApertureTableModel::ShapeColumn);
    EXPECT_EQ(w.opened, (std::vector<std::string>{"shape D11", "size D11 **********"}));
    EXPECT_EQ(cell(w, 2, 2), "長方形");
    EXPECT_EQ(cell(w, 2, 3), "1.5-0.8");

    // No pick: nothing changes and no size box.
    w.opened.clear();
    w.shapeAnswer.reset();
    w.clickCell(2, ApertureTableModel::ShapeColumn);
    EXPECT_EQ(w.opened, std::vector<std::string>{"shape D11"});
    EXPECT_EQ(table.Lookup(11).shape, "長方形");

    // Size cell; the D-code cell previews macros only.
    w.opened.clear();
    w.sizeAnswer = {SizeEntryExit::Cancel, "9"};
    w.clickCell(2, ApertureTableModel::SizeColumn);
    w.clickCell(2, ApertureTableModel::DCodeColumn);
    w.clickCell(3, ApertureTableModel::DCodeColumn);
    w.clickCell(0, ApertureTableModel::SizeColumn);
    w.clickCell(991, ApertureTableModel::SizeColumn);
    EXPECT_EQ(w.opened, (std::vector<std::string>{"size D11 1.5-0.8", "preview D12"}));
    EXPECT_EQ(table.Lookup(11).size, "1.5-0.8");
}

TEST_F(AptblFixture, ButtonsRunTheCommands)
{
    ApertureTable source;
    source.SetRow(20, "正方形", "0.7");
    std::string path = dir.write("board.apt", aptBytes(source));
    TAptbl w(table, macros, ports, printer);
    w.show();

    w.printButton()->click();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"アパーチャテーブルファイルをロードしないと印刷出来ません！"});

    picker.openAnswers.push_back(path);
    w.loadButton()->click();
    EXPECT_EQ(w.pathField()->text(), QString::fromStdString(path));
    EXPECT_EQ(cell(w, 11, 2), "正方形");

    w.printButton()->click();
    EXPECT_EQ(printer.lines, apertureListLines(table));
}

TEST(AptblShapePicker, ClickOrEnterPicksEscCloses)
{
    {
        ApertureShapePicker picker("丸");
        picker.show();
        EXPECT_EQ(picker.windowTitle(), "形状の選択");
        ASSERT_EQ(picker.list()->count(), 13);
        EXPECT_EQ(picker.list()->item(0)->text(), " ");
        EXPECT_EQ(picker.list()->item(12)->text(), "楕円ドーナツ");
        EXPECT_EQ(picker.list()->currentRow(), 1);
        QListWidgetItem *item = picker.list()->item(8);
        QTest::mouseClick(picker.list()->viewport(), Qt::LeftButton, {}, picker.list()->visualItemRect(item).center());
        EXPECT_EQ(picker.picked(), std::optional<std::string>("サーマル×"));
        EXPECT_EQ(picker.result(), QDialog::Accepted);
    }
    {
        ApertureShapePicker picker("");
        picker.show();
        picker.list()->setFocus();
        QTest::keyClick(picker.list(), Qt::Key_Down);
        QTest::keyClick(picker.list(), Qt::Key_Down);
        QTest::keyClick(picker.list(), Qt::Key_Return);
        EXPECT_EQ(picker.picked(), std::optional<std::string>("正方形"));
    }
    {
        ApertureShapePicker picker("丸");
        picker.show();
        QTest::keyClick(picker.list(), Qt::Key_Escape);
        EXPECT_FALSE(picker.picked().has_value());
        EXPECT_EQ(picker.result(), QDialog::Rejected);
        EXPECT_FALSE(picker.isVisible());
    }
}

TEST(AptblSizeEntry, OnlySizeCharactersAndTheExitKeys)
{
    struct Case {
        const char *keys;
        Qt::Key exitKey;
        SizeEntryExit exit;
        const char *text;
    } cases[] = {
        {"a1.5x-0,8 ", Qt::Key_Return, SizeEntryExit::Ok, "1.5-08"},
        {"2", Qt::Key_Escape, SizeEntryExit::Escape, "2"},
    };
    for (const auto &c : cases) {
        ApertureSizeEntry box("D15", "0.3");
        box.show();
        EXPECT_EQ(box.windowTitle(), "アパーチャサイズ入力");
        EXPECT_EQ(box.dcodeLabel()->text(), "D15");
        EXPECT_EQ(box.sizeEdit()->text(), "0.3");
        box.sizeEdit()->setFocus();
        QTest::keyClick(box.sizeEdit(), Qt::Key_End);
        QTest::keyClick(box.sizeEdit(), Qt::Key_Backspace);
        QTest::keyClick(box.sizeEdit(), Qt::Key_Backspace);
        QTest::keyClick(box.sizeEdit(), Qt::Key_Backspace);
        QTest::keyClicks(box.sizeEdit(), c.keys);
        EXPECT_EQ(box.typedText(), c.text);
        QTest::keyClick(box.sizeEdit(), c.exitKey);
        EXPECT_EQ(box.exitKind(), c.exit) << c.keys;
        EXPECT_FALSE(box.isVisible());
    }
    ApertureSizeEntry box("D15", "0.3");
    box.show();
    box.cancelButton()->click();
    EXPECT_EQ(box.exitKind(), SizeEntryExit::Cancel);
}

TEST(AptblPrintDevice, PrintsTheListToAPdfFile)
{
    TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("list.pdf")));
    QtPrintDevice device(printer);
    int dialogs = 0;
    device.setChooser([&](QPrinter &) { return ++dialogs > 0; });

    ApertureTable table;
    table.filePath = "/data/board.apt";
    for (int d = 10; d < 200; ++d)  // several pages
        table.SetRow(d, "丸", "0." + std::to_string(d));
    FakePrompter prompter;
    FakeStatus status;
    ASSERT_TRUE(PrintApertureList(table, device, prompter, status));
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(prompter.shown.empty());
    std::string pdf = TempDir::read(dir.file("list.pdf"));
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
}
