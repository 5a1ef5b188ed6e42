// Loading a large RS-274X file into the display list, and loading plus one
// render at 1280 x 960 as the window would draw it. The file is the shape of
// a dense board: a million traces, pads, arcs and small regions (about 45 MB).
// Set KORVANE_BENCH_GERBER to a file of your own to load that instead.
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
using korvane::bench::NoStatus;
using korvane::bench::OffscreenHost;
using korvane::bench::QuietPrompter;

namespace {

// Writes a board of `objects` graphic objects (mm, 3.3 format) and returns its path.
std::string generateBoard(int objects)
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
                          "G36*\r\nX%dY%dD02*\r\nX%dY%dD01*\r\nX%dY%dD01*\r\nX%dY%dD01*\r\nX%dY%dD01*\r\nG37*\r\n", x, y,
                          x + 3000, y, x + 3000, y + 2000, x, y + 2000, x, y);
        }
        out << line;
    }
    out << "M02*\r\n";
    return path;
}

std::string boardFile(int objects)
{
    if (const char *own = std::getenv("KORVANE_BENCH_GERBER"))
        return own;
    return generateBoard(objects);
}

void load(Document &doc, const std::string &path)
{
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    QuietPrompter prompter;
    NoStatus status;
    doc.layers.slot(1).colour = colours::Lime;
    doc.layers.slot(1).visible = 1;
    GerberLoadContext context{doc, table, library, format, prompter, status, nullptr};
    loadGerberFiles(context, {{1, path}});
}

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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
