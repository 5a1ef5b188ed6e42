#pragma once
// The menu commands of the usage lists and the buttons of their windows,
// without the windows: file choice, counting with the busy pointer, saving
// and printing, every failure shown through the prompter.
#include "core/Ports.h"
#include "lists/UsageLists.h"

#include <optional>

namespace korvane {

struct ListPorts {
    Prompter &prompter;
    FilePicker &picker;
    StatusSink &status;
};

// "ﾃﾞｨｽｸﾌｧｲﾙ(&D)": nothing when the user cancelled or the file could not
// be read (the message is shown).
std::optional<DcodeList> listDcodesOfFile(ListPorts &ports);
std::optional<ToolList> listToolsOfFile(ListPorts &ports, const DrillInFormat &format);
// "表示ﾃﾞｰﾀ(&V)".
DcodeList listDcodesShown(const Document &document, StatusSink &status);
ToolList listToolsShown(const Document &document, StatusSink &status);

// "保  存": the save dialog, then the .log file. True when written.
bool saveDcodeList(ListPorts &ports, const DcodeList &list);
bool saveToolList(ListPorts &ports, const ToolList &list);
// "印  刷": the print dialog, then the lines. True when printed.
bool printDcodeList(ListPorts &ports, PrintDevice &device, const DcodeList &list);
bool printToolList(ListPorts &ports, PrintDevice &device, const ToolList &list);

}  // namespace korvane
