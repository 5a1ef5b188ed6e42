#pragma once
// The change table of the renumbering: rows of (code before, code after),
// typed into the dialog's grid or kept in a .tbl file.
#include <string>
#include <vector>

namespace korvane {

enum class RenumberMode { DCode, Tool };

// 100 rows for D-codes, 50 for tools.
int changeTableRowCount(RenumberMode mode);

struct ChangeRow {
    std::string before;
    std::string after;
    bool operator==(const ChangeRow &) const = default;
};

struct ChangeTable {
    explicit ChangeTable(RenumberMode mode) : rows(static_cast<std::size_t>(changeTableRowCount(mode))) {}
    std::vector<ChangeRow> rows;
    void clear();
};

// The lines of the .tbl file (UTF-8, without line ends): seven header lines
// and one line per row, empty rows included.
std::vector<std::string> changeTableLines(const ChangeTable &table, RenumberMode mode,
                                          const std::string &tableFileName);
// Fills rows from the lines in order; comments ("*") and empty lines are
// skipped, rows the lines do not reach keep what they held.
void readChangeTableLines(const std::vector<std::string> &lines, ChangeTable &table);

// The file: code page 932, CR LF, written atomically. Errors throw
// KorvaneError with the platform's text.
void saveChangeTable(const std::string &path, const ChangeTable &table, RenumberMode mode,
                     const std::string &tableFileName);
void loadChangeTable(const std::string &path, ChangeTable &table);

}  // namespace korvane
