#include "app/DrawingArea.h"
#include "app/FormWidgets.h"
#include "app/LayerColourBoxes.h"
#include "app/TGerSel.h"
#include "app/TGinFormat.h"
#include "app/TLyrtbl.h"
#include "app/TMain.h"
#include "app/TNinFormat.h"
#include "core/SettingsFile.h"
#include "support/FakePorts.h"
#include "support/MainWindowFixture.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::FakeFilePicker;
using korvane::testing::FakePrompter;
using korvane::testing::FakeStatus;
using korvane::testing::TempDir;

namespace {

struct LayerWindowFixture : korvane::testing::MainFixture {
    std::unique_ptr<TMain> window;
    const std::string data = KORVANE_TEST_DATA;

    void SetUp() override
    {
        writeSettings(Settings{});
        window = makeWindow();
        window->resize(800, 600);
        window->show();
    }

    // Runs `steps` inside the next modal dialog, then the command.
    void whileOpen(const std::function<void()> &steps, QAction *command)
    {
        QTimer::singleShot(0, steps);
        command->trigger();
    }
};

class ScriptedLayerTable : public TLyrtbl {
public:
    using TLyrtbl::TLyrtbl;
    Colour next = colours::Navy;

protected:
    std::optional<Colour> chooseColour(Colour) override { return next; }
};

}  // namespace

TEST_F(LayerWindowFixture, TheGerberRoadPicksConfirmsAndDraws)
{
    TGerSel *sel = window->layerSelectionDialog();
    window->settings().gerberIn.dialect = GerberDialect::Rs274X;  // as chosen in the input format
    picker.openAnswers.push_back(data + "/gerber/copper_mm.gbr");
    bool hatchVisible = false;
    QString caption;
    whileOpen(
        [&] {
            caption = sel->windowTitle();
            hatchVisible = sel->regionGroup()->isVisible();
            sel->slotButton(1)->click();
            sel->regionGroup()->button(1)->click();  // hatched regions
            sel->okButton()->click();
        },
        window->action("loadGerberAction"));
    EXPECT_EQ(caption, "ｶﾞｰﾊﾞｰﾌｧｲﾙの設定");
    EXPECT_TRUE(hatchVisible);
    EXPECT_EQ(picker.asked[0].title, "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択");
    EXPECT_EQ(sel->nameField(1)->text(), "copper_mm.gbr");
    EXPECT_EQ(window->document().layers.slot(1).fileKind, "gb");
    EXPECT_GT(window->document().displayList.size(), 100u);
    EXPECT_EQ(window->drawingArea()->view().regionFill(), RegionFill::Hatch);
    EXPECT_FALSE(window->drawingArea()->picture().isNull());

    // Ctrl+D: drill mode, the file into slot 2, marks over the drawing.
    picker.openAnswers.push_back(data + "/drill/board.drl");
    bool apertureEnabled = true;
    whileOpen(
        [&] {
            caption = sel->windowTitle();
            apertureEnabled = sel->apertureButton()->isEnabled();
            hatchVisible = sel->regionGroup()->isVisible();
            sel->slotButton(2)->click();
            sel->okButton()->click();
        },
        window->action("loadDrillAction"));
    EXPECT_EQ(caption, "ﾄﾞﾘﾙﾌｧｲﾙの設定");
    EXPECT_FALSE(apertureEnabled);
    EXPECT_FALSE(hatchVisible);
    EXPECT_EQ(picker.asked[1].title, "ﾄﾞﾘﾙﾌｧｲﾙの選択");
    EXPECT_TRUE(prompter.shown.empty()) << (prompter.shown.empty() ? "" : prompter.shown[0].text);
    EXPECT_EQ(window->document().layers.slot(1).pendingPath, AlreadyLoadedMarker);
    EXPECT_TRUE(window->toolMarkPanel()->isVisible());
    int layer1 = 0, layer2 = 0;
    for (const auto &item : window->document().displayList.main()) {
        layer1 += item.layer == 1;
        layer2 += item.layer == 2;
    }
    EXPECT_GT(layer1, 0);
    EXPECT_GT(layer2, 0);

    // Ctrl+L: hiding slot 1 takes effect at once; "閉じる" redraws.
    TLyrtbl *table = window->layerTableDialog();
    QImage before = window->drawingArea()->picture();
    QString name;
    whileOpen(
        [&] {
            name = table->nameField(1)->text();
            table->visibleBox(1)->click();
            table->closeButton()->click();
        },
        window->action("layerTableAction"));
    EXPECT_EQ(name, "copper_mm.gbr");
    EXPECT_EQ(window->document().layers.slot(1).visible, 0);
    auto greenPixels = [](const QImage &image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == QColor(Qt::green);
        return count;
    };
    EXPECT_GT(greenPixels(before), 1000);
    EXPECT_EQ(greenPixels(window->drawingArea()->picture()), 0);
}

