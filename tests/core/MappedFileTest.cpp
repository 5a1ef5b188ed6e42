#include "core/MappedFile.h"
#include "core/Errors.h"
#include "core/RegularFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvane;

namespace {

std::string tempPath(const char *name) { return ::testing::TempDir() + "mapped-" + std::to_string(::getpid()) + name; }

TEST(MappedFile, GivesTheBytesOfAFileAndKeepsThemAfterARelease)
{
    std::string bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += static_cast<char>('A' + i % 23);
    bytes += '\0';
    const std::string path = tempPath("big");
    std::ofstream(path, std::ios::binary) << bytes;
    {
        MappedFile file(path);
        ASSERT_EQ(file.size(), bytes.size());
        EXPECT_TRUE(file.bytes() == bytes);
        // Released pages come back from the file when they are read again.
        file.release(200000);
        file.release(100);
        EXPECT_TRUE(file.bytes() == bytes);
    }
    std::remove(path.c_str());
}

TEST(MappedFile, EmptyMissingAndFolderPaths)
{
    const std::string empty = tempPath("empty");
    std::ofstream(empty, std::ios::binary).flush();
    EXPECT_TRUE(MappedFile(empty).bytes().empty());
    std::remove(empty.c_str());

    auto textOf = [](const std::string &path) {
        try {
            MappedFile file(path);
        } catch (const KorvaneError &e) {
            return std::string(e.text());
        }
        return std::string("no error");
    };
    EXPECT_EQ(textOf(tempPath("missing")), fileErrorText(ENOENT));
    EXPECT_EQ(textOf(::testing::TempDir()), notRegularFileText(::testing::TempDir(), S_IFDIR));
}

}  // namespace
