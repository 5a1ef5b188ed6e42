#pragma once
// The creation table of the Gerber/drill cross-creation: 50 rows mapping a
// D-code to a tool or a tool to a D-code, and its .tbl file.
#include <array>
#include <string>
#include <vector>

namespace korvane {

enum class CreationDirection { GerberToDrill, DrillToGerber };

inline constexpr int CreationTableRows = 50;

struct CreationRow {
    std::string source;
    std::string target;
};

struct CreationTable {
    std::array<CreationRow, CreationTableRows> rows;
    // The name (without folder) of the table file last loaded.
    std::string tableName;

    // The target of `code`: the first row whose source is exactly `code`;
    // a code without a row stands for itself. `matched` tells which.
    const std::string &lookup(const std::string &code, bool *matched = nullptr) const;
    void clearRows();
};

// The file's lines as written (the header names the direction).
std::vector<std::string> creationTableLines(const CreationTable &table, CreationDirection direction);
// Fills the rows from the lines of a table file; every row is emptied first.
// The heading is not checked, so either direction's table can be read.
void readCreationTableLines(const std::vector<std::string> &lines, CreationTable &table);

// Code page 932 with CR LF, written atomically. Throws KorvaneError.
void saveCreationTable(const std::string &path, const CreationTable &table, CreationDirection direction);
// Reads the rows and takes the file's name as tableName. Throws KorvaneError.
void loadCreationTable(const std::string &path, CreationTable &table);

}  // namespace korvane