TEST_F(LayerWindowFixture, CancelReadsNothingAndFormatDisablesEbcdicWhileOpen)
{
    TGerSel *sel = window->layerSelectionDialog();
    auto *ebcdic = window->gerberInFormatDialog()->codeGroup()->button(1);
    bool disabledWhileOpen = false;
    picker.openAnswers.push_back(data + "/gerber/copper_mm.gbr");
    whileOpen(
        [&] {
            sel->slotButton(1)->click();
            QTimer::singleShot(0, [&] {
                disabledWhileOpen = !ebcdic->isEnabled();
                window->gerberInFormatDialog()->accept();
            });
            sel->formatButton()->click();
            sel->cancelButton()->click();
        },
        window->action("loadGerberAction"));
    EXPECT_TRUE(disabledWhileOpen);
    EXPECT_TRUE(ebcdic->isEnabled());
    EXPECT_EQ(sel->nameField(1)->text(), "");  // nothing was loaded: the pick is forgotten
    EXPECT_EQ(window->document().displayList.size(), 0u);
    EXPECT_EQ(window->document().hasData, 0);
}

TEST(LayerColourBoxesTest, AColourChosenInTheTableShowsInTheSelectionForTheSameSlot)
{
    Document doc;
    GerberInFormat gin;
    DrillInFormat nin;
    TGinFormat ginDialog(gin);
    TNinFormat ninDialog(nin);
    ApertureTable table;
    MacroLibrary macros;
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
    LayerColourBoxes colours;
    TGerSel sel(doc, table, macros, colours, ginDialog, ninDialog, DialogPorts{prompter, picker, status});
    ScriptedLayerTable lyr(doc, colours);
    lyr.colourBox(13)->click();
    EXPECT_EQ(doc.layers.slot(13).colour, colours::Navy);  // at once in the table
    EXPECT_EQ(colours.colour(13), colours::Navy);
    EXPECT_EQ(colours.colour(12), 0u);
    EXPECT_TRUE(sel.colourBox(13)->styleSheet().contains("#000080"));
    EXPECT_FALSE(sel.colourBox(12)->styleSheet().contains("#000080"));
    EXPECT_EQ(lyr.windowTitle(), "レイヤー表示設定");
}

TEST_F(LayerWindowFixture, AnotherFileForALoadedSlotClearsTheDrawingOnYes)
{
    TGerSel *sel = window->layerSelectionDialog();
    window->settings().gerberIn.dialect = GerberDialect::Rs274X;
    auto load = [&](QAction *command, int slot, const std::string &path) {
        picker.openAnswers.push_back(path);
        whileOpen(
            [&] {
                sel->slotButton(slot)->click();
                sel->okButton()->click();
            },
            command);
    };
    auto itemsOf = [&](int layer) {
        int count = 0;
        for (const auto &item : window->document().displayList.main())
            count += item.layer == layer;
        return count;
    };
    load(window->action("loadGerberAction"), 1, data + "/gerber/copper_mm.gbr");
    load(window->action("loadDrillAction"), 2, data + "/drill/board.drl");
    ASSERT_GT(itemsOf(2), 0);
    ASSERT_TRUE(window->toolMarkPanel()->isVisible());

    prompter.answers = {Answer::Yes};
    load(window->action("loadGerberAction"), 1, data + "/gerber/silk_inch.gbr");
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"既に使用しているレイヤがあります。現在のデータをクリアしますか？"});
    // Only the file of this load is drawn; the drill marks went with the old drawing.
    EXPECT_GT(itemsOf(1), 0);
    EXPECT_EQ(itemsOf(2), 0);
    EXPECT_FALSE(window->toolMarkPanel()->isVisible());
    EXPECT_EQ(sel->nameField(1)->text(), "silk_inch.gbr");
}
