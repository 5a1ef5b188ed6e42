// The D-code counter of the usage list on arbitrary bytes, fed in two
// pieces; the counts must not depend on where the input was cut.
#include "FuzzSupport.h"
#include "lists/UsageLists.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace korvane;
    std::string_view text(reinterpret_cast<const char *>(data), size);
    DcodeScanner whole;
    whole.feed(text);
    DcodeList a = whole.finish("a");
    DcodeScanner cut;
    size_t at = size == 0 ? 0 : data[0] % size;
    cut.feed(text.substr(0, at));
    cut.feed(text.substr(at));
    DcodeList b = cut.finish("a");
    fuzz::check(a.rows.size() == b.rows.size());
    for (size_t i = 0; i < a.rows.size(); ++i)
        fuzz::check(a.rows[i].code == b.rows[i].code && a.rows[i].flashes == b.rows[i].flashes &&
                    a.rows[i].draws == b.rows[i].draws);
    dcodeLogLines(a);
    dcodePrintLines(a);
    return 0;
}
