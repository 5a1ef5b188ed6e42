#pragma once
// Shared pieces of the fuzz targets.
#include "core/Encoding.h"
#include "core/Ports.h"
#include "core/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace korvane::fuzz {

class QuietPrompter : public Prompter {
public:
    Answer show(MessageKind, const std::string &, Buttons buttons) override
    {
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
};

// The bytes of a code page 932 text file as the readers see them.
inline std::vector<std::string> textLines(const std::uint8_t *data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> lines;
    for (auto line : splitLines(bytes))
        lines.push_back(cp932ToUtf8(line));
    return lines;
}

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A file under /tmp holding `bytes`, removed with the object.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view bytes)
    {
        char name[] = "/tmp/korvane-fuzz-XXXXXX";
        int fd = ::mkstemp(name);
        check(fd >= 0);
        path = name;
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            check(n > 0);
            done += static_cast<size_t>(n);
        }
        ::close(fd);
    }
    ~ScratchFile() { ::unlink(path.c_str()); }
    std::string path;
};

}  // namespace korvane::fuzz
