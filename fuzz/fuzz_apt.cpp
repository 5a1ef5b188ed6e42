// libFuzzer target: arbitrary bytes as an .apt aperture table, then saved
// again, so the reader's clamping and the writer's cutting both run.
#include "fuzz/FuzzSupport.h"
#include "gerber/ApertureFiles.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    korvane::ApertureTable table;
    korvane::readAptRecords(std::string_view(reinterpret_cast<const char *>(data), size), table);
    std::vector<int> cut;
    std::string bytes = korvane::aptBytes(table, &cut);
    korvane::fuzz::check(bytes.size() == korvane::AptFileSize);
    return 0;
}
