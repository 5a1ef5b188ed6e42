#include "gerber/MacroLibrary.h"
#include "core/Messages.h"
#include "gerber/ApertureCommands.h"
#include "gerber/ApertureFiles.h"
#include "gerber/ApertureTexts.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::testing;

namespace {

std::vector<std::string> usedLines(const MacroLibrary &lib)
{
    return {lib.lines.begin(), lib.lines.begin() + lib.lineCount};
}

const std::string BoxLib = "%BOX*\r\n21,1,$1,$2,0,0,0*\r\n%\r\n%RING*\r\n1,1,1.0,0,0*\r\n1,0,0.5,0,0*\r\n%\r\n";

}  // namespace

TEST(MacroLibraryFile, ReadsAndWritesTheLibForm)
{
    MacroLibrary lib;
    lib.lines = {"old1", "old2", "old3", "old4", "old5", "old6", "old7", "old8", "old9"};
    lib.lineCount = 9;
    readMacroLibrary(BoxLib, lib);
    EXPECT_TRUE(lib.loaded);
    EXPECT_EQ(usedLines(lib), (std::vector<std::string>{"BOX", "21,1,$1,$2,0,0,0", "END", "RING", "1,1,1.0,0,0",
                                                        "1,0,0.5,0,0", "END"}));
    EXPECT_EQ(lib.line(8), "");  // the old lines are gone
    EXPECT_EQ(macroLibraryBytes(lib), BoxLib);
}

TEST(MacroLibraryFile, ReadsLfCrAndEmptyLinesAndJapaneseNames)
{
    MacroLibrary lib;
    readMacroLibrary("%\x8A\xDB*\n\n1,1,1,0,0*\r%", lib);  // "丸" in code page 932
    EXPECT_EQ(usedLines(lib), (std::vector<std::string>{"丸", "", "1,1,1,0,0", "END"}));
}

TEST(MacroLibraryFile, GrowsPastTheOldFixedSize)
{
    MacroLibrary lib;
    std::string bytes;
    for (int i = 0; i < 1500; ++i)
        bytes += "%M" + std::to_string(i) + "*\r\n1,1,1,0,0*\r\n%\r\n";
    readMacroLibrary(bytes, lib);
    EXPECT_EQ(lib.lineCount, 4500);
    EXPECT_EQ(lib.line(4498), "M1499");
    EXPECT_EQ(lib.line(4501), "");
    EXPECT_EQ(lib.line(0), "");
    EXPECT_EQ(lib.line(-3), "");
    lib.lineCount = 0;  // as at the start of a Gerber file
    EXPECT_EQ(lib.append("X"), 1);
    EXPECT_EQ(lib.line(2), "1,1,1,0,0");  // later lines stay until overwritten
}

