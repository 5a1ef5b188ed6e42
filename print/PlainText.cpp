#include "print/PlainText.h"

namespace korvane {
namespace {

// Decodes one UTF-8 sequence at `pos`; advances `pos`. Broken bytes count
// as one character each.
char32_t nextCodePoint(std::string_view s, std::size_t &pos)
{
    auto c = static_cast<unsigned char>(s[pos]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    if (pos + n > s.size())
        n = 1;
    char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t i = 1; i < n; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
    pos += n;
    return cp;
}

std::size_t columnsOf(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xFF61 && cp <= 0xFF9F))
        return 1;
    return 2;
}

}  // namespace

std::size_t textColumns(std::string_view utf8)
{
    std::size_t columns = 0;
    for (std::size_t pos = 0; pos < utf8.size();)
        columns += columnsOf(nextCodePoint(utf8, pos));
    return columns;
}

std::string expandTabs(std::string_view utf8, std::size_t tabWidth)
{
    if (tabWidth == 0)
        tabWidth = 1;
    std::string out;
    std::size_t column = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t start = pos;
        char32_t cp = nextCodePoint(utf8, pos);
        if (cp == U'\t') {
            std::size_t blanks = tabWidth - column % tabWidth;
            out.append(blanks, ' ');
            column += blanks;
        } else {
            out.append(utf8.substr(start, pos - start));
            column += columnsOf(cp);
        }
    }
    return out;
}

}  // namespace korvane
