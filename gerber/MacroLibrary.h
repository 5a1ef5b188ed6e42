#pragma once
// Aperture macro definitions kept as text lines, numbered from 1, and their
// .lib file form.
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class MacroLibrary {
public:
    // Lines stay after lineCount is reset until they are overwritten, so a
    // table's "Macro n" rows still find their lines; the vector grows as
    // needed and never holds a fixed number of lines.
    std::vector<std::string> lines;
    int lineCount = 0;
    bool loaded = false;

    // Stores the line after the last line in use and returns its number.
    int append(std::string text);
    // Line n (1-based); empty for numbers that hold no line.
    const std::string &line(int number) const;
    bool holdsLines() const { return lineCount > 0; }
};

// .lib bytes (code page 932) into the emptied library: every line of the file becomes the next line; "%" becomes "END",
// a line starting with "%" loses its first and last character, any other line its last character. Sets `loaded`.
void readMacroLibrary(std::string_view bytes, MacroLibrary &library);

// Lines 1 to lineCount in the .lib form, code page 932 with CR LF.
std::string macroLibraryBytes(const MacroLibrary &library);

// File versions; errors are KorvaneError with the platform text.
void LoadMacroLibrary(const std::string &path, MacroLibrary &library);
void SaveMacroLibrary(const std::string &path, const MacroLibrary &library);

}  // namespace korvane
