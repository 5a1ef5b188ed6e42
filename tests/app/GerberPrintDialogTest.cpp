#include "app/FormWidgets.h"
#include "app/TGbprint.h"
#include "app/TGinFormat.h"
#include "core/TextFile.h"
#include "print/PrintTexts.h"
#include "print/RecordingPage.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <deque>

using namespace korvane;
using namespace korvane::testing;

namespace {

class ScriptedGbprint : public TGbprint {
public:
    using TGbprint::TGbprint;
    std::deque<std::string> picks;
    std::vector<int> pickedColumns;
    Colour nextColour = colours::Teal;

protected:
    std::string pickEntry(int column, const std::string &) override
    {
        pickedColumns.push_back(column);
        if (picks.empty())
            return "";
        std::string v = picks.front();
        picks.pop_front();
        return v;
    }
    std::optional<Colour> chooseColour(Colour) override { return nextColour; }
};

struct GbprintFixture : ::testing::Test {
    PrintDefaults defaults;
    ApertureTable table;
    MacroLibrary macros;
    GerberInFormat format;
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
    RecordingPrinter printer;
    SilentProgress progress;
    TempDir dir;
    std::unique_ptr<TGinFormat> formatDialog = std::make_unique<TGinFormat>(format);
    std::unique_ptr<ScriptedGbprint> dialog = std::make_unique<ScriptedGbprint>(
        defaults, table, macros, format, *formatDialog, DialogPorts{prompter, picker, status}, printer, progress);

    QString cellText(int row, int column) const { return dialog->fileGrid()->item(row - 1, column)->text(); }
};

TEST_F(GbprintFixture, GridHeadersRowNumbersAndWidths)
{
    QTableWidget *grid = dialog->fileGrid();
    ASSERT_EQ(grid->columnCount(), 13);
    ASSERT_EQ(grid->rowCount(), 15);
    const char *headers[] = {"No.",      "             ファイル名",
                             "単独出力", "  ミラー",
                             "ﾈｶﾞﾎﾟｼﾞ",  "式",
                             "合成１",   "式",
                             "合成２",   "式",
                             "合成３",   "式",
                             "合成４"};
    for (int c = 0; c < 13; ++c)
        EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), QString::fromUtf8(headers[c]));
    EXPECT_EQ(cellText(1, 0), "1");
    EXPECT_EQ(cellText(15, 0), "15");
    EXPECT_EQ(TGbprint::columnWidths(605)[1], 175);
    EXPECT_EQ(TGbprint::columnWidths(605)[6], 37);
    EXPECT_EQ(TGbprint::columnWidths(606)[1], 225);
    EXPECT_EQ(TGbprint::columnWidths(606)[4], 60);
    EXPECT_EQ(dialog->windowTitle(), "ガーバー印刷");
}

// Whatever the font: the row numbers 10 to 15 whole, every column (合成４
// too) in sight without a scroll bar.
TEST_F(GbprintFixture, TheGridShowsEveryColumnAndEveryNumberWhole)
{
    dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);  // as the main window sets it
    dialog->show();
    QApplication::processEvents();
    QTableWidget *grid = dialog->fileGrid();
    const QFontMetrics metrics(grid->font());
    EXPECT_GE(grid->columnWidth(0), metrics.horizontalAdvance("15") + 8);
    for (int c = 0; c < 13; ++c)
        EXPECT_GE(
            grid->columnWidth(c),
            QFontMetrics(grid->horizontalHeader()->font()).horizontalAdvance(grid->horizontalHeaderItem(c)->text()))
            << c;
    int total = 0;
    for (int c = 0; c < 13; ++c)
        total += grid->columnWidth(c);
    EXPECT_LE(total, grid->viewport()->width());
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    EXPECT_GE(grid->rowHeight(14), metrics.height());
}

TEST_F(GbprintFixture, CellsAreSetOnlyThroughTheirPickLists)
{
    dialog->picks = {" 要", "○", "－", "12", ""};
    dialog->cellClicked(1, gridcol::Mirror);
    dialog->cellClicked(1, gridcol::Polarity);
    dialog->cellClicked(2, gridcol::sign(0));
    dialog->cellClicked(2, gridcol::row(0));
    dialog->cellClicked(1, gridcol::Polarity);  // the empty entry empties the cell
    dialog->cellClicked(1, gridcol::File);      // no pick list
    dialog->cellClicked(1, gridcol::Number);
    EXPECT_EQ(dialog->pickedColumns, (std::vector<int>{3, 4, 5, 6, 4}));
    EXPECT_EQ(cellText(1, gridcol::Mirror), " 要");
    EXPECT_EQ(cellText(1, gridcol::Polarity), "");
    EXPECT_EQ(cellText(2, gridcol::sign(0)), "－");
    EXPECT_EQ(cellText(2, gridcol::row(0)), "12");
    EXPECT_EQ(pickEntries(gridcol::row(0)).size(), 16u);
    EXPECT_EQ(pickEntries(gridcol::row(0))[1], " 1");
    EXPECT_STREQ(pickCaption(gridcol::row(2)), "合成");
}

