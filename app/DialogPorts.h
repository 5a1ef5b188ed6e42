#pragma once
// The ports a dialog passes on to the command functions it calls.
#include "core/Ports.h"

namespace korvane {

struct DialogPorts {
    Prompter &prompter;
    FilePicker &picker;
    StatusSink &status;
};

}  // namespace korvane
