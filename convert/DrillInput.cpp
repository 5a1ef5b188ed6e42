#include "convert/DrillInput.h"
#include "convert/TapeCodes.h"
#include "core/Encoding.h"
#include "core/TextFile.h"
#include "drill/DrillHeader.h"

namespace korvane {

TapeLook tapeLook(std::string_view head)
{
    std::size_t control = 0, lineEnds = 0, eiaEnds = 0;
    for (char ch : head) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n' || c == '\r')
            ++lineEnds;
        else if (c == 0x80)
            ++eiaEnds;  // the EIA carriage return
        else if (c < 0x20 && c != '\t')
            ++control;
    }
    // A stray control byte (a DOS end-of-file mark) keeps a text plain.
    if (control * 200 < head.size() && eiaEnds == 0 && lineEnds > 0)
        return TapeLook::Ascii;
    if (control * 20 >= head.size() && control > 0)
        return TapeLook::Eia;
    return TapeLook::Unclear;
}

SettledDrillFormat settleDrillFormat(std::string_view head, const DrillInFormat &set, const std::string &path)
{
    SettledDrillFormat s{set, {}};
    const TapeLook look = tapeLook(head);
    if (set.charCode == CharCode::Eia && look == TapeLook::Ascii) {
        s.format.charCode = CharCode::Ascii;
        s.note =
            fileNameOf(path) + ": 入力の文字コードは EIA の設定ですが、ASCII のファイルなので ASCII として読みました";
    } else if (set.charCode != CharCode::Eia && look == TapeLook::Eia) {
        s.format.charCode = CharCode::Eia;
        s.note =
            fileNameOf(path) + ": 入力の文字コードは ASCII の設定ですが、EIA のファイルなので EIA として読みました";
    }
    std::string decoded;
    if (s.format.charCode == CharCode::Eia) {
        decoderFor(CharCode::Eia)->convert(head, decoded);
        head = decoded;
    }
    const CharCode code = s.format.charCode;
    s.format = declaredDrillFormat(head, s.format);
    s.format.charCode = code;
    return s;
}

SettledDrillFormat settleDrillFile(const std::string &path, const DrillInFormat &set)
{
    InputFile input(path);
    std::string head(DrillHeadBytes, '\0');
    std::size_t n = 0;
    while (n < head.size()) {
        const std::size_t got = input.read(head.data() + n, head.size() - n);
        if (got == 0)
            break;
        n += got;
    }
    head.resize(n);
    return settleDrillFormat(head, set, path);
}

}  // namespace korvane
