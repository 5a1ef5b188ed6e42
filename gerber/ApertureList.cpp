#include "gerber/ApertureList.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "gerber/ApertureTexts.h"

namespace korvane {
namespace {

// Code page 932 bytes are the columns a monospaced Japanese face gives a
// text: one for ASCII and half-width kana, two for the rest.
std::size_t columnsOf(const std::string &text) { return cp932Length(text); }

void padTo(std::string &line, std::size_t column)
{
    const std::size_t at = columnsOf(line);
    line.append(at < column ? column - at : 1, ' ');
}

bool listed(const ApertureDef &row) { return !row.shape.empty() && row.shape != aptmsg::Blank; }

constexpr std::size_t DCodeIndent = 4;
constexpr std::size_t ColumnGap = 2;

}  // namespace

ApertureListColumns apertureListColumns(const ApertureTable &table)
{
    std::size_t dcode = columnsOf(aptmsg::ListHeadingDCode), shape = columnsOf(aptmsg::ListHeadingShape),
                size = columnsOf(aptmsg::ListHeadingSize);
    for (int r = 1; r <= ApertureRowCount; ++r) {
        const ApertureDef &row = table.row(r);
        if (!listed(row))
            continue;
        dcode = std::max(dcode, DCodeIndent + columnsOf(row.dcodeLabel));
        shape = std::max(shape, columnsOf(row.shape));
        size = std::max(size, columnsOf(row.size));
    }
    ApertureListColumns c;
    c.shape = std::max<std::size_t>(15, dcode + ColumnGap);
    c.size = c.shape + shape + ColumnGap;
    c.dashes = std::max<std::size_t>(ApertureListDashes, c.size + size);
    return c;
}

std::vector<std::string> apertureListHead(const ApertureTable &table, const ApertureListColumns &columns)
{
    std::string heading = aptmsg::ListHeadingDCode;
    padTo(heading, columns.shape);
    heading += aptmsg::ListHeadingShape;
    padTo(heading, columns.size);
    heading += aptmsg::ListHeadingSize;
    return {"*",     aptmsg::ListBanner,
            "*",     aptmsg::ListCaption,
            "*",     aptmsg::ListFilePrefix + table.filePath,
            "*",     "",
            heading, std::string(columns.dashes, '-')};
}

bool apertureListRow(const ApertureDef &row, const ApertureListColumns &columns, std::string &line)
{
    if (!listed(row))
        return false;
    line = std::string(DCodeIndent, ' ') + row.dcodeLabel;
    padTo(line, columns.shape);
    line += row.shape;
    if (!row.size.empty()) {
        padTo(line, columns.size);
        line += row.size;
    }
    return true;
}

std::vector<std::string> apertureListLines(const ApertureTable &table)
{
    const ApertureListColumns columns = apertureListColumns(table);
    auto lines = apertureListHead(table, columns);
    std::string line;
    for (int r = 1; r <= ApertureRowCount; ++r)
        if (apertureListRow(table.row(r), columns, line))
            lines.push_back(line);
    lines.emplace_back(columns.dashes, '-');
    return lines;
}

bool PrintApertureList(const ApertureTable &table, PrintDevice &device, Prompter &prompter, StatusSink &status)
{
    if (table.filePath.empty()) {
        prompter.warning(aptmsg::PrintNeedsFile);
        return false;
    }
    if (!device.choosePrinter())
        return false;
    BusyGuard busy(status);
    try {
        device.beginDocument(fileNameOf(table.filePath));
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
    const ApertureListColumns columns = apertureListColumns(table);
    std::string failure;
    try {
        for (const auto &line : apertureListHead(table, columns))
            device.printLine(line);
        std::string line;
        for (int r = 1; r <= ApertureRowCount; ++r) {
            if (status.pumpEvents())
                break;
            if (apertureListRow(table.row(r), columns, line))
                device.printLine(line);
        }
    } catch (const KorvaneError &e) {
        failure = e.text();
    }
    try {
        device.printLine(std::string(columns.dashes, '-'));
        device.endDocument();
    } catch (const KorvaneError &e) {
        if (failure.empty())
            failure = e.text();
        device.abortDocument();
    }
    if (!failure.empty()) {
        prompter.error(failure);
        return false;
    }
    return true;
}

}  // namespace korvane
