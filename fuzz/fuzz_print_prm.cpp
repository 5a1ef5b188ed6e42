// The Gerber print ParameterFile reader: every cell ends up a value its pick
// list offers, and the grid survives a write and re-read.
#include "FuzzSupport.h"
#include "print/GerberPrintGrid.h"

#include <algorithm>

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    GerberPrintGrid grid;
    grid.setParameterLines(fuzz::textLines(data, size));
    for (int r = 1; r <= GerberPrintGrid::Rows; ++r)
        for (int c = gridcol::Standalone; c < GerberPrintGrid::Columns; ++c) {
            const auto &entries = pickEntries(c);
            fuzz::check(std::find(entries.begin(), entries.end(), grid.cell(r, c)) != entries.end());
        }
    for (int k = 0; k < 4; ++k)
        for (int r = 1; r <= GerberPrintGrid::Rows; ++r) {
            int named = compositionRow(grid.cell(r, gridcol::row(k)));
            fuzz::check(named >= 0 && named <= GerberPrintGrid::Rows);
        }
    const std::vector<std::string> lines = grid.parameterLines();
    fuzz::check(lines.size() == static_cast<size_t>(GerberPrintGrid::ParameterLines));
    GerberPrintGrid again;
    again.setParameterLines(lines);
    fuzz::check(again.parameterLines() == lines);
    return 0;
}
