#pragma once
// Whole-file reading and atomic writing. Text files are code page 932 with
// CR LF; CR LF, LF and a lone CR are all read as line ends.
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Reads the whole file as bytes; throws KorvaneError with the platform text
// (every reading here refuses what is not a regular file: core/RegularFile.h).
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

// A file written piece by piece to a temporary file in its own folder and
// renamed onto its name only by commit(), so a failed or stopped run leaves
// no partial file and an existing file as it was. The file a symbolic link
// names is the one replaced; a replaced file keeps its mode.
class AtomicOutputFile {
public:
    // Creates the temporary file; throws KorvaneError with the platform text.
    explicit AtomicOutputFile(const std::string &requested);
    virtual ~AtomicOutputFile();  // discards unless committed
    AtomicOutputFile(const AtomicOutputFile &) = delete;
    AtomicOutputFile &operator=(const AtomicOutputFile &) = delete;

    void append(std::string_view bytes);
    // Flushes, syncs, closes and renames onto the output.
    void commit();
    // Removes the temporary file; the output stays as it was.
    void discard();
    // Writes what is buffered, so the temporary file can be read back.
    void flush();
    const std::string &temporaryPath() const { return temp_; }

private:
    std::string path_;
    std::string temp_;
    int fd_ = -1;
    std::string buffer_;
};

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

}  // namespace korvane
