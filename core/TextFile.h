#pragma once
// Whole-file reading and atomic writing. Text files are code page 932 with
// CR LF; CR LF, LF and a lone CR are all read as line ends.
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Reads the whole file as bytes; throws KorvaneError with the platform text.
std::string readFileBytes(const std::string &path);

// The first `limit` bytes of a file (all of a shorter one), for a look at
// its header; throws KorvaneError with the platform text.
std::string readFileHead(const std::string &path, std::size_t limit);

// Splits bytes into lines at CR LF, LF or CR. A final line end does not
// start another (empty) line.
std::vector<std::string_view> splitLines(std::string_view bytes);

// Reads a code page 932 text file into UTF-8 lines.
std::vector<std::string> readTextLines(const std::string &path);

// Writes bytes to a temporary file in the same folder and renames it over
// `path`, so a failed write never leaves a truncated file behind.
// Throws KorvaneError with the platform text.
void writeFileAtomic(const std::string &path, std::string_view bytes);

// UTF-8 lines to code page 932, each ended by CR LF (`lastLineEnded` false
// leaves the final line without its CR LF).
std::string encodeTextLines(const std::vector<std::string> &lines, bool lastLineEnded = true);

bool fileExists(const std::string &path);

// A file opened for reading in chunks; errors throw KorvaneError with the
// platform's text.
class InputFile {
public:
    explicit InputFile(const std::string &path);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    // Up to `size` bytes; 0 at the end.
    std::size_t read(char *buffer, std::size_t size);

private:
    int fd_;
};

} // namespace korvane
