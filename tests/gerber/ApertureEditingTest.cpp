#include "gerber/ApertureEditing.h"
#include "gerber/ApertureTexts.h"

#include <gtest/gtest.h>
#include <string_view>

using namespace korvane;

TEST(ApertureEditing, PickListEntriesInOrder)
{
    const char *expected[] = {" ",      "丸",        "正方形",     "長方形",     "楕円形",     "キリ穴",      "トンボ",
                              "ザグリ", "サーマル×", "サーマル＋", "丸ドーナツ", "角ドーナツ", "楕円ドーナツ"};
    ASSERT_EQ(ShapePickEntries.size(), std::size(expected));
    for (std::size_t i = 0; i < ShapePickEntries.size(); ++i)
        EXPECT_STREQ(ShapePickEntries[i], expected[i]);
}

TEST(ApertureEditing, MarksTakeThePlaceholderWithoutTheSizeBox)
{
    struct Case {
        const char *pick;
        bool sizeBox;
        const char *size;
    } cases[] = {
        {"トンボ", false, "**********"},
        {"ザグリ", false, "**********"},
        {"丸", true, "0.5"},
        {" ", true, "0.5"},
    };
    for (const auto &c : cases) {
        ApertureDef row{"D10", "正方形", "0.5"};
        EXPECT_EQ(applyShapePick(row, c.pick), c.sizeBox) << c.pick;
        EXPECT_EQ(row.shape, c.pick);
        EXPECT_EQ(row.size, c.size) << c.pick;
    }
}

TEST(ApertureEditing, SizeEntryExits)
{
    struct Case {
        const char *oldSize;
        SizeEntryExit exit;
        const char *result;
    } cases[] = {
        {"0.5", SizeEntryExit::Ok, "0.75"},     {"", SizeEntryExit::Ok, "0.75"},
        {"0.5", SizeEntryExit::Cancel, "0.5"},  {"", SizeEntryExit::Cancel, ""},
        {"0.5", SizeEntryExit::Escape, "0.75"},  // a row with a size takes the typed text
        {"", SizeEntryExit::Escape, ""},
    };
    for (const auto &c : cases) {
        ApertureDef row{"D10", "丸", c.oldSize};
        applySizeEntry(row, c.exit, "0.75");
        EXPECT_EQ(row.size, c.result) << c.oldSize << " " << static_cast<int>(c.exit);
    }
}

TEST(ApertureEditing, LockedAndMacroRowsAndTypedCharacters)
{
    EXPECT_TRUE(isRowLocked({"D10", "カスタム", "1"}));
    EXPECT_TRUE(isRowLocked({"D10", "カスタム2", ""}));
    EXPECT_FALSE(isRowLocked({"D10", "丸", "1"}));
    EXPECT_TRUE(isMacroRow({"D12", "Macro 5", "**********"}));
    EXPECT_FALSE(isMacroRow({"D12", "丸", "1"}));
    for (char32_t c : std::u32string_view(U"0123456789-."))
        EXPECT_TRUE(isSizeCharacter(c));
    for (char32_t c : std::u32string_view(U"a+ ,xX*１"))
        EXPECT_FALSE(isSizeCharacter(c));
}

TEST(ApertureEditing, MacroPreviewCaption)
{
    MacroLibrary macros;
    for (const char *line : {"X", "END", "A", "END", "RECT-D12"})
        macros.append(line);
    EXPECT_EQ(macroPreviewCaption({"D12", "Macro 5", "**********"}, macros), "D12: Macro 5 (RECT-D12)");
    EXPECT_EQ(macroPreviewCaption({"D12", "Macro 77", "**********"}, macros), "D12: Macro 77 ()");
}
