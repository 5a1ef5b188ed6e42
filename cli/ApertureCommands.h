#pragma once
// korvane-cli aperture: shows an aperture table as its printed list and
// turns a .gap file into an .apt table.
#include <string>
#include <vector>

namespace korvane::cli {

// args are the words after "aperture". Returns the process exit code.
int runAperture(const std::vector<std::string> &args);
extern const char *ApertureUsage;

}  // namespace korvane::cli
