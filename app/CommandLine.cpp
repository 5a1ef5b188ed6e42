#include "app/CommandLine.h"

namespace korvane {

std::optional<int> answerCommandLine(const std::vector<std::string> &arguments, const char *version, std::ostream &out,
                                     std::ostream &err)
{
    for (const std::string &a : arguments) {
        if (a == "--help" || a == "-h") {
            out << ProgramUsage;
            return 0;
        }
        if (a == "--version") {
            out << "korvane " << version << "\n";
            return 0;
        }
    }
    // Qt's own options ("-platform xcb", "-style ...") have one dash; a
    // file name never starts with two.
    for (const std::string &a : arguments) {
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            err << "korvane: 不明なオプションです: " << a << "\n\n" << ProgramUsage;
            return 2;
        }
    }
    return std::nullopt;
}

}  // namespace korvane
