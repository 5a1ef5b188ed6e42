#pragma once
// Aperture macros of RS-274X files: instantiation with the parameters of an
// aperture definition, inch conversion of stored statements, and the items a
// macro flash appends.
#include "core/Document.h"
#include "gerber/MacroLibrary.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Splits a statement into its comma-separated fields.
std::vector<std::string> macroFields(std::string_view statement);

// Converts the lengths of one stored primitive statement (or a variable
// definition) from inch to millimetres; references stay as they are.
std::string convertStatementToMillimetres(std::string_view statement);
// The same with any factor (1 / 25.4 for millimetres to inch).
std::string scaleStatementLengths(std::string_view statement, double scale);

struct InstantiationResult {
    int nameLine = 0;  // the copy's name line in the library
};

// Appends a copy of the macro starting at `macroLine` named name-D<dcode>,
// with references replaced by the parameters ("X"-separated, in the file's
// own unit). For an inch file `inchBody` holds the macro's statements as the
// file wrote them: each statement is resolved in inch and then converted to
// millimetres, so a parameter is scaled only where it ends up as a length,
// never where it is a count, an exposure or a rotation.
InstantiationResult instantiateMacro(MacroLibrary &library, int macroLine, long dcode,
                                     const std::vector<double> &parameters,
                                     const std::vector<std::string> *inchBody = nullptr);

struct MacroFlash {
    int nameLine = 0;
    Point at{};  // internal frame (Y down)
    int layer = 0;
    int code = 0;
    bool clear = false;  // under clear polarity every primitive clears
};

using ItemOutput = std::function<void(const AppendArgs &)>;

// Hands on the items of the macro's primitives, in their order. Numbers
// that cannot be read throw KorvaneError with the platform's conversion text.
void flashMacro(const ItemOutput &out, const MacroLibrary &library, const MacroFlash &flash);
// The same, appended to the document.
void flashMacro(Document &document, const MacroLibrary &library, const MacroFlash &flash);

// The name line of a macro instance or definition, for the preview caption.
const std::string &macroName(const MacroLibrary &library, int nameLine);

}  // namespace korvane
