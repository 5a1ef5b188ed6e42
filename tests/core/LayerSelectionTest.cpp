#include "core/LayerSelection.h"
#include "core/WorkspaceFile.h"
#include "support/FakePorts.h"

#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::FakeFilePicker;
using korvane::testing::FakePrompter;

namespace {

struct Selection {
    Document doc;
    LayerSelectionFields fields;
    FakePrompter prompter;
    FakeFilePicker picker;

    void pick(int slot, const std::string &path, LayerLoadKind kind = LayerLoadKind::Gerber)
    {
        picker.openAnswers.push_back(path);
        ASSERT_TRUE(pickLayerFile(doc, fields, slot, kind, picker));
    }
    LayerSelectionResult ok(LayerLoadKind kind = LayerLoadKind::Gerber)
    {
        return confirmLayerSelection(doc, fields, kind, prompter);
    }
    // What a load does after the selection: reads the pending files.
    void load()
    {
        if (doc.keepExisting == 0)
            doc.displayList.discard();
        for (int n = 1; n <= LayerCount; ++n) {
            const auto &slot = doc.layers.slot(n);
            if (!slot.pendingPath.empty() && slot.pendingPath != AlreadyLoadedMarker) {
                AppendArgs a{ItemKind::Ellipse};
                a.layer = n;
                doc.appendItem(a);
                doc.hasData = 1;
            }
        }
    }
    std::string pending(int n) const { return doc.layers.slot(n).pendingPath; }
};

}  // namespace

TEST(LayerSelection, PickersHaveTheirTitlesAndFilters)
{
    Selection s;
    s.pick(3, "/data/top.gbr");
    EXPECT_EQ(s.picker.asked[0].title, "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択");
    EXPECT_EQ(s.picker.asked[0].filter.substr(0, 30), "Gerber Files(*.ger)|*.ger|Gerb");
    EXPECT_EQ(s.fields.names[2], "top.gbr");
    EXPECT_EQ(s.doc.layers.slot(3).assignedPath, "/data/top.gbr");
    s.pick(4, "/data/board.drl", LayerLoadKind::Drill);
    EXPECT_EQ(s.picker.asked[1].title, "ﾄﾞﾘﾙﾌｧｲﾙの選択");
    EXPECT_EQ(s.picker.asked[1].filter, "Drill Files(*.drl)|*.drl|Drill Files(*.ncd)|*.ncd|Drill Files(*.nc)|*.nc|"
                                        "Drill Files(*.cam)|*.cam|Drill Files(*.txt)|*.txt|All Files(*.*)|*.*");
    // A cancelled pick changes nothing.
    EXPECT_FALSE(pickLayerFile(s.doc, s.fields, 3, LayerLoadKind::Gerber, s.picker));
    EXPECT_EQ(s.fields.names[2], "top.gbr");
}

TEST(LayerSelection, FirstFileAsksNothingAndAnAddedSlotKeepsTheFirst)
{
    Selection s;
    s.fields.colours[0] = colours::Aqua;
    s.pick(1, "/d/a.gbr");
    s.ok();
    EXPECT_TRUE(s.prompter.shown.empty());
    EXPECT_EQ(s.pending(1), "/d/a.gbr");
    EXPECT_EQ(s.doc.keepExisting, 0);
    EXPECT_EQ(s.doc.layers.slot(1).fileKind, "gb");
    EXPECT_EQ(s.doc.layers.slot(1).fileName, "a.gbr");
    EXPECT_EQ(s.doc.layers.slot(1).visible, 1);
    EXPECT_EQ(s.doc.layers.slot(1).colour, colours::Aqua);
    s.load();

    s.pick(2, "/d/b.gbr");
    s.ok();
    EXPECT_TRUE(s.prompter.shown.empty());
    EXPECT_EQ(s.pending(1), AlreadyLoadedMarker);
    EXPECT_EQ(s.pending(2), "/d/b.gbr");
    EXPECT_EQ(s.doc.keepExisting, 1);
    s.load();
    EXPECT_EQ(s.doc.displayList.size(), 2u);

    // Confirming again without picking reads nothing twice and asks nothing.
    s.ok();
    s.ok();
    EXPECT_TRUE(s.prompter.shown.empty());
    EXPECT_EQ(s.pending(1), AlreadyLoadedMarker);
    EXPECT_EQ(s.pending(2), AlreadyLoadedMarker);
    s.load();
    EXPECT_EQ(s.doc.displayList.size(), 2u);
}

