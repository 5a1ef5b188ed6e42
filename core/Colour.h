#pragma once
// Colours as 32-bit values laid out 0x00BBGGRR, and their text form:
// a name such as clLime, or "$" and eight upper-case hexadecimal digits.
#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

using Colour = std::uint32_t;

namespace colours {
inline constexpr Colour Black = 0x000000, Maroon = 0x000080, Green = 0x008000, Olive = 0x008080, Navy = 0x800000,
                        Purple = 0x800080, Teal = 0x808000, Gray = 0x808080, Silver = 0xC0C0C0, Red = 0x0000FF,
                        Lime = 0x00FF00, Yellow = 0x00FFFF, Blue = 0xFF0000, Fuchsia = 0xFF00FF, Aqua = 0xFFFF00,
                        White = 0xFFFFFF, MoneyGreen = 0xC0DCC0, SkyBlue = 0xF0CAA6, Cream = 0xF0FBFF,
                        MedGray = 0xA4A0A0;
}

constexpr std::uint8_t redOf(Colour c) { return c & 0xFF; }
constexpr std::uint8_t greenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t blueOf(Colour c) { return (c >> 16) & 0xFF; }
constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return Colour(r) | (Colour(g) << 8) | (Colour(b) << 16);
}

// The name of a named colour, otherwise "$" and eight hexadecimal digits.
std::string colourToText(Colour c);

// A colour name (the named colours and the system colour names such as
// clBtnFace), or an integer in decimal or "$" hexadecimal. Anything else
// throws KorvaneError("'text' は整数ではありません").
Colour colourFromText(std::string_view text);

}  // namespace korvane
