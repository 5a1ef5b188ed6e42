#pragma once
// A readable description of everything a settings file holds, with the
// captions the format dialogs show.
#include "core/Formats.h"

#include <string>
#include <vector>

namespace korvane {

std::vector<std::string> describeSettings(const Settings &settings);

}  // namespace korvane
