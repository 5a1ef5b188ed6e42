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

} // namespace korvane::bench
