// The drill output ParameterFile reader, with a write and re-read check.
#include "FuzzSupport.h"
#include "core/ParameterFile.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    DrillOutFormat format;
    applyDrillOutParameterLines(fuzz::textLines(data, size), format);
    DrillOutFormat again;
    applyDrillOutParameterLines(drillOutParameterLines(format), again);
    fuzz::check(again == format);
    return 0;
}
