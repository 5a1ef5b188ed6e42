// The seeds of the conversion fuzz targets, replayed through the same bodies.
#include "fuzz/ConvertFuzz.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace korvane {
namespace {

void replay(const char *target, void (*body)(const std::uint8_t *, std::size_t))
{
    std::filesystem::path folder = std::filesystem::path(KORVANE_TEST_DATA) / ".." / ".." / "fuzz" / "seeds" / target;
    int count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        body(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
        ++count;
    }
    EXPECT_GT(count, 0) << target;
}

TEST(FuzzSeeds, ConversionTargetsReplayCleanly)
{
    ::setenv("KORVANE_FUZZ_ORACLE", "1", 1);
    replay("fuzz_gerber_writer", fuzz::fuzzGerberWriter);
    replay("fuzz_drill_writer", fuzz::fuzzDrillWriter);
    replay("fuzz_tape", fuzz::fuzzTapeCodes);
}

}  // namespace
}  // namespace korvane
