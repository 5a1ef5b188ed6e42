// The drill format detective on 10,000 hits over 10,000 round pads: the pad
// grid once, then every candidate format read and scored.
#include "core/Document.h"
#include "drill/DrillDetective.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

using namespace korvane;

namespace {

constexpr int Count = 10000;

struct Board {
    Document doc;
    std::string drill;
    Board()
    {
        // Pads on a 300 x 200 mm board; a hole in every pad (mm, 3.3, LZ).
        std::mt19937 rng(4);
        std::uniform_real_distribution<double> px(1, 299), py(1, 199);
        drill = "T1\n";
        char line[48];
        for (int i = 0; i < Count; ++i) {
            const double x = px(rng), y = py(rng), r = 0.4;
            AppendArgs a{ItemKind::Ellipse};
            a.x1 = x - r;
            a.x2 = x + r;
            a.y1 = -y - r;
            a.y2 = -y + r;
            a.role = RoleFlash;
            a.layer = a.colourLayer = 1;
            doc.appendItem(a);
            std::snprintf(line, sizeof line, "X%ldY%ld\n", std::lround(x * 1000), std::lround(y * 1000));
            drill += line;
        }
    }
};

void BM_RankDrillFormats(benchmark::State &state)
{
    static Board board;
    DrillInFormat base;
    for (auto _ : state) {
        PadMap pads(board.doc.displayList);
        auto ranking = rankDrillFormats(board.drill, pads, base);
        benchmark::DoNotOptimize(ranking.front().onPads);
        state.counters["best_share"] = ranking.front().share();
    }
    state.counters["hits"] = Count;
    state.counters["pads"] = Count;
}
BENCHMARK(BM_RankDrillFormats)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
