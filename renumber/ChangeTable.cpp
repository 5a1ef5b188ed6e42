#include "renumber/ChangeTable.h"
#include "core/Encoding.h"
#include "core/TextFile.h"

namespace korvane {

int changeTableRowCount(RenumberMode mode) { return mode == RenumberMode::DCode ? 100 : 50; }

void ChangeTable::clear()
{
    for (ChangeRow &row : rows)
        row = {};
}

std::vector<std::string> changeTableLines(const ChangeTable &table, RenumberMode mode, const std::string &tableFileName)
{
    std::vector<std::string> lines = {
        "*", "*   KORVANE Ver4",
        "*", mode == RenumberMode::DCode ? "*   Dcode番号変更ﾃｰﾌﾞﾙ" : "*   Tool番号変更ﾃｰﾌﾞﾙ",
        "*", "*   Table File: " + tableFileName,
        "*",
    };
    for (const ChangeRow &row : table.rows)
        lines.push_back(row.before + " " + row.after);
    return lines;
}

void readChangeTableLines(const std::vector<std::string> &lines, ChangeTable &table)
{
    std::size_t next = 0;
    for (const std::string &line : lines) {
        if (next >= table.rows.size())
            break;
        if (line.empty() || line[0] == '*')
            continue;
        ChangeRow &row = table.rows[next++];
        auto blank = line.find(' ');
        if (blank == std::string::npos) {
            row.before.clear();
            row.after = std::string(trimBlanks(line));
        } else {
            row.before = line.substr(0, blank);
            row.after = std::string(trimBlanks(std::string_view(line).substr(blank + 1)));
        }
    }
}

void saveChangeTable(const std::string &path, const ChangeTable &table, RenumberMode mode,
                     const std::string &tableFileName)
{
    writeFileAtomic(path, encodeTextLines(changeTableLines(table, mode, tableFileName)));
}

void loadChangeTable(const std::string &path, ChangeTable &table) { readChangeTableLines(readTextLines(path), table); }

}  // namespace korvane
