// libFuzzer target: arbitrary bytes as a .gap aperture list.
#include "core/Errors.h"
#include "gerber/ApertureFiles.h"
#include "gerber/ApertureList.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    korvane::ApertureTable table;
    try {
        korvane::readGapLines(std::string_view(reinterpret_cast<const char *>(data), size), table);
    } catch (const korvane::KorvaneError &) {
        // A bad first field ends the import; the rows read stay usable.
    }
    table.filePath = "fuzz.gap";
    korvane::apertureListLines(table);
    korvane::aptBytes(table);
    return 0;
}
