#include "core/Encoding.h"
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

std::string record(std::string_view shapeCp932, std::string_view sizeCp932, int shapeLength = -1, int sizeLength = -1)
{
    std::string r(AptRecordSize, '\0');
    r[0] = static_cast<char>(shapeLength < 0 ? shapeCp932.size() : static_cast<std::size_t>(shapeLength));
    r.replace(1, shapeCp932.size(), shapeCp932);
    r[16] = static_cast<char>(sizeLength < 0 ? sizeCp932.size() : static_cast<std::size_t>(sizeLength));
    r.replace(17, sizeCp932.size(), sizeCp932);
    return r;
}

// Significant content only: each length byte and the bytes it covers.
std::vector<std::string> significant(const std::string &bytes)
{
    std::vector<std::string> out;
    for (std::size_t at = 0; at + AptRecordSize <= bytes.size(); at += AptRecordSize) {
        auto shapeLen = static_cast<unsigned char>(bytes[at]);
        auto sizeLen = static_cast<unsigned char>(bytes[at + 16]);
        out.push_back(bytes.substr(at, 1 + shapeLen) + "|" + bytes.substr(at + 16, 1 + sizeLen));
    }
    return out;
}

struct AptFile : ::testing::Test {
    TempDir dir;
    ApertureTable table;
    MacroLibrary macros;
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
};

}  // namespace

TEST_F(AptFile, LoadThenSaveUnderAnotherNameKeepsSignificantBytes)
{
    std::string unused(AptRecordSize, '\x55');  // empty row with junk after the lengths
    unused[0] = unused[16] = '\0';
    std::string bytes;
    for (int k = 0; k < ApertureRowCount; ++k) {
        switch (k % 5) {
        case 0: bytes += record(utf8ToCp932("丸"), "0." + std::to_string(k)); break;
        case 1: bytes += record(utf8ToCp932("楕円ドーナツ"), "1.2-0.8-0.4-0.2"); break;  // 12 bytes
        case 2: bytes += record(utf8ToCp932("サーマル×"), "12345678901234567890"); break;
        case 3: bytes += record(utf8ToCp932("カスタム"), "x"); break;
        default: bytes += unused;
        }
    }
    std::string in = dir.write("in.apt", bytes);
    picker.openAnswers.push_back(in);
    ASSERT_TRUE(LoadAptFile(table, macros, prompter, picker, status));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(table.Lookup(11).shape, "楕円ドーナツ");
    EXPECT_EQ(table.filePath, in);

    std::string out = dir.file("out.apt");
    picker.saveAnswers.push_back(out);
    ASSERT_TRUE(SaveAptFile(table, macros, prompter, picker, status));
    EXPECT_EQ(picker.asked.back().proposedName, "in.apt");
    std::string written = TempDir::read(out);
    EXPECT_EQ(written.size(), AptFileSize);
    EXPECT_EQ(significant(written), significant(bytes));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(table.filePath, out);
    EXPECT_EQ(table.title, "out.apt");
    EXPECT_EQ(status.busyDepth, 0);
}

TEST_F(AptFile, PickersUseTheirTitlesFiltersAndProposals)
{
    picker.openAnswers = {std::nullopt, std::nullopt, std::nullopt};
    EXPECT_FALSE(LoadAptFile(table, macros, prompter, picker, status));
    EXPECT_FALSE(LoadAptFileForSelection(table, macros, prompter, picker, status));
    EXPECT_FALSE(ImportGapFile(table, prompter, picker, status));
    EXPECT_FALSE(SaveAptFile(table, macros, prompter, picker, status));
    ASSERT_EQ(picker.asked.size(), 4u);
    EXPECT_EQ(picker.asked[0].title, "ｱﾊﾟｰﾁｬﾃｰﾌﾞﾙの選択");
    EXPECT_EQ(picker.asked[0].filter, "Aperture Table Files(*.apt)|*.apt|All Files(*.*)|*.*");
    EXPECT_EQ(picker.asked[1].title, "ｱﾊﾟｰﾁｬﾃｰﾌﾞﾙの選択");
    EXPECT_EQ(picker.asked[1].filter, "Aperture Files(*.Apt)|*.Apt|All Files(*.*)|*.*");
    EXPECT_EQ(picker.asked[2].title, "GAPﾌｧｲﾙの選択");
    EXPECT_EQ(picker.asked[2].filter, "GAP Aperture Table Files(*.gap)|*.gap|All Files(*.*)|*.*");
    EXPECT_EQ(picker.asked[3].title, "ｱﾊﾟｰﾁｬﾃｰﾌﾞﾙの保存");
    EXPECT_EQ(picker.asked[3].filter, "Aperture Table Files(*.apt)|*.apt|All Files(*.*)|*.*");
    EXPECT_EQ(picker.asked[3].defaultExtension, "apt");
    EXPECT_EQ(picker.asked[3].proposedName, "*.apt");
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(table.title, aptmsg::DefaultTitle);
}

