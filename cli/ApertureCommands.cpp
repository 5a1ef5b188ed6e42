#include "cli/ApertureCommands.h"
#include "cli/CliPorts.h"
#include "gerber/ApertureCommands.h"
#include "gerber/ApertureList.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace korvane::cli {
namespace {

bool isGapPath(const std::string &path)
{
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".gap";
}

}  // namespace

const char *ApertureUsage = "使い方: korvane-cli aperture show FILE\n"
                            "        korvane-cli aperture import-gap IN.gap OUT.apt\n";

int runAperture(const std::vector<std::string> &args)
{
    StderrPrompter prompter;
    NoFilePicker picker;
    ApertureTable table;
    MacroLibrary macros;

    if (args.size() == 2 && args[0] == "show") {
        bool read = isGapPath(args[1]) ? importGapPath(args[1], table, prompter)
                                       : loadAptPath(args[1], table, macros, prompter, picker);
        if (read)
            for (const auto &line : apertureListLines(table))
                std::cout << line << "\n";
        return prompter.errorCount() == 0 ? 0 : 1;
    }
    if (args.size() == 3 && args[0] == "import-gap") {
        if (!importGapPath(args[1], table, prompter) || prompter.errorCount() > 0)
            return 1;
        if (!saveAptPath(args[2], table, macros, prompter, picker))
            return 1;
        return prompter.errorCount() == 0 ? 0 : 1;
    }
    std::cerr << ApertureUsage;
    return 2;
}

}  // namespace korvane::cli
