#include "convert/TapeCodes.h"
#include "convert/ConvertTexts.h"
#include "core/Errors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace korvane {
namespace {

using testing::TempDir;

std::string run(TapeOperation op, std::string_view in)
{
    std::string out;
    TapeCodec(op).convert(in, out);
    return out;
}

std::string bytes(std::initializer_list<int> list)
{
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

TEST(TapeCodes, TablesHoldTheirSixtyFivePairs)
{
    std::set<unsigned char> characters;
    for (const TapePair &p : eiaTable())
        characters.insert(p.ascii);
    EXPECT_EQ(characters.size(), 65u);
    EXPECT_EQ(eiaTable()[0].ascii, '0');
    EXPECT_EQ(eiaTable()[64].ascii, '|');
    EXPECT_EQ(ebcdicTable()[10].ascii, 'X');
    EXPECT_EQ(ebcdicTable()[10].code, 0xE7);
}

TEST(TapeCodes, EiaRoundTripOfABlock)
{
    std::string eia = bytes({0x37, 0x01, 0x20, 0x38, 0x02, 0x20, 0x1A, 0x80});
    EXPECT_EQ(run(TapeOperation::EncodeEia, "X10Y20*\r\n"), eia);
    EXPECT_EQ(run(TapeOperation::DecodeEia, eia), "X10Y20*\r\n");
    EXPECT_EQ(run(TapeOperation::DecodeEia, bytes({0x0B, 0x5B, 0x00})), bytes({'%', '%', 0}));
    EXPECT_EQ(run(TapeOperation::EncodeEia, "%"), bytes({0x5B}));
    // Characters without an EIA code and LF vanish; NUL is dropped too.
    EXPECT_EQ(run(TapeOperation::EncodeEia, std::string("$X\n#(\0", 6)), bytes({0x37}));
}

TEST(TapeCodes, EbcdicLineEndsPaddingAndSigns)
{
    EXPECT_EQ(run(TapeOperation::EncodeEbcdic, "\r\n"), bytes({0x0D, 0x15}));
    EXPECT_EQ(run(TapeOperation::DecodeEbcdic, bytes({0x0D, 0x15})), "\r\n");
    EXPECT_EQ(run(TapeOperation::DecodeEbcdic, bytes({0xE7, 0xF1, 0x00, 0x00})), "X1\r\r");
    EXPECT_EQ(run(TapeOperation::EncodeEbcdic, std::string("%\\\0|", 4)), bytes({0x6C, 0x00, 0x00, 0x4F}));
    EXPECT_EQ(run(TapeOperation::DecodeEbcdic, bytes({0x6C, 0x4F, 0x7C})), "%|@");
}

TEST(TapeCodes, BytesOutsideTheTablesPassThrough)
{
    // Lower-case letters and Shift-JIS text are no ASCII characters of the
    // tables; decoding maps only tape codes, so a lower-case byte that is a
    // code (0x61 is EIA "A", EBCDIC "/") does change there.
    const std::string text = "abcz\x82\xa0\x93\xfa";
    EXPECT_EQ(run(TapeOperation::EncodeEia, text), text);
    EXPECT_EQ(run(TapeOperation::EncodeEbcdic, text), text);
    const std::string notCodes = "cqw\x82\xa0\x93\xfa";
    EXPECT_EQ(run(TapeOperation::DecodeEia, notCodes), notCodes);
    EXPECT_EQ(run(TapeOperation::DecodeEbcdic, notCodes), notCodes);
    EXPECT_EQ(run(TapeOperation::DecodeEia, "a"), "A");
}

TEST(TapeCodes, MappingDoesNotDependOnWhereTheInputIsCut)
{
    std::string input;
    for (int i = 0; i < 3000; ++i)
        input += static_cast<char>((i * 37) & 0xFF);
    for (TapeOperation op : {TapeOperation::DecodeEia, TapeOperation::EncodeEia, TapeOperation::DecodeEbcdic,
                             TapeOperation::EncodeEbcdic}) {
        TapeCodec codec(op);
        std::string whole, pieces;
        codec.convert(input, whole);
        for (size_t i = 0; i < input.size(); i += 7)
            codec.convert(std::string_view(input).substr(i, 7), pieces);
        EXPECT_EQ(whole, pieces);
    }
}

TEST(TapeCodes, FilesAreReplacedOnlyWhenTheRunSucceeds)
{
    TempDir dir;
    std::string in = dir.write("board.drl", "T1\r\nX10Y20*\r\n");
    std::string out = dir.file("board.eia");
    encodeEia(in, out);
    std::string eia = TempDir::read(out);
    EXPECT_EQ(eia, bytes({0x23, 0x01, 0x80, 0x37, 0x01, 0x20, 0x38, 0x02, 0x20, 0x1A, 0x80}));
    decodeEia(out, dir.file("back.asc"));
    EXPECT_EQ(TempDir::read(dir.file("back.asc")), "T1\r\nX10Y20*\r\n");

    // A missing input leaves the old output and no stray file.
    try {
        encodeEbcdic(dir.file("missing.gbr"), out);
        ADD_FAILURE();
    } catch (const KorvaneError &e) {
        EXPECT_STREQ(e.text(), "ファイルが見つかりません");
    }
    EXPECT_EQ(TempDir::read(out), eia);

    // The input itself, also by another spelling, is never the output.
    for (const std::string &same : {in, dir.path() + "/./board.drl"}) {
        try {
            decodeEia(in, same);
            ADD_FAILURE();
        } catch (const KorvaneError &e) {
            EXPECT_STREQ(e.text(), convmsg::OutputIsInput);
        }
        EXPECT_EQ(TempDir::read(in), "T1\r\nX10Y20*\r\n");
    }
    size_t files = 0;
    for ([[maybe_unused]] auto &entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 3u);
}

}  // namespace
}  // namespace korvane

