#include "lists/ListCommands.h"
#include "core/Errors.h"
#include "core/FileFilters.h"
#include "lists/ListTexts.h"

namespace korvane {
namespace {

template <class List, class Count>
std::optional<List> listOfFile(ListPorts &ports, const char *title, const char *filter, Count count)
{
    FileDialogSpec request;
    request.title = title;
    request.filter = filter;
    std::optional<std::string> path = ports.picker.openFile(request);
    if (!path)
        return std::nullopt;
    BusyGuard busy(ports.status);
    try {
        return count(*path);
    } catch (const KorvaneError &e) {
        ports.prompter.error(e.text());
        return std::nullopt;
    }
}

bool saveLines(ListPorts &ports, const char *title, const char *filter, const std::vector<std::string> &lines)
{
    FileDialogSpec request;
    request.title = title;
    request.filter = filter;
    request.defaultExtension = "log";
    request.proposedName = "*.log";
    request.confirmOverwrite = true;
    std::optional<std::string> path = ports.picker.saveFile(request);
    if (!path)
        return false;
    BusyGuard busy(ports.status);
    try {
        saveListLog(*path, lines);
        return true;
    } catch (const KorvaneError &e) {
        ports.prompter.error(e.text());
        return false;
    }
}

bool printLines(ListPorts &ports, PrintDevice &device, const char *title, const std::vector<std::string> &lines)
{
    try {
        return printListLines(device, title, lines);
    } catch (const KorvaneError &e) {
        ports.prompter.error(e.text());
        return false;
    }
}

}  // namespace

std::optional<DcodeList> listDcodesOfFile(ListPorts &ports)
{
    return listOfFile<DcodeList>(ports, listmsg::GerberOpenTitle, filters::GerberOpen,
                                 [](const std::string &path) { return dcodesOfFile(path); });
}

std::optional<ToolList> listToolsOfFile(ListPorts &ports, const DrillInFormat &format)
{
    return listOfFile<ToolList>(ports, listmsg::DrillOpenTitle, filters::DrillOpen,
                                [&](const std::string &path) { return toolsOfFile(path, format); });
}

DcodeList listDcodesShown(const Document &document, StatusSink &status)
{
    BusyGuard busy(status);
    return dcodesOfDocument(document);
}

ToolList listToolsShown(const Document &document, StatusSink &status)
{
    BusyGuard busy(status);
    return toolsOfDocument(document);
}

bool saveDcodeList(ListPorts &ports, const DcodeList &list)
{
    return saveLines(ports, listmsg::DcodeSaveTitle, listmsg::DcodeSaveFilter, dcodeLogLines(list));
}

bool saveToolList(ListPorts &ports, const ToolList &list)
{
    return saveLines(ports, listmsg::ToolSaveTitle, listmsg::ToolSaveFilter, toolLogLines(list));
}

bool printDcodeList(ListPorts &ports, PrintDevice &device, const DcodeList &list)
{
    return printLines(ports, device, listmsg::DcodeCaption, dcodePrintLines(list));
}

bool printToolList(ListPorts &ports, PrintDevice &device, const ToolList &list)
{
    return printLines(ports, device, listmsg::ToolCaption, toolPrintLines(list));
}

}  // namespace korvane
