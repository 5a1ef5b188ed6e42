#include "app/FormWidgets.h"
#include "app/TDrprint.h"
#include "app/TGinFormat.h"
#include "app/TNinFormat.h"
#include "print/PrintTexts.h"
#include "print/RecordingPage.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::testing;

namespace {

struct DrprintFixture : ::testing::Test {
    PrintDefaults defaults;
    DrillInFormat drillFormat;
    ApertureTable table;
    MacroLibrary macros;
    GerberInFormat gerberFormat;
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
    RecordingPrinter printer;
    SilentProgress progress;
    TempDir dir;
    std::unique_ptr<TNinFormat> drillDialog = std::make_unique<TNinFormat>(drillFormat);
    std::unique_ptr<TGinFormat> gerberDialog = std::make_unique<TGinFormat>(gerberFormat);
    std::unique_ptr<TDrprint> dialog =
        std::make_unique<TDrprint>(defaults, drillFormat, *drillDialog, table, macros, gerberFormat, *gerberDialog,
                                   DialogPorts{prompter, picker, status}, printer, progress);

    std::vector<QString> items(QListWidget *list) const
    {
        std::vector<QString> out;
        out.reserve(static_cast<size_t>(list->count()));
        for (int i = 0; i < list->count(); ++i)
            out.push_back(list->item(i)->text());
        return out;
    }
};

TEST_F(DrprintFixture, DrillFilesOverlaysAndClose)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ドリル印刷"));
    EXPECT_FALSE(dialog->button("apertureButton")->isEnabled());
    EXPECT_FALSE(dialog->button("overlayFormatButton")->isEnabled());
    EXPECT_EQ(dialog->scaleField()->text(), QStringLiteral("1.00"));
    EXPECT_EQ(dialog->offsetXField()->text(), QStringLiteral("0"));

    picker.openManyAnswers.push_back({"/d/a.drl", "/d/b.drl"});
    dialog->button("chooseDrillButton")->click();
    ASSERT_EQ(picker.asked.size(), 1u);
    EXPECT_EQ(picker.asked[0].title, printmsg::ChooseDrillTitle);
    EXPECT_EQ(picker.asked[0].filter, printmsg::DrillFilter);
    EXPECT_EQ(items(dialog->drillList()), (std::vector<QString>{"/d/a.drl", "/d/b.drl"}));
    EXPECT_EQ(items(dialog->overlayList()), (std::vector<QString>{"", ""}));

    // A double click without a row does nothing; on row 2 it sets its overlay.
    dialog->chooseOverlay(-1);
    EXPECT_EQ(picker.asked.size(), 1u);
    picker.openAnswers.push_back("/d/pads.gbr");
    dialog->chooseOverlay(1);
    EXPECT_EQ(picker.asked.back().title, printmsg::ChooseGerberTitle);
    EXPECT_EQ(picker.asked.back().filter, printmsg::OverlayFilter);
    EXPECT_EQ(items(dialog->overlayList()), (std::vector<QString>{"", "/d/pads.gbr"}));
    EXPECT_TRUE(dialog->button("apertureButton")->isEnabled());
    EXPECT_TRUE(dialog->button("overlayFormatButton")->isEnabled());

    // New drill files start without overlays.
    picker.openManyAnswers.push_back({"/d/c.drl"});
    dialog->chooseDrillFiles();
    ASSERT_EQ(dialog->rows().size(), 1u);
    EXPECT_EQ(dialog->rows()[0].overlayPath, "");

    dialog->button("closeButton")->click();
    EXPECT_TRUE(dialog->rows().empty());
    EXPECT_EQ(dialog->drillList()->count(), 0);
    EXPECT_FALSE(dialog->button("apertureButton")->isEnabled());
}

TEST_F(DrprintFixture, PrintsWithTheDialogSettings)
{
    const std::string drill = dir.write("a.drl", "T01C0.8\nX10.0Y10.0\nX20.0Y20.0\nM30\n");
    picker.openManyAnswers.push_back({drill});
    dialog->chooseDrillFiles();
    defaults.drillTitle = false;
    dialog->show();
    EXPECT_TRUE(dialog->titleGroup()->button(1)->isChecked());
    dialog->scaleField()->setText("2");
    printer.size = {200.0, 287.0, 2000, 2870, 2000, 2870};
    dialog->button("printButton")->click();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{printmsg::DrillPrintFinished});
    ASSERT_EQ(printer.sheets.size(), 2u);
    EXPECT_TRUE(printer.sheets[0]->only("text").empty());
    EXPECT_EQ(printer.sheets[0]->only("line")[0].points[1].x - printer.sheets[0]->only("line")[0].points[0].x, 20);

    dialog->scaleField()->setText("1.2.3");
    prompter.shown.clear();
    dialog->print();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Error);
    dialog->closeDialog();
}

}  // namespace
