#include "gerber/ApertureList.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "gerber/ApertureTexts.h"

namespace korvane {
namespace {

int tabsAfter(const std::string &shape)
{
    using namespace aptmsg;
    if (shape == Round)
        return 3;
    for (const char *two : {Square, Target, Counterbore, DrillHole, Rectangle, Oblong})
        if (shape == two)
            return 2;
    if (shape.find(Macro) != std::string::npos)
        return cp932Length(shape) <= 8 ? 2 : 1;
    return 1;
}

const std::string Dashes(ApertureListDashes, '-');

}  // namespace

std::vector<std::string> apertureListHead(const ApertureTable &table)
{
    return {"*", aptmsg::ListBanner,  "*",   aptmsg::ListCaption, "*", aptmsg::ListFilePrefix + table.filePath, "*",
            "",  aptmsg::ListHeading, Dashes};
}

bool apertureListRow(const ApertureDef &row, std::string &line)
{
    if (row.shape.empty() || row.shape == aptmsg::Blank)
        return false;
    line = "    " + row.dcodeLabel;
    std::size_t bytes = cp932Length(line);
    if (bytes < 15)
        line.append(15 - bytes, ' ');
    line += row.shape;
    line.append(static_cast<std::size_t>(tabsAfter(row.shape)), '\t');
    line += row.size;
    return true;
}

std::vector<std::string> apertureListLines(const ApertureTable &table)
{
    auto lines = apertureListHead(table);
    std::string line;
    for (int r = 1; r <= ApertureRowCount; ++r)
        if (apertureListRow(table.row(r), line))
            lines.push_back(line);
    lines.push_back(Dashes);
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
    std::string failure;
    try {
        for (const auto &line : apertureListHead(table))
            device.printLine(line);
        std::string line;
        for (int r = 1; r <= ApertureRowCount; ++r) {
            if (status.pumpEvents())
                break;
            if (apertureListRow(table.row(r), line))
                device.printLine(line);
        }
    } catch (const KorvaneError &e) {
        failure = e.text();
    }
    try {
        device.printLine(Dashes);
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
