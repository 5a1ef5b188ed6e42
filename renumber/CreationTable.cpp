#include "renumber/CreationTable.h"
#include "core/Encoding.h"
#include "core/TextFile.h"
#include "renumber/CrossTexts.h"

namespace korvane {

const std::string &CreationTable::lookup(const std::string &code, bool *matched) const
{
    for (const CreationRow &row : rows) {
        if (row.source == code) {
            if (matched)
                *matched = true;
            return row.target;
        }
    }
    if (matched)
        *matched = false;
    return code;
}

void CreationTable::clearRows()
{
    for (CreationRow &row : rows)
        row = {};
}

std::vector<std::string> creationTableLines(const CreationTable &table, CreationDirection direction)
{
    std::vector<std::string> lines = {"*",
                                      "*   KORVANE Ver4",
                                      "*",
                                      direction == CreationDirection::GerberToDrill
                                          ? crossmsg::TableHeadingGerberToDrill
                                          : crossmsg::TableHeadingDrillToGerber,
                                      "*",
                                      "*   Table File: " + table.tableName,
                                      "*"};
    for (const CreationRow &row : table.rows)
        lines.push_back(row.source + " " + row.target);
    return lines;
}

void readCreationTableLines(const std::vector<std::string> &lines, CreationTable &table)
{
    table.clearRows();
    size_t next = 0;
    for (const std::string &line : lines) {
        if (next == table.rows.size())
            break;
        if (line.empty() || line[0] == '*')
            continue;
        CreationRow &row = table.rows[next++];
        size_t blank = line.find(' ');
        if (blank == std::string::npos) {
            row.target = line;
        } else {
            row.source = line.substr(0, blank);
            row.target = std::string(trimBlanks(std::string_view(line).substr(blank + 1)));
        }
    }
}

void saveCreationTable(const std::string &path, const CreationTable &table, CreationDirection direction)
{
    writeFileAtomic(path, encodeTextLines(creationTableLines(table, direction)));
}

void loadCreationTable(const std::string &path, CreationTable &table)
{
    std::vector<std::string> lines = readTextLines(path);
    readCreationTableLines(lines, table);
    table.tableName = fileNameOf(path);
}

}  // namespace korvane
