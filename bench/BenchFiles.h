#pragma once
// Generated input files shared by the benchmarks (no Qt).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace korvane::bench {

// A metric drill file of 36 tools and about `hits` random hits on a
// 300 x 200 mm board, written once to `path` and reused afterwards.
inline std::string drillBenchFile(int hits, const std::string &path)
{
    if (std::ifstream(path).good())
        return path;
    std::ofstream out(path, std::ios::binary);
    std::mt19937 rng(2);
    char line[64];
    out << "M48\r\nMETRIC,LZ\r\n";
    for (int t = 1; t <= 36; ++t) {
        std::snprintf(line, sizeof line, "T%02dC%.3f\r\n", t, 0.3 + 0.1 * t);
        out << line;
    }
    out << "%\r\nG05\r\nG90\r\n";
    const int per = std::max(1, hits / 36);
    for (int t = 1; t <= 36; ++t) {
        std::snprintf(line, sizeof line, "T%02d\r\n", t);
        out << line;
        for (int i = 0; i < per; ++i) {
            std::snprintf(line, sizeof line, "X%06dY%06d\r\n", static_cast<int>(rng() % 300000u),
                          static_cast<int>(rng() % 200000u));
            out << line;
        }
    }
    out << "T00\r\nM30\r\n";
    return path;
}

// A dense RS-274X board of `objects` graphic objects (mm, 3.3 format: a
// million traces, pads, arcs and small regions make about 45 MB), written
// once and reused afterwards; returns its path.
inline std::string gerberBenchFile(int objects)
{
    std::string path = "/tmp/korvane-bench-" + std::to_string(objects) + ".gbr";
    if (std::ifstream(path).good())
        return path;
    std::ofstream out(path, std::ios::binary);
    std::mt19937 rng(1);
    auto coordinate = [&](int range) { return static_cast<int>(rng() % static_cast<unsigned>(range)); };
    out << "%FSLAX33Y33*%\r\n%MOMM*%\r\n%LPD*%\r\n"
           "%ADD10C,0.200*%\r\n%ADD11C,0.500*%\r\n%ADD12R,1.200X0.800*%\r\n%ADD13O,1.500X0.900*%\r\n"
           "%ADD14R,1.000X1.000*%\r\nG01*\r\n";
    int current = 0;
    char line[256];
    auto select = [&](int d) {
        if (current != d) {
            out << "D" << d << "*\r\n";
            current = d;
        }
    };
    for (int i = 0; i < objects; ++i) {
        int k = i % 10, x = coordinate(300000), y = coordinate(200000);
        if (k < 5) {
            select(10);
            std::snprintf(line, sizeof line, "X%dY%dD02*\r\nX%dY%dD01*\r\n", x, y, x + coordinate(10000) - 5000,
                          y + coordinate(10000) - 5000);
        } else if (k < 8) {
            select(11 + k - 5);
            std::snprintf(line, sizeof line, "X%dY%dD03*\r\n", x, y);
        } else if (k == 8) {
            select(11);
            std::snprintf(line, sizeof line, "G75*\r\nX%dY%dD02*\r\nG03X%dY%dI-2000J0D01*\r\nG01*\r\n", x, y, x - 2000,
                          y + 2000);
        } else {
            std::snprintf(line, sizeof line,
                          "G36*\r\nX%dY%dD02*\r\nX%dY%dD01*\r\nX%dY%dD01*\r\nX%dY%dD01*\r\nX%dY%dD01*\r\nG37*\r\n", x,
                          y, x + 3000, y, x + 3000, y + 2000, x, y + 2000, x, y);
        }
        out << line;
    }
    out << "M02*\r\n";
    return path;
}

}  // namespace korvane::bench
