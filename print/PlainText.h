#pragma once
// Plain-text printing helpers: the column width of a character as the old
// line printers counted it, and tab expansion on that count.
#include <string>
#include <string_view>

namespace korvane {

// Columns a UTF-8 text takes: one per code page 932 byte (ASCII and
// half-width katakana one, every other character two).
std::size_t textColumns(std::string_view utf8);

// Replaces each tab by the blanks up to the next multiple of `tabWidth`
// columns.
std::string expandTabs(std::string_view utf8, std::size_t tabWidth = 8);

}  // namespace korvane
