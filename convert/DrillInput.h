#pragma once
// How the tools that rewrite a drill file (conversion, its check, drill to
// Gerber creation) settle the input's format: as the drill load reads it.
#include "core/Formats.h"

#include <string>
#include <string_view>

namespace korvane {

// The first bytes a drill input is judged by.
inline constexpr std::size_t DrillHeadBytes = std::size_t{64} * 1024;

enum class TapeLook { Ascii, Eia, Unclear };
// Whether bytes are plainly ASCII text (no control bytes but tab, CR and LF,
// and some line end) or plainly EIA tape code (control bytes throughout:
// the EIA codes of 1, 2, 4, 7 and 8 are control bytes in ASCII).
TapeLook tapeLook(std::string_view head);

struct SettledDrillFormat {
    DrillInFormat format;  // charCode: what the bytes are
    std::string note;      // when the bytes are not in the code set: why
};

// The set format with the character code the bytes plainly have (the file
// is named in the note when it differs from the setting) and the number
// format the header declares (read after decoding), as the drill load reads it.
SettledDrillFormat settleDrillFormat(std::string_view head, const DrillInFormat &set, const std::string &path);

// The same for a file on disk (its first 64 KB).
SettledDrillFormat settleDrillFile(const std::string &path, const DrillInFormat &set);

}  // namespace korvane
