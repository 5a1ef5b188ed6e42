#pragma once
// The four commands of the code conversion menu: pick the input, propose the
// output name, convert, and tell the user it is done.
#include "convert/TapeCodes.h"
#include "core/Ports.h"

#include <functional>
#include <string>

namespace korvane {

struct TapeCommandPorts {
    Prompter &prompter;
    FilePicker &picker;
    StatusSink &status;
    std::function<void(const std::string &)> setCaption;
};

// The save dialog's proposal: the file name cut after its first "." and
// followed by the extension, or the name, "." and the extension.
std::string proposedTapeName(const std::string &inputPath, const std::string &extension);

// True when a file was converted.
bool runTapeCommand(TapeOperation operation, TapeCommandPorts &ports);

}  // namespace korvane
