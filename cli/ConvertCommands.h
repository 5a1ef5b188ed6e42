#pragma once
// korvane-cli convert and tape: one file through the Gerber or drill writer
// (with the checked rewriting), or through a tape-code conversion.
#include <string>
#include <vector>

namespace korvane::cli {

extern const char *ConvertUsage;

// args are the words after "convert" / "tape". Returns the exit status:
// 0 done, 1 stopped by a message, 2 bad arguments, 3 the check found a
// difference.
int runConvert(const std::vector<std::string> &args);
int runTape(const std::vector<std::string> &args);

// The output name the conversion proposes: the input's file name up to its
// first "." followed by ".cam", in the input's folder.
std::string proposedConversionOutput(const std::string &inputPath);

} // namespace korvane::cli
