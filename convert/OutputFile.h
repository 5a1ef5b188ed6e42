#pragma once
// Outputs of the conversions: bytes go to a temporary file in the output's
// own folder, which is renamed onto the output only when the run succeeded.
// A failed or stopped run leaves no partial file and an existing output as
// it was.
#include <string>
#include <string_view>

namespace korvane {

// Where a writer's bytes go: a file or memory.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

class StringSink : public ByteSink {
public:
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

class AtomicOutputFile : public ByteSink {
public:
    // Creates the temporary file; throws KorvaneError with the platform text.
    explicit AtomicOutputFile(const std::string &path);
    ~AtomicOutputFile() override; // discards unless committed
    AtomicOutputFile(const AtomicOutputFile &) = delete;
    AtomicOutputFile &operator=(const AtomicOutputFile &) = delete;

    void write(std::string_view bytes) override;
    // Flushes, closes and renames onto the output.
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

// Whether the two paths name the same existing file (links and other
// spellings included).
bool sameFile(const std::string &a, const std::string &b);

// Throws KorvaneError(OutputIsInput) when `output` is `input` itself.
void refuseOutputOntoInput(const std::string &input, const std::string &output);

} // namespace korvane