TEST(MacroLibraryPath, CutsTheFileNameNeverTheFolder)
{
    struct Case {
        const char *table, *library;
    } cases[] = {
        {"/data/board.apt", "/data/board.lib"},
        {"/data/board.top.apt", "/data/board.lib"},
        {"/data/rev1.2/board.apt", "/data/rev1.2/board.lib"},
        {"/home/u/.local/share/board", "/home/u/.local/share/board.lib"},
        {"/data/rev1.2/board", "/data/rev1.2/board.lib"},
        {"board.apt", "board.lib"},
        {"C:\\cam\\v1.0\\board.apt", "C:\\cam\\v1.0\\board.lib"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(macroLibraryPathFor(c.table), c.library) << c.table;
}

namespace {

struct TableWithMacros : ::testing::Test {
    TempDir dir;
    ApertureTable table;
    MacroLibrary macros;
    FakePrompter prompter;
    FakeFilePicker picker;

    std::string writeTable(const std::string &folderAndName)
    {
        ApertureTable t;
        t.SetRow(10, "Macro 1", "**********");
        std::filesystem::create_directories(std::filesystem::path(dir.file(folderAndName)).parent_path());
        return dir.write(folderAndName, aptBytes(t));
    }
};

}  // namespace

TEST_F(TableWithMacros, LoadFindsTheLibraryBesideTheTable)
{
    std::string apt = writeTable("rev1.2/board.top.apt");
    dir.write("rev1.2/board.lib", BoxLib);
    ASSERT_TRUE(loadAptPath(apt, table, macros, prompter, picker));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(picker.asked.empty());
    EXPECT_TRUE(macros.loaded);
    EXPECT_EQ(macros.line(1), "BOX");
}

TEST_F(TableWithMacros, MissingLibraryIsPickedOrReported)
{
    std::string apt = writeTable("board.apt");
    picker.openAnswers.push_back(std::nullopt);
    ASSERT_TRUE(loadAptPath(apt, table, macros, prompter, picker));
    ASSERT_EQ(picker.asked.size(), 1u);
    EXPECT_EQ(picker.asked[0].title, "ｱﾊﾟｰﾁｬﾏｸﾛﾌｧｲﾙの選択");
    EXPECT_EQ(picker.asked[0].filter, "Aperture Macro Files(*.lib)|*.lib|All Files(*.*)|*.*");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "ｱﾊﾟｰﾁｬﾏｸﾛﾌｧｲﾙの読込みがされませんでした。");
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(table.Lookup(10).shape, "Macro 1");  // the table stays loaded
    EXPECT_FALSE(macros.loaded);

    std::string other = dir.write("elsewhere.lib", BoxLib);
    picker.openAnswers.push_back(other);
    prompter.shown.clear();
    ASSERT_TRUE(loadAptPath(apt, table, macros, prompter, picker));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(macros.lineCount, 7);
}

TEST_F(TableWithMacros, SaveWritesTheLibraryBesideAndAsksBeforeOverwriting)
{
    readMacroLibrary(BoxLib, macros);
    table.SetRow(10, "Macro 1", "**********");
    std::string apt = dir.file("rev1.2/new.board.apt");
    std::filesystem::create_directories(dir.file("rev1.2"));
    ASSERT_TRUE(saveAptPath(apt, table, macros, prompter, picker));
    std::string lib = dir.file("rev1.2/new.lib");
    EXPECT_EQ(TempDir::read(lib), BoxLib);
    EXPECT_TRUE(prompter.shown.empty());

    // Exists: No leads to a save dialog; cancelling it writes nothing.
    dir.write("rev1.2/new.lib", "keep");
    prompter.answers = {Answer::No};
    ASSERT_TRUE(saveAptPath(apt, table, macros, prompter, picker));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, lib + "のｱﾊﾟｰﾁｬﾏｸﾛﾌｧｲﾙは既に存在します。上書きしますか？");
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNo);
    ASSERT_EQ(picker.asked.size(), 1u);
    EXPECT_EQ(picker.asked[0].title, "ｱﾊﾟｰﾁｬﾏｸﾛﾌｧｲﾙの保存");
    EXPECT_EQ(picker.asked[0].defaultExtension, "lib");
    EXPECT_EQ(picker.asked[0].proposedName, lib);
    EXPECT_EQ(TempDir::read(lib), "keep");

    // No, then a name: written there.
    prompter.answers = {Answer::No};
    picker.saveAnswers.push_back(dir.file("chosen.lib"));
    ASSERT_TRUE(saveAptPath(apt, table, macros, prompter, picker));
    EXPECT_EQ(TempDir::read(dir.file("chosen.lib")), BoxLib);

    // Yes overwrites.
    prompter.answers = {Answer::Yes};
    ASSERT_TRUE(saveAptPath(apt, table, macros, prompter, picker));
    EXPECT_EQ(TempDir::read(lib), BoxLib);
}

TEST_F(TableWithMacros, EmptyLibraryIsNotSaved)
{
    std::string apt = dir.file("plain.apt");
    ASSERT_TRUE(saveAptPath(apt, table, macros, prompter, picker));
    EXPECT_FALSE(std::filesystem::exists(dir.file("plain.lib")));
}
