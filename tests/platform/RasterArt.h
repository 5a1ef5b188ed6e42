#pragma once
// Pictures of small rasters as text, one character per pixel, so that a
// test shows the shape it expects.
#include "view/DrawingSurface.h"

#include <map>
#include <string>

namespace korvane::testing {

// '.' white, '#' the ink colour, '?' anything else, plus named extras.
inline std::string art(const DrawingSurface &s, Colour ink, std::map<Colour, char> extra = {})
{
    std::string out;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            const Colour c = s.getPixel(x, y);
            if (c == colours::White)
                out += '.';
            else if (c == quantise565(ink))
                out += '#';
            else if (auto it = extra.find(c); it != extra.end())
                out += it->second;
            else
                out += '?';
        }
        out += '\n';
    }
    return out;
}

inline int count(const DrawingSurface &s, Colour c)
{
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            n += s.getPixel(x, y) == quantise565(c);
    return n;
}

}  // namespace korvane::testing
