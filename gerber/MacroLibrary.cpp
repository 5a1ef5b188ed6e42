#include "gerber/MacroLibrary.h"
#include "core/Encoding.h"
#include "core/TextFile.h"

namespace korvane {
namespace {

// Drops the last UTF-8 character (not byte), so a double-byte character
// before the "*" is never split.
std::string dropLastCharacter(std::string_view text)
{
    if (text.empty())
        return {};
    std::size_t end = text.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

}  // namespace

int MacroLibrary::append(std::string text)
{
    auto index = static_cast<std::size_t>(lineCount);
    if (index < lines.size())
        lines[index] = std::move(text);
    else
        lines.push_back(std::move(text));
    return ++lineCount;
}

const std::string &MacroLibrary::line(int number) const
{
    static const std::string none;
    if (number < 1 || static_cast<std::size_t>(number) > lines.size())
        return none;
    return lines[static_cast<std::size_t>(number - 1)];
}

void readMacroLibrary(std::string_view bytes, MacroLibrary &library)
{
    library.lines.clear();
    library.lineCount = 0;
    for (auto raw : splitLines(bytes)) {
        std::string text = cp932ToUtf8(raw);
        if (text == "%")
            library.append("END");
        else if (!text.empty() && text.front() == '%')
            library.append(dropLastCharacter(std::string_view(text).substr(1)));
        else
            library.append(dropLastCharacter(text));
    }
    library.loaded = true;
}

std::string macroLibraryBytes(const MacroLibrary &library)
{
    std::vector<std::string> out;
    bool startOfMacro = true;
    for (int n = 1; n <= library.lineCount; ++n) {
        const std::string &text = library.line(n);
        if (text == "END") {
            out.push_back("%");
            startOfMacro = true;
        } else if (startOfMacro) {
            out.push_back("%" + text + "*");
            startOfMacro = false;
        } else {
            out.push_back(text + "*");
        }
    }
    return encodeTextLines(out);
}

void LoadMacroLibrary(const std::string &path, MacroLibrary &library)
{
    std::string bytes = readFileBytes(path);
    readMacroLibrary(bytes, library);
}

void SaveMacroLibrary(const std::string &path, const MacroLibrary &library)
{
    writeFileAtomic(path, macroLibraryBytes(library));
}

}  // namespace korvane
