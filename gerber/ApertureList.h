#pragma once
// The aperture list: the table as plain text lines for the printer (and for
// the batch front end, which shows the same lines).
#include "core/Ports.h"
#include "core/PrintDevice.h"
#include "gerber/ApertureTable.h"

#include <string>
#include <vector>

namespace korvane {

inline constexpr std::size_t ApertureListDashes = 39;

// Where the columns start, from the widest texts of the listed rows, so
// that the shapes and the sizes each line up in a monospaced face.
struct ApertureListColumns {
    std::size_t shape = 15;
    std::size_t size = 0;
    std::size_t dashes = ApertureListDashes;  // the width of the dash lines
};
ApertureListColumns apertureListColumns(const ApertureTable &table);

// The lines before the rows (banner, file, heading, dash line).
std::vector<std::string> apertureListHead(const ApertureTable &table, const ApertureListColumns &columns);
// The line of one row, or nothing for a row without shape (empty or " ").
bool apertureListRow(const ApertureDef &row, const ApertureListColumns &columns, std::string &line);
// Head, rows and the closing dash line.
std::vector<std::string> apertureListLines(const ApertureTable &table);

// "テーブル印刷". Refused with a warning when no file is loaded. The closing
// dash line is printed even when the user cancels (through the status
// sink's pump) or the printer fails part way. True when a document was
// printed.
bool PrintApertureList(const ApertureTable &table, PrintDevice &device, Prompter &prompter, StatusSink &status);

}  // namespace korvane
