#pragma once
// korvane-cli print gerber: the Gerber print of a print parameter file into
// one PDF, one page per sheet.
#include <string>
#include <vector>

namespace korvane::cli {

int runPrint(const std::vector<std::string> &args);

extern const char *PrintUsage;

}  // namespace korvane::cli
