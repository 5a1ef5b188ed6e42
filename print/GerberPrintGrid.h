#pragma once
// The file grid of the Gerber print: fifteen rows of a file, its options and
// up to four composition steps, the full paths behind the file names, and
// the print parameter file that stores the grid.
#include "core/Ports.h"

#include <array>
#include <string>
#include <vector>

namespace korvane {

namespace gridcol {
inline constexpr int Number = 0, File = 1, Standalone = 2, Mirror = 3, Polarity = 4;
// Composition step k (0 to 3): its sign and its row number.
constexpr int sign(int step) { return 5 + 2 * step; }
constexpr int row(int step) { return 6 + 2 * step; }
}  // namespace gridcol

namespace gridval {
inline constexpr const char *Required = " 要";
inline constexpr const char *NotRequired = "不要";
inline constexpr const char *Positive = "●";
inline constexpr const char *Negative = "○";
inline constexpr const char *Plus = "＋";
inline constexpr const char *Minus = "－";
}  // namespace gridval

class GerberPrintGrid {
public:
    static constexpr int Rows = 15;
    static constexpr int Columns = 13;
    static constexpr int ParameterLines = 12 * Rows;

    GerberPrintGrid();

    // Rows 1 to 15, columns 0 to 12.
    std::string &cell(int row, int column) { return cells_[static_cast<size_t>(row - 1)][static_cast<size_t>(column)]; }
    const std::string &cell(int row, int column) const
    {
        return cells_[static_cast<size_t>(row - 1)][static_cast<size_t>(column)];
    }
    // The full path of row n's file; empty when the row has none.
    std::string &file(int row) { return files_[static_cast<size_t>(row - 1)]; }
    const std::string &file(int row) const { return files_[static_cast<size_t>(row - 1)]; }

    // Empties columns 1 to 12 of every row and every full path.
    void clear();
    // Takes the chosen files into rows 1 on, sorted byte-wise by full path,
    // at most fifteen.
    void chooseFiles(std::vector<std::string> paths);

    // The 180 lines of a parameter file: column 1 rows 1 to 15, column 2 ...
    std::vector<std::string> parameterLines() const;
    // Fills the cells from parameter lines in rounds of 180; a value that
    // its column's pick list does not offer leaves the cell empty.
    void setParameterLines(const std::vector<std::string> &lines);

private:
    std::array<std::array<std::string, Columns>, Rows> cells_;
    std::array<std::string, Rows> files_;
};

// The header text and the pick-list entries of a column (columns 2 to 12);
// the first entry is the empty one.
const char *gridHeader(int column);
const std::vector<std::string> &pickEntries(int column);
// The caption of a column's pick list.
const char *pickCaption(int column);

// The row number a composition cell names, or 0.
int compositionRow(const std::string &cell);

// Writes the grid's 180 lines atomically (code page 932, CR LF).
void saveGerberPrintParameters(const GerberPrintGrid &grid, const std::string &path);
// Loads a parameter file; every named file must lie in the parameter file's
// folder, otherwise the message is shown, the grid emptied and false returned.
bool loadGerberPrintParameters(GerberPrintGrid &grid, const std::string &path, Prompter &prompter);

}  // namespace korvane
