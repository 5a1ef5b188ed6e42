#pragma once
// korvane-cli convert and tape: a batch of files through the Gerber or drill
// writer (with the checked rewriting), or one through a tape-code conversion.
#include <string>
#include <vector>

namespace korvane::cli {

extern const char *ConvertUsage;

// args are the words after "convert" / "tape". Returns the exit status:
// 0 done, 1 a pair stopped, refused or not reached, 2 bad arguments, 3 the
// check found a difference.
int runConvert(const std::vector<std::string> &args);
int runTape(const std::vector<std::string> &args);

}  // namespace korvane::cli
