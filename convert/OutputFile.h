#pragma once
// Outputs of the conversions: bytes go to a temporary file in the output's
// own folder, which is renamed onto the output only when the run succeeded.
// A failed or stopped run leaves no partial file and an existing output as
// it was.
#include "core/TextFile.h"

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

// A conversion's output file as a sink (see AtomicOutputFile).
class OutputFileSink : public ByteSink, public AtomicOutputFile {
public:
    using AtomicOutputFile::AtomicOutputFile;
    void write(std::string_view bytes) override { append(bytes); }
};

// Whether the two paths name the same existing file (links and other
// spellings included).
bool sameFile(const std::string &a, const std::string &b);

// Throws KorvaneError(OutputIsInput) when `output` is `input` itself.
void refuseOutputOntoInput(const std::string &input, const std::string &output);

}  // namespace korvane
