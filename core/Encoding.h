#pragma once
// UTF-8 inside the program, code page 932 in every text file.
#include <string>
#include <string_view>

namespace korvane {

// UTF-8 to code page 932. A character code page 932 cannot hold becomes "?".
std::string utf8ToCp932(std::string_view utf8);

// Code page 932 to UTF-8. A byte sequence that is not code page 932 becomes
// U+FFFD, so damaged files still read.
std::string cp932ToUtf8(std::string_view cp932);

// Number of code page 932 bytes the UTF-8 text takes.
std::size_t cp932Length(std::string_view utf8);

// Drops the first `count` characters (code points) of a UTF-8 text.
std::string_view dropCharacters(std::string_view utf8, std::size_t count);

// Trims characters at or below the blank at both ends (tabs, CR, blanks...).
std::string_view trimBlanks(std::string_view text);

// The file name part of a path ("/a/b.c" -> "b.c"); "\" counts as a separator
// too, for names written on Windows.
std::string fileNameOf(std::string_view path);

}  // namespace korvane
