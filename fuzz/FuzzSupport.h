#pragma once
// Shared pieces of the fuzz targets.
#include "core/Encoding.h"
#include "core/Ports.h"
#include "core/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
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

}  // namespace korvane::fuzz
