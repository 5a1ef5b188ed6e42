// libFuzzer target: arbitrary bytes as a .lib aperture macro file, read,
// written and read again.
#include "gerber/MacroLibrary.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    korvane::MacroLibrary library;
    korvane::readMacroLibrary(std::string_view(reinterpret_cast<const char *>(data), size), library);
    std::string written = korvane::macroLibraryBytes(library);
    korvane::MacroLibrary again;
    korvane::readMacroLibrary(written, again);
    for (int n = -1; n <= library.lineCount + 1; ++n)
        (void)library.line(n);
    return 0;
}
