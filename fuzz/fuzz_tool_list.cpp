// The tool counter of the usage list on arbitrary bytes; a bad number ends
// the scan with the platform's message, never anything worse.
#include "FuzzSupport.h"
#include "core/Errors.h"
#include "lists/UsageLists.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace korvane;
    if (size == 0)
        return 0;
    std::string_view text(reinterpret_cast<const char *>(data) + 1, size - 1);
    ToolScanner scanner((data[0] & 1) != 0);
    try {
        size_t at = data[0] % (text.size() + 1);
        scanner.feed(text.substr(0, at));
        scanner.feed(text.substr(at));
        ToolList list = scanner.finish("a");
        toolLogLines(list);
        toolPrintLines(list);
    } catch (const KorvaneError &) {
    }
    return 0;
}