TEST(LayerSelection, AnotherFileForALoadedSlotAsksWhetherToClear)
{
    for (Answer answer : {Answer::Yes, Answer::No}) {
        Selection s;
        s.pick(1, "/d/a.gbr");
        s.pick(2, "/d/b.gbr");
        s.ok();
        s.load();
        s.ok();  // both loaded and marked
        s.pick(1, "/d/a2.gbr");
        s.prompter.answers = {answer};
        auto result = s.ok();
        ASSERT_EQ(s.prompter.texts(),
                  std::vector<std::string>{"既に使用しているレイヤがあります。現在のデータをクリアしますか？"});
        EXPECT_EQ(s.prompter.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(s.pending(1), "/d/a2.gbr");
        if (answer == Answer::Yes) {
            EXPECT_TRUE(result.presentDataCleared);
            EXPECT_EQ(s.doc.displayList.size(), 0u);
            EXPECT_EQ(s.doc.keepExisting, 0);
            // The untouched slot is read again rather than lost with the drawing.
            EXPECT_EQ(s.pending(2), "/d/b.gbr");
        } else {
            EXPECT_FALSE(result.presentDataCleared);
            EXPECT_EQ(s.doc.keepExisting, 1);
            EXPECT_EQ(s.pending(2), AlreadyLoadedMarker);
            EXPECT_EQ(s.doc.displayList.size(), 2u);
        }
    }
}

TEST(LayerSelection, AnEmptiedFieldGivesTheSlotUp)
{
    Selection s;
    s.pick(1, "/d/a.gbr");
    s.ok();
    s.load();
    s.fields.names[0].clear();
    s.ok();
    const LayerSlot &slot = s.doc.layers.slot(1);
    EXPECT_EQ(slot.pendingPath, "");
    EXPECT_EQ(slot.assignedPath, "");
    EXPECT_EQ(slot.fileKind, "");
    EXPECT_EQ(slot.fileName, "");
    EXPECT_EQ(slot.visible, 0);
    EXPECT_EQ(s.doc.displayList.size(), 1u);  // items stay until the next clear
}

TEST(LayerSelection, AGerberSelectionLeavesADrillSlotADrillSlot)
{
    Selection s;
    s.pick(1, "/d/a.drl", LayerLoadKind::Drill);
    s.ok(LayerLoadKind::Drill);
    s.load();
    s.pick(2, "/d/b.gbr");
    s.ok(LayerLoadKind::Gerber);
    EXPECT_EQ(s.doc.layers.slot(1).fileKind, "nc");
    EXPECT_EQ(s.doc.layers.slot(2).fileKind, "gb");
}

TEST(LayerSelection, CancelForgetsPicksNotYetLoaded)
{
    Selection empty;
    empty.pick(1, "/d/a.gbr");
    empty.ok();
    cancelLayerSelection(empty.doc, empty.fields);
    EXPECT_EQ(empty.fields.names[0], "");
    EXPECT_EQ(empty.pending(1), "");
    EXPECT_EQ(empty.doc.layers.slot(1).assignedPath, "");

    Selection s;
    s.pick(1, "/d/a.gbr");
    s.ok();
    s.load();
    s.pick(2, "/d/b.gbr");      // a pick not yet loaded
    s.pick(1, "/d/other.gbr");  // another file for the loaded slot
    cancelLayerSelection(s.doc, s.fields);
    EXPECT_EQ(s.fields.names[1], "");
    EXPECT_EQ(s.doc.layers.slot(2).assignedPath, "");
    EXPECT_EQ(s.fields.names[0], "a.gbr");
    EXPECT_EQ(s.doc.layers.slot(1).assignedPath, "/d/a.gbr");
    // So the next confirmation asks nothing.
    s.ok();
    EXPECT_TRUE(s.prompter.shown.empty());
}

// The slots of an opened workspace count as loaded but name no file: a
// drawing cleared for another file gives them up instead of reading them.
TEST(LayerSelection, AWorkspacesSlotsAreLoadedAndGivenUpWithItsDrawing)
{
    Selection s;
    WorkspaceData ws;
    ws.layers = {{1, colours::Red, "top.gbr"}, {2, colours::Blue, "bottom.gbr"}};
    ws.extentX = ws.extentY = 10;
    ws.items.appendToMain(makeItem({ItemKind::Ellipse, 0, 1, 1}));
    ASSERT_TRUE(applyWorkspace(std::move(ws), s.doc));
    s.fields.names[0] = "top.gbr";
    s.fields.names[1] = "bottom.gbr";

    s.pick(4, "/d/drill.gbr");
    s.ok();
    EXPECT_TRUE(s.prompter.shown.empty());
    EXPECT_EQ(s.doc.keepExisting, 1);
    EXPECT_EQ(s.pending(1), AlreadyLoadedMarker);
    s.load();
    EXPECT_EQ(s.doc.displayList.size(), 2u);

    s.pick(1, "/d/top2.gbr");
    s.prompter.answers = {Answer::Yes};
    s.ok();
    EXPECT_EQ(s.prompter.shown.size(), 1u);
    EXPECT_EQ(s.pending(1), "/d/top2.gbr");
    EXPECT_EQ(s.pending(2), "");  // nothing to read: given up
    EXPECT_EQ(s.doc.layers.slot(2).fileName, "");
    EXPECT_EQ(s.fields.names[1], "");
    EXPECT_EQ(s.pending(4), "/d/drill.gbr");  // a real file: read again
}