TEST_F(GbprintFixture, ChoosingFilesAndTheParameterFile)
{
    const std::string b = dir.write("b.gbr", "X1Y1D03*\n"), a = dir.write("a.gbr", "X1Y1D03*\n");
    picker.openManyAnswers.push_back({b, a});
    dialog->button("chooseFilesButton")->click();
    EXPECT_EQ(picker.asked.back().title, printmsg::ChooseGerberTitle);
    EXPECT_EQ(picker.asked.back().filter, printmsg::GerberFilter);
    EXPECT_EQ(cellText(1, gridcol::File), "a.gbr");
    EXPECT_EQ(dialog->grid().file(2), b);

    const std::string prm = dir.file("job.prm");
    picker.saveAnswers.push_back(prm);
    dialog->button("saveParametersButton")->click();
    EXPECT_EQ(picker.asked.back().title, printmsg::SaveParametersTitle);
    EXPECT_EQ(picker.asked.back().defaultExtension, "prm");
    EXPECT_TRUE(picker.asked.back().confirmOverwrite);
    EXPECT_EQ(readTextLines(prm).size(), 180u);

    dialog->button("closeButton")->click();
    EXPECT_EQ(cellText(1, gridcol::File), "");
    EXPECT_TRUE(dialog->grid().file(1).empty());

    picker.openAnswers.push_back(prm);
    dialog->button("loadParametersButton")->click();
    EXPECT_EQ(picker.asked.back().title, printmsg::LoadParametersTitle);
    EXPECT_EQ(cellText(2, gridcol::File), "b.gbr");
    EXPECT_EQ(dialog->grid().file(1), a);
}

TEST_F(GbprintFixture, ColourBoxesOnlyInColourMode)
{
    dialog->show();
    EXPECT_FALSE(dialog->colourBox(1)->isVisible());
    EXPECT_FALSE(dialog->colourButton()->isVisible());
    dialog->modeGroup()->button(1)->click();
    EXPECT_EQ(defaults.gerberMode, PrintMode::Color);
    EXPECT_TRUE(dialog->colourBox(15)->isVisible());
    dialog->colourBox(3)->click();
    EXPECT_EQ(defaults.gerberRowColours[2], colours::Teal);
    dialog->titleGroup()->button(1)->click();
    EXPECT_FALSE(defaults.gerberTitle);
    dialog->hide();
}

TEST_F(GbprintFixture, PrintTakesTheDialogSettings)
{
    dialog->grid().file(1) = dir.write("a.gbr", "%FSLAX33Y33*%\n%MOMM*%\n%ADD10C,1*%\nD10*\nX5000Y5000D03*\n"
                                                "X25000Y15000D03*\nM02*\n");
    dialog->grid().cell(1, gridcol::File) = "a.gbr";
    format.dialect = GerberDialect::Rs274X;
    dialog->scaleField()->setText("2");
    dialog->offsetXField()->setText("-3.5");
    dialog->regionGroup()->button(1)->click();
    GerberPrintSettings s = dialog->printSettings();
    EXPECT_EQ(s.scale.typedScale, 2);
    EXPECT_EQ(s.scale.offsetXMm, -3.5);
    EXPECT_EQ(s.regionFill, RegionFillMode::Hatched);
    dialog->button("printButton")->click();
    ASSERT_EQ(printer.sheets.size(), 1u);
    EXPECT_EQ(printer.sheets[0]->figures[0].text, dialog->grid().file(1) + "    Scale:  2");
    EXPECT_EQ(prompter.texts().back(), printmsg::GerberPrintFinished);

    // A scale that is no number ends the command with the platform's text.
    dialog->scaleField()->setText(".");
    dialog->button("printButton")->click();
    EXPECT_EQ(prompter.texts().back(), "'.' は浮動小数点数ではありません");
    EXPECT_EQ(printer.sheets.size(), 1u);
}

}  // namespace
