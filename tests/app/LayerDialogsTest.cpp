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
#include <QFontMetrics>
#include <QLabel>
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
    int picked = 0;
    QObject::connect(&colours, &LayerColourBoxes::picked, [&](int n) { picked = n; });
    lyr.colourBox(13)->click();
    EXPECT_EQ(picked, 13);                                 // a default for the next start
    EXPECT_EQ(doc.layers.slot(13).colour, colours::Navy);  // at once in the table
    EXPECT_EQ(colours.colour(13), colours::Navy);
    EXPECT_EQ(colours.colour(12), 0u);
    EXPECT_TRUE(sel.colourBox(13)->styleSheet().contains("#000080"));
    EXPECT_FALSE(sel.colourBox(12)->styleSheet().contains("#000080"));
    EXPECT_EQ(lyr.windowTitle(), "レイヤー表示設定");
    // "１" to "１５", drawn full width.
    for (int n : {1, 15}) {
        auto *number = lyr.findChild<QLabel *>(QStringLiteral("slotNumber%1").arg(n));
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->text(), n == 1 ? "１" : "１５");
        const QFontMetrics metrics(number->font());
        EXPECT_GE(metrics.horizontalAdvance(number->text()), metrics.horizontalAdvance(QString::number(n)) * 3 / 2);
    }
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

// A drawing opened from a workspace is a drawing like any other: a load
// adds to it, and a load into one of its slots asks before it clears it.
TEST_F(LayerWindowFixture, LoadsAddToAnOpenedWorkspace)
{
    TGerSel *sel = window->layerSelectionDialog();
    window->settings().gerberIn.dialect = GerberDialect::Rs274X;
    const std::string gdb = dir.file("board.gdb");
    auto load = [&](int slot, const std::string &path) {
        picker.openAnswers.push_back(path);
        whileOpen(
            [&] {
                sel->slotButton(slot)->click();
                sel->okButton()->click();
            },
            window->action("loadGerberAction"));
    };
    // Underlay and main: a workspace file read back holds all in the main.
    auto itemsOf = [&](int layer) {
        int count = 0;
        for (const ItemSequence *items :
             {&window->document().displayList.underlay(), &window->document().displayList.main()})
            for (const auto &item : *items)
                count += item.layer == layer;
        return count;
    };
    load(1, data + "/gerber/copper_mm.gbr");
    const int copper = itemsOf(1);
    int silk = 0;
    picker.saveAnswers.push_back(gdb);
    window->action("saveWorkspaceAction")->trigger();
    EXPECT_EQ(window->windowTitle(), "board.gdb");

    for (Answer answer : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        prompter.shown.clear();
        picker.openAnswers.push_back(gdb);
        window->action("loadWorkspaceAction")->trigger();
        ASSERT_EQ(itemsOf(1), copper);
        EXPECT_EQ(sel->nameField(1)->text(), "copper_mm.gbr");
        EXPECT_EQ(window->windowTitle(), "board.gdb");

        // Another layer: no question, both drawn.
        load(2, data + "/gerber/silk_inch.gbr");
        EXPECT_TRUE(prompter.shown.empty()) << prompter.texts().front();
        EXPECT_EQ(itemsOf(1), copper);
        silk = itemsOf(2);
        EXPECT_GT(silk, 0);
        EXPECT_EQ(window->document().layers.slot(1).fileName, "copper_mm.gbr");
        EXPECT_EQ(window->windowTitle(), "board.gdb");

        // Another file for the workspace's slot: the question first.
        prompter.answers = {answer};
        load(1, data + "/gerber/silk_inch.gbr");
        EXPECT_EQ(prompter.texts(),
                  std::vector<std::string>{"既に使用しているレイヤがあります。現在のデータをクリアしますか？"});
        if (answer == Answer::No) {
            EXPECT_EQ(itemsOf(1), copper + itemsOf(2));  // the new file's items join the workspace's
        } else {
            // The workspace's drawing is gone; slot 2's file is read again.
            EXPECT_EQ(itemsOf(1), silk);
            EXPECT_EQ(itemsOf(2), silk);
            EXPECT_EQ(window->windowTitle(), "ＫＯＲＶＡＮＥ");
        }
    }

    prompter.answers = {Answer::Yes};
    window->action("clearAllAction")->trigger();
    EXPECT_EQ(window->windowTitle(), "ＫＯＲＶＡＮＥ");
}

// Colours picked in either dialog are the slots' colours at the next start.
TEST_F(LayerWindowFixture, PickedColoursAreSavedForTheNextStart)
{
    auto *boxes = window->findChild<LayerColourBoxes *>();
    ASSERT_NE(boxes, nullptr);
    boxes->pick(3, colours::Navy);
    boxes->setColour(4, colours::Teal);  // shown (a workspace's colour), not picked
    window->close();
    Settings read;
    FakePrompter quiet;
    loadSettingsFile(dir.file("Reravado4.ini"), read, quiet);
    EXPECT_EQ(read.layerColours[2], colours::Navy);
    EXPECT_EQ(read.layerColours[3], Settings{}.layerColours[3]);
    auto again = makeWindow();
    EXPECT_EQ(again->document().layers.slot(3).colour, colours::Navy);
}