TEST(AptSaveName, Proposals)
{
    struct Case {
        const char *title, *proposal;
    } cases[] = {
        {"アパーチャテーブル", "*.apt"}, {"/data/rev1.2/board.gap", "board.apt"}, {"/data/BOARD.GAP", "BOARD.apt"},
        {"board.apt", "board.apt"},      {"/data/基板.gap", "基板.apt"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(proposedSaveName(c.title), c.proposal) << c.title;
}

TEST_F(AptFile, SelectionVariantKeepsTheTitle)
{
    std::string path = dir.write("sel.apt", std::string(AptFileSize, '\0'));
    picker.openAnswers.push_back(path);
    table.title = "/x/old.gap";
    ASSERT_TRUE(LoadAptFileForSelection(table, macros, prompter, picker, status));
    EXPECT_EQ(table.filePath, path);
    EXPECT_EQ(table.title, "/x/old.gap");
}

TEST_F(AptFile, ShortFileEndsWithReadPastEndAndKeepsRowsRead)
{
    std::string bytes = record(utf8ToCp932("丸"), "0.1") + record(utf8ToCp932("正方形"), "0.2");
    bytes += record("x", "y").substr(0, 20);  // a torn third record
    table.SetRow(500, "丸", "9");             // from before: cleared by the load
    ASSERT_TRUE(loadAptPath(dir.write("short.apt", bytes), table, macros, prompter, picker));
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{std::string("short.apt\n") + msg::ReadPastEnd});
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(table.Lookup(10).size, "0.1");
    EXPECT_EQ(table.Lookup(11).shape, "正方形");
    EXPECT_FALSE(table.Lookup(12).isSet());
    EXPECT_FALSE(table.Lookup(500).isSet());
}

// A text file (a .gap or a Gerber file picked by mistake) is named and
// refused before a row changes; so is an empty file.
TEST_F(AptFile, ATextFileIsNoTableAndLeavesTheTableAlone)
{
    table.filePath = "/keep.apt";
    table.title = "keep.apt";
    table.SetRow(10, "丸", "0.1");
    std::string text;
    while (text.size() < AptFileSize + 100)
        text += "D10 ROUND 0.100 0.100\r\n";
    for (const auto &[name, bytes] : {std::pair{"ekf.apt", text}, std::pair{"empty.apt", std::string()}}) {
        prompter.shown.clear();
        EXPECT_FALSE(loadAptPath(dir.write(name, bytes), table, macros, prompter, picker)) << name;
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{std::string(name) + "\n" + aptmsg::NotAnAptFile});
        EXPECT_EQ(table.filePath, "/keep.apt");
        EXPECT_EQ(table.title, "keep.apt");
        EXPECT_EQ(table.Lookup(10).size, "0.1");
        EXPECT_FALSE(table.Lookup(11).isSet());
    }
}

TEST_F(AptFile, MissingFileLeavesTheTableAlone)
{
    table.filePath = "/keep.apt";
    table.SetRow(10, "丸", "0.1");
    EXPECT_FALSE(loadAptPath(dir.file("none.apt"), table, macros, prompter, picker));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{msg::FileNotFound});
    EXPECT_EQ(table.filePath, "/keep.apt");
    EXPECT_TRUE(table.Lookup(10).isSet());
}

TEST(AptRecords, DamagedLengthBytesAreClampedToTheirFields)
{
    std::string bytes(AptFileSize, '\0');
    bytes.replace(0, AptRecordSize, record("ABCDEFGHIJKLMNO", "12345678901234567890", 255, 200));
    ApertureTable table;
    ASSERT_TRUE(readAptRecords(bytes, table));
    EXPECT_EQ(table.row(1).shape, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(table.row(1).size, "12345678901234567890");
    EXPECT_EQ(table.row(2).shape, "");
}

TEST_F(AptFile, OverlongTextsAreCutOnCharacterBoundariesAndTold)
{
    // 8 double-byte characters = 16 bytes: the cut keeps 7 (14 bytes),
    // never 15 bytes ending in half a character.
    const std::string longShape = "楕円ドーナツ形状";
    const std::string longSize = "1.5-0.8-0.25-0.125-0.0625";
    table.SetRow(12, longShape, "1");
    table.SetRow(40, "丸", longSize);
    table.SetRow(41, "楕円ドーナツ", "12345678901234567890");  // exactly fits
    std::string out = dir.file("cut.apt");
    ASSERT_TRUE(saveAptPath(out, table, macros, prompter, picker));

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, std::string(aptmsg::TextsCut) + "D12, D40");
    EXPECT_EQ(table.Lookup(12).shape, longShape);  // the row keeps the whole text
    EXPECT_EQ(table.Lookup(40).size, longSize);

    ApertureTable back;
    ASSERT_TRUE(readAptRecords(TempDir::read(out), back));
    EXPECT_EQ(back.Lookup(12).shape, "楕円ドーナツ形");
    EXPECT_EQ(back.Lookup(40).size, longSize.substr(0, 20));
    EXPECT_EQ(back.Lookup(41).shape, "楕円ドーナツ");
    EXPECT_EQ(back.Lookup(41).size, "12345678901234567890");
}

TEST(AptRecords, Cp932FieldNeverSplitsACharacter)
{
    struct Case {
        const char *text;
        std::size_t max;
        const char *kept;
        bool cut;
    } cases[] = {
        {"サーマル×", 15, "サーマル×", false},
        {"サーマル×", 9, "サーマル", true},
        {"aサーマル", 4, "aサ", true},
        {"ｱﾊﾟｰﾁｬ", 3, "ｱﾊﾟ", true},  // half-width katakana are one byte
        {"", 15, "", false},
    };
    for (const auto &c : cases) {
        bool cut = false;
        EXPECT_EQ(cp932ToUtf8(cp932Field(c.text, c.max, &cut)), c.kept) << c.text << " " << c.max;
        EXPECT_EQ(cut, c.cut) << c.text;
    }
}

// Rows above D999 (from RS-274X files) have no record in the file: the
// save says which.
TEST_F(AptFile, RowsAboveD999AreNamedAsNotSaved)
{
    table.SetRow(10, "丸", "0.1");
    table.SetRow(8191, "丸", "2");
    table.SetRow(1000, "正方形", "1");
    ASSERT_TRUE(saveAptPath(dir.file("big.apt"), table, macros, prompter, picker));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, std::string(aptmsg::RowsAboveD999NotSaved) + "D1000, D8191");
}