#include "convert/TapeCommands.h"
#include "support/FakePorts.h"

namespace korvane {
namespace {

TEST(TapeCommand, PicksProposesConvertsAndTells)
{
    TempDir dir;
    std::string in = dir.write("board.v2.drl", "X1\r\n");
    testing::FakePrompter prompter;
    testing::FakeFilePicker picker;
    testing::FakeStatus status;
    std::vector<std::string> captions;
    TapeCommandPorts ports{prompter, picker, status, [&](const std::string &c) { captions.push_back(c); }};
    picker.openAnswers.push_back(in);
    picker.saveAnswers.push_back(dir.file("board.eia"));
    EXPECT_TRUE(runTapeCommand(TapeOperation::EncodeEia, ports));
    ASSERT_EQ(picker.asked.size(), 2u);
    EXPECT_EQ(picker.asked[0].title, "ASCIIﾌｧｲﾙの選択");
    EXPECT_EQ(picker.asked[1].title, "EIA変換後ﾌｧｲﾙ名の保存");
    EXPECT_EQ(picker.asked[1].proposedName, "board.eia");
    EXPECT_EQ(picker.asked[1].defaultExtension, "eia");
    EXPECT_EQ(picker.asked[1].filter, "EIA Files(*.eia)|*.eia|All Files(*.*)|*.*");
    EXPECT_EQ(captions, (std::vector<std::string>{in, dir.path() + "/board.eia"}));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"コード変換が終了しました！"});
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Information);
    EXPECT_EQ(TempDir::read(dir.file("board.eia")), "\x37\x01\x80");
    EXPECT_EQ(status.busyDepth, 0);

    EXPECT_EQ(proposedTapeName("/a.b/tape", "asc"), "tape.asc");

    // Cancelling either dialog ends the command; a failure shows no completion.
    picker.openAnswers.push_back(std::nullopt);
    EXPECT_FALSE(runTapeCommand(TapeOperation::DecodeEbcdic, ports));
    picker.openAnswers.push_back(in);
    picker.saveAnswers.push_back(in);
    EXPECT_FALSE(runTapeCommand(TapeOperation::DecodeEbcdic, ports));
    EXPECT_EQ(prompter.texts().back(), convmsg::OutputIsInput);
    EXPECT_EQ(picker.asked.back().title, "ASCII変換後ﾌｧｲﾙ名の保存");
}

}  // namespace
}  // namespace korvane
