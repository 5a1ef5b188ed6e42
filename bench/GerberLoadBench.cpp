// Loading a large RS-274X file into the display list, and loading plus one
// render at 1280 x 960 as the window would draw it. The file is the shape of
// a dense board: a million traces, pads, arcs and small regions (about 45 MB).
// Set KORVANE_BENCH_GERBER to a file of your own to load that instead.
#include "BenchFiles.h"
#include "BenchSupport.h"
#include "core/Document.h"
#include "gerber/GerberReader.h"
#include "platform/RasterSurface.h"
#include "view/ViewControl.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>

using namespace korvane;
using korvane::bench::OffscreenHost;
using korvane::bench::QuietPrompter;

namespace {

std::string boardFile(int objects)
{
    if (const char *own = std::getenv("KORVANE_BENCH_GERBER"))
        return own;
    return bench::gerberBenchFile(objects);
}

void load(Document &doc, const std::string &path) { bench::loadBoard(doc, path); }

void BM_LoadGerber(benchmark::State &state)
{
    std::string path = boardFile(static_cast<int>(state.range(0)));
    std::size_t items = 0;
    for (auto _ : state) {
        Document doc;
        load(doc, path);
        items = doc.displayList.size();
        benchmark::DoNotOptimize(items);
    }
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_LoadGerber)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadAndRenderGerber(benchmark::State &state)
{
    std::string path = boardFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Document doc;
        load(doc, path);
        OffscreenHost host;
        QuietPrompter prompter;
        ViewController view(doc, prompter, host);
        view.fitLoadedDrawing("");
    }
}
BENCHMARK(BM_LoadAndRenderGerber)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100,000 pads of 1.5 mm whose coordinates lie within 5 micrometres (a
// layer of one fiducial written over and over): the fit takes in what is
// drawn, so each pad covers a small part of the picture.
std::string padsAtOnePoint()
{
    static const std::string path = [] {
        const std::string file = "/tmp/korvane-bench-pads-at-one-point.gbr";
        std::ofstream out(file, std::ios::binary);
        out << "%FSLAX24Y24*%\n%MOMM*%\n%ADD10C,1.5*%\nD10*\n";
        for (int i = 0; i < 100'000; ++i)
            out << 'X' << 250'000 + i % 51 << 'Y' << 180'000 + (i * 7) % 51 << "D03*\n";
        out << "M02*\n";
        return file;
    }();
    return path;
}

void BM_LoadAndRenderPadsAtOnePoint(benchmark::State &state)
{
    const std::string path = padsAtOnePoint();
    for (auto _ : state) {
        Document doc;
        load(doc, path);
        OffscreenHost host;
        QuietPrompter prompter;
        ViewController view(doc, prompter, host);
        view.fitLoadedDrawing("");
    }
}
BENCHMARK(BM_LoadAndRenderPadsAtOnePoint)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
