#pragma once
// korvane-cli load and render: the Gerber load and the workspace file of the
// desktop program, with the picture rendered as the window would show it.
#include <string>
#include <vector>

namespace korvane::cli {

int runLoad(const std::vector<std::string> &args);
int runRender(const std::vector<std::string> &args);
// drill-format DRILL [--gerber N=FILE ...] [--settings FILE]: the detective's
// ranking of the drill formats by the hits they put on the Gerber pads.
int runDrillFormat(const std::vector<std::string> &args);

extern const char *LoadUsage;

}  // namespace korvane::cli
