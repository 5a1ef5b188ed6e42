#include "print/GerberPrintGrid.h"
#include "core/Encoding.h"
#include "core/TextFile.h"
#include "print/PrintTexts.h"

#include <algorithm>

namespace korvane {

GerberPrintGrid::GerberPrintGrid()
{
    for (int r = 1; r <= Rows; ++r)
        cell(r, gridcol::Number) = std::to_string(r);
}

void GerberPrintGrid::clear()
{
    for (int r = 1; r <= Rows; ++r) {
        for (int c = 1; c < Columns; ++c)
            cell(r, c).clear();
        file(r).clear();
    }
}

void GerberPrintGrid::chooseFiles(std::vector<std::string> paths)
{
    clear();
    std::sort(paths.begin(), paths.end());  // std::string compares bytes
    if (paths.size() > static_cast<size_t>(Rows))
        paths.resize(Rows);
    for (size_t i = 0; i < paths.size(); ++i) {
        int row = static_cast<int>(i) + 1;
        file(row) = paths[i];
        cell(row, gridcol::File) = fileNameOf(paths[i]);
    }
}

std::vector<std::string> GerberPrintGrid::parameterLines() const
{
    std::vector<std::string> lines;
    lines.reserve(ParameterLines);
    for (int c = 1; c < Columns; ++c)
        for (int r = 1; r <= Rows; ++r)
            lines.push_back(cell(r, c));
    return lines;
}

namespace {

bool offered(int column, const std::string &value)
{
    if (column == gridcol::File)
        return true;
    const auto &entries = pickEntries(column);
    return std::find(entries.begin(), entries.end(), value) != entries.end();
}

}  // namespace

void GerberPrintGrid::setParameterLines(const std::vector<std::string> &lines)
{
    // Rounds of 180 lines, each starting again at column 1 row 1, as long as
    // lines are left when a round begins.
    size_t next = 0;
    do {
        for (int c = 1; c < Columns; ++c)
            for (int r = 1; r <= Rows; ++r) {
                std::string value = next < lines.size() ? lines[next] : std::string();
                ++next;
                cell(r, c) = offered(c, value) ? value : std::string();
            }
    } while (next < lines.size());
}

const char *gridHeader(int column)
{
    static const char *const headers[GerberPrintGrid::Columns] = {"No.",      "             ファイル名",
                                                                  "単独出力", "  ミラー",
                                                                  "ﾈｶﾞﾎﾟｼﾞ",  "式",
                                                                  "合成１",   "式",
                                                                  "合成２",   "式",
                                                                  "合成３",   "式",
                                                                  "合成４"};
    return column >= 0 && column < GerberPrintGrid::Columns ? headers[column] : "";
}

const std::vector<std::string> &pickEntries(int column)
{
    static const std::vector<std::string> none;
    static const std::vector<std::string> yesNo = {"", gridval::Required, gridval::NotRequired};
    static const std::vector<std::string> polarity = {"", gridval::Positive, gridval::Negative};
    static const std::vector<std::string> sign = {"", gridval::Plus, gridval::Minus};
    static const std::vector<std::string> rows = [] {
        std::vector<std::string> v = {""};
        for (int r = 1; r <= GerberPrintGrid::Rows; ++r)
            v.push_back(r < 10 ? " " + std::to_string(r) : std::to_string(r));
        return v;
    }();
    if (column == gridcol::Standalone || column == gridcol::Mirror)
        return yesNo;
    if (column == gridcol::Polarity)
        return polarity;
    if (column >= 5 && column < GerberPrintGrid::Columns)
        return column % 2 == 1 ? sign : rows;
    return none;
}

const char *pickCaption(int column)
{
    if (column == gridcol::Standalone)
        return "単独出力";
    if (column == gridcol::Mirror)
        return "ミラー";
    if (column == gridcol::Polarity)
        return "ﾈｶﾞﾎﾟｼﾞ";
    if (column >= 5 && column < GerberPrintGrid::Columns)
        return column % 2 == 1 ? "式" : "合成";
    return "";
}

int compositionRow(const std::string &cell)
{
    const auto &rows = pickEntries(gridcol::row(0));
    auto it = std::find(rows.begin(), rows.end(), cell);
    return it == rows.end() ? 0 : static_cast<int>(it - rows.begin());
}

void saveGerberPrintParameters(const GerberPrintGrid &grid, const std::string &path)
{
    writeFileAtomic(path, encodeTextLines(grid.parameterLines()));
}

namespace {

std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

bool loadGerberPrintParameters(GerberPrintGrid &grid, const std::string &path, Prompter &prompter)
{
    std::vector<std::string> lines = readTextLines(path);
    grid.setParameterLines(lines);
    const std::string folder = folderOf(path);
    for (int r = 1; r <= GerberPrintGrid::Rows; ++r) {
        std::string name = grid.cell(r, gridcol::File);
        if (name.empty()) {
            grid.file(r).clear();
            continue;
        }
        // Files named on Windows may carry a folder written with "\".
        std::string full = folder + "/" + fileNameOf(name);
        if (!fileExists(full)) {
            prompter.error(full + printmsg::ParameterFileMissing);
            grid.clear();
            return false;
        }
        grid.file(r) = full;
    }
    return true;
}

}  // namespace korvane
