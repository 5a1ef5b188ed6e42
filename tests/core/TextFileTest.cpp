#include "core/TextFile.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvane;
using korvane::testing::TempDir;

TEST(Encoding, Cp932RoundTripAndTheCharactersShiftJisGetsWrong)
{
    // Backslash and the full-width minus are where SHIFT_JIS and CP932 differ.
    std::string text = "ｶﾞｰﾊﾞｰ読込 C:\\data －１";
    std::string bytes = utf8ToCp932(text);
    EXPECT_EQ(bytes.find("\\data"), bytes.find("C:") + 2);
    EXPECT_EQ(cp932ToUtf8(bytes), text);
    EXPECT_EQ(utf8ToCp932("ｱ").size(), 1u);  // half-width katakana: one byte
    EXPECT_EQ(utf8ToCp932("ア").size(), 2u);
    EXPECT_EQ(cp932Length("ＫＯＲＶＡＮＥ"), 14u);
}

TEST(Encoding, BadBytesAndUnmappableCharactersNeverStopAConversion)
{
    EXPECT_EQ(cp932ToUtf8(std::string("A\x81", 2)), "A\xEF\xBF\xBD");
    EXPECT_EQ(cp932ToUtf8(std::string("A\xFF"
                                      "B",
                                      3)),
              "A\xEF\xBF\xBD"
              "B");
    EXPECT_EQ(utf8ToCp932("A\xF0\x9F\x98\x80"
                          "B"),
              "A?B");                                       // an emoji has no CP932 code
    EXPECT_EQ(utf8ToCp932(std::string("A\xC3", 2)), "A?");  // truncated UTF-8
}

TEST(TextLines, SplitAtCrLfLfAndLoneCr)
{
    auto lines = splitLines("a\r\nb\nc\rd\r\n\r\ne");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[3], "d");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "e");
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(splitLines("x\r\n").size(), 1u);
}

TEST(AtomicWrite, WritesCp932WithCrLfAndReplacesTheOldFile)
{
    TempDir dir;
    auto path = dir.write("out.txt", "old contents");
    writeFileAtomic(path, encodeTextLines({"ドリル", "x"}));
    EXPECT_EQ(TempDir::read(path), "\x83h\x83\x8A\x83\x8B\r\nx\r\n");
    EXPECT_EQ(readTextLines(path), (std::vector<std::string>{"ドリル", "x"}));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(AtomicWrite, AFailedWriteKeepsTheOldFileAndReportsThePlatformText)
{
    // A file size limit makes the write fail half-way, even for root.
    TempDir dir;
    auto path = dir.write("keep.ini", "precious");
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string text;
    try {
        writeFileAtomic(path, std::string(100, 'x'));
    } catch (const KorvaneError &e) {
        text = e.text();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(text, "ディスクがいっぱいです");
    EXPECT_EQ(TempDir::read(path), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(AtomicWrite, AFolderOrMissingFolderIsAnErrorNotACrash)
{
    TempDir dir;
    EXPECT_THROW(writeFileAtomic(dir.path(), "x"), KorvaneError);
    try {
        writeFileAtomic(dir.file("no/such/folder.txt"), "x");
        ADD_FAILURE();
    } catch (const KorvaneError &e) {
        EXPECT_STREQ(e.text(), "ファイルが見つかりません");
    }
    try {
        readFileBytes(dir.file("missing.ini"));
        ADD_FAILURE();
    } catch (const KorvaneError &e) {
        EXPECT_STREQ(e.text(), "ファイルが見つかりません");
    }
}
