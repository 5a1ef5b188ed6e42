#pragma once
// korvane-cli create and list: the Gerber/drill cross-creation with its
// report and check, and the D-code and tool usage lists.
#include <string>
#include <vector>

namespace korvane::cli {

extern const char *CrossUsage;

// args are the words after "create" / "list". Exit status: 0 done, 1 stopped
// by a message, 2 bad arguments, 3 the check found a difference.
int runCreate(const std::vector<std::string> &args);
int runList(const std::vector<std::string> &args);

}  // namespace korvane::cli
