// The settings file reader: any file reads without a crash, and whatever it
// read survives a write and a second read unchanged.
#include "FuzzSupport.h"
#include "core/SettingsFile.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::QuietPrompter prompter;
    Settings settings;
    applySettingsLines(fuzz::textLines(data, size), settings, prompter);
    Settings again;
    applySettingsLines(settingsLines(settings), again, prompter);
    fuzz::check(again == settings);
    return 0;
}
