// The display items of a tool mark: kinds in order, size, orientation and
// the fields the tool list and the renderer read.
#include "core/Document.h"
#include "drill/DrillReader.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {
namespace {

char letter(std::int32_t kind)
{
    switch (static_cast<ItemKind>(kind)) {
    case ItemKind::Ellipse: return 'E';
    case ItemKind::Rectangle: return 'R';
    case ItemKind::MoveTo: return 'M';
    case ItemKind::LineTo: return 'L';
    default: return '?';
    }
}

TEST(ToolMarkItems, EveryToolHasItsItemsWithinOneMillimetre)
{
    // E circle, R square, M/L a path; in the order the marks are drawn.
    const char *kinds[36] = {"MLML",  "E",         "R",        "MLLL",    "MLLLL", "MLLLL",   "EE",    "RR",
                             "MLLLL", "EML",       "RML",      "EML",     "RML",   "EMLML",   "RMLML", "EML",
                             "RML",   "EML",       "RML",      "EMLML",   "RMLML", "MLMLML",  "RMLLL", "MLMLML",
                             "RE",    "RMLL",      "MLMLMLML", "RMLMLML", "MLML",  "RMLMLML", "MLLL",  "RRMLML",
                             "MLLLL", "RMLMLMLML", "E",        "R"};
    for (int tool = 1; tool <= 36; ++tool) {
        Document doc;
        appendToolMark(doc, tool, 7, 10.0, -20.0, 0.6);
        const ItemSequence &items = doc.displayList.main();
        EXPECT_TRUE(doc.displayList.underlay().empty());
        std::string got;
        for (size_t i = 0; i < items.size(); ++i) {
            const DisplayItem &it = items[i];
            got += letter(it.kind);
            EXPECT_EQ(it.role, i == 0 ? RoleDrillHit : RoleAuxiliary) << tool;
            EXPECT_EQ(it.layer, 7) << tool;
            EXPECT_DOUBLE_EQ(it.toolSize, 0.6) << tool;
            EXPECT_EQ(it.width, 0.0) << tool;
            EXPECT_EQ(it.colourLayer, 7) << tool;
            const bool box =
                it.kind == static_cast<int>(ItemKind::Ellipse) || it.kind == static_cast<int>(ItemKind::Rectangle);
            for (double x : {it.x1, box ? it.x2 : 10.0})
                EXPECT_TRUE(x >= 9.5 && x <= 10.5) << tool << " x " << x;
            for (double y : {it.y1, box ? it.y2 : -20.0})
                EXPECT_TRUE(y >= -20.5 && y <= -19.5) << tool << " y " << y;
        }
        EXPECT_EQ(got, kinds[tool - 1]) << "tool " << tool;
        EXPECT_EQ(items[0].code, tool);
        const int fill = tool == 35 ? 4 : tool == 36 ? 2 : 3;
        for (const DisplayItem &it : items)
            EXPECT_EQ(it.fill, fill) << tool;
    }
}

TEST(ToolMarkItems, ExactPointsInStoredOrientation)
{
    Document doc;
    // Board (10, 20): stored y -20. Tool 4 is a triangle with its point down,
    // so its first point lies below the hit: stored y -19.5.
    appendToolMark(doc, 4, 1, 10.0, -20.0, 0);
    const ItemSequence &m = doc.displayList.main();
    ASSERT_EQ(m.size(), 4u);
    const double expected[4][2] = {{10.0, -19.5}, {9.5, -20.5}, {10.5, -20.5}, {10.0, -19.5}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(m[i].x1, expected[i][0]) << i;
        EXPECT_DOUBLE_EQ(m[i].y1, expected[i][1]) << i;
        EXPECT_EQ(m[i].x2, 0.0);
        EXPECT_EQ(m[i].y2, 0.0);
    }

    Document rings;
    appendToolMark(rings, 7, 1, 10.0, -20.0, 0);
    const DisplayItem &outer = rings.displayList.main()[0];
    const DisplayItem &inner = rings.displayList.main()[1];
    EXPECT_DOUBLE_EQ(outer.x1, 9.5);
    EXPECT_DOUBLE_EQ(outer.x2, 10.5);
    EXPECT_DOUBLE_EQ(outer.y1, -20.5);
    EXPECT_DOUBLE_EQ(outer.y2, -19.5);
    EXPECT_DOUBLE_EQ(inner.x1, 9.75);
    EXPECT_DOUBLE_EQ(inner.x2, 10.25);
    EXPECT_DOUBLE_EQ(inner.y1, -20.25);
    EXPECT_DOUBLE_EQ(inner.y2, -19.75);
}

TEST(ToolMarkItems, AMarkStartingWithAMoveKeepsTheColourAndFillBeforeIt)
{
    Document doc;
    appendToolMark(doc, 36, 2, 0, 0, 0);  // one solid square, fill 2, layer 2
    appendToolMark(doc, 1, 5, 3, 0, 0);
    const ItemSequence &m = doc.displayList.main();
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[1].colourLayer, 2);
    EXPECT_EQ(m[1].fill, 2);
    EXPECT_EQ(m[1].layer, 5);
    EXPECT_EQ(m[1].role, RoleDrillHit);
    for (size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(m[i].colourLayer, 5);
        EXPECT_EQ(m[i].fill, 3);
    }
}

}  // namespace
}  // namespace korvane
