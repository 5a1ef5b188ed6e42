// libFuzzer entry of the conversion target; the body is in ConvertFuzz.h.
#include "ConvertFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    korvane::fuzz::fuzzGerberWriter(data, size);
    return 0;
}
