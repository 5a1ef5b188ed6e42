#pragma once
// korvane-cli renumber: one Gerber or drill file renumbered by a change table.
#include <string>
#include <vector>

namespace korvane::cli {

extern const char *RenumberUsage;

// args are the words after "renumber". Returns 0 done, 1 stopped by a
// message, 2 bad arguments.
int runRenumber(const std::vector<std::string> &args);

}  // namespace korvane::cli
