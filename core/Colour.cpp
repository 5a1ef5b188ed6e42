#include "core/Colour.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "core/Numbers.h"

#include <array>
#include <cstdio>

namespace korvane {
namespace {

struct NamedColour {
    const char *name;
    Colour value;
};

constexpr std::array<NamedColour, 20> namedColours{{
    {"clBlack", colours::Black},
    {"clMaroon", colours::Maroon},
    {"clGreen", colours::Green},
    {"clOlive", colours::Olive},
    {"clNavy", colours::Navy},
    {"clPurple", colours::Purple},
    {"clTeal", colours::Teal},
    {"clGray", colours::Gray},
    {"clSilver", colours::Silver},
    {"clRed", colours::Red},
    {"clLime", colours::Lime},
    {"clYellow", colours::Yellow},
    {"clBlue", colours::Blue},
    {"clFuchsia", colours::Fuchsia},
    {"clAqua", colours::Aqua},
    {"clWhite", colours::White},
    {"clMoneyGreen", colours::MoneyGreen},
    {"clSkyBlue", colours::SkyBlue},
    {"clCream", colours::Cream},
    {"clMedGray", colours::MedGray},
}};

// Linux has no system colours: the names of settings files written on
// Windows read as the colours a standard Windows desktop shows.
constexpr std::array<NamedColour, 26> systemColours{{
    {"clScrollBar", rgb(200, 200, 200)},
    {"clBackground", rgb(0, 0, 0)},
    {"clActiveCaption", rgb(153, 180, 209)},
    {"clInactiveCaption", rgb(191, 205, 219)},
    {"clMenu", rgb(240, 240, 240)},
    {"clWindow", rgb(255, 255, 255)},
    {"clWindowFrame", rgb(100, 100, 100)},
    {"clMenuText", rgb(0, 0, 0)},
    {"clWindowText", rgb(0, 0, 0)},
    {"clCaptionText", rgb(0, 0, 0)},
    {"clActiveBorder", rgb(180, 180, 180)},
    {"clInactiveBorder", rgb(244, 247, 252)},
    {"clAppWorkSpace", rgb(171, 171, 171)},
    {"clHighlight", rgb(0, 120, 215)},
    {"clHighlightText", rgb(255, 255, 255)},
    {"clBtnFace", rgb(240, 240, 240)},
    {"clBtnShadow", rgb(160, 160, 160)},
    {"clGrayText", rgb(109, 109, 109)},
    {"clBtnText", rgb(0, 0, 0)},
    {"clInactiveCaptionText", rgb(0, 0, 0)},
    {"clBtnHighlight", rgb(255, 255, 255)},
    {"cl3DDkShadow", rgb(105, 105, 105)},
    {"cl3DLight", rgb(227, 227, 227)},
    {"clInfoText", rgb(0, 0, 0)},
    {"clInfoBk", rgb(255, 255, 225)},
    {"clNone", 0x1FFFFFFF},
}};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::string colourToText(Colour c)
{
    for (const auto &n : namedColours)
        if (n.value == c)
            return n.name;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(c));
    return buffer;
}

Colour colourFromText(std::string_view text)
{
    for (const auto &n : namedColours)
        if (equalsIgnoringCase(n.name, text))
            return n.value;
    for (const auto &n : systemColours)
        if (equalsIgnoringCase(n.name, text))
            return n.value;
    std::int32_t value;
    if (!tryParseInt(text, value))
        throw KorvaneError(msg::format(msg::NotAnInteger, text));
    return static_cast<Colour>(value);
}

}  // namespace korvane
