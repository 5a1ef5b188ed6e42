// Loading a large drill file into the display list, and loading plus one
// render at 1280 x 960 as the window draws it (fit into the area left by the
// tool-mark panel). The file has the shape of gen_big.py's: an M48 header of
// 36 tools, then the hits tool by tool (mm, 3.3, leading zeros suppressed).
// Set KORVANE_BENCH_DRILL to a file of your own to load that instead.
#include "BenchSupport.h"
#include "bench/BenchFiles.h"
#include "core/Document.h"
#include "drill/DrillReader.h"
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

std::string generateDrill(int hits)
{
    return korvane::bench::drillBenchFile(hits, "/tmp/korvane-bench-" + std::to_string(hits) + ".drl");
}

std::string drillFile(int hits)
{
    if (const char *own = std::getenv("KORVANE_BENCH_DRILL"))
        return own;
    return generateDrill(hits);
}

void load(Document &doc, const std::string &path)
{
    DrillInFormat format;
    format.integerDigits = "3";
    format.decimalDigits = "3";
    QuietPrompter prompter;
    NoStatus status;
    doc.layers.slot(1).colour = colours::Lime;
    doc.layers.slot(1).visible = 1;
    DrillLoadContext context{doc, format, prompter, status, nullptr};
    loadDrillFiles(context, {{1, path}});
}

void BM_LoadDrill(benchmark::State &state)
{
    std::string path = drillFile(static_cast<int>(state.range(0)));
    std::size_t items = 0;
    for (auto _ : state) {
        Document doc;
        load(doc, path);
        items = doc.displayList.size();
        benchmark::DoNotOptimize(items);
    }
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_LoadDrill)->Arg(20'000)->Arg(200'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadAndRenderDrill(benchmark::State &state)
{
    std::string path = drillFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Document doc;
        load(doc, path);
        OffscreenHost host;
        QuietPrompter prompter;
        ViewController view(doc, prompter, host);
        view.setZoomLimits("");
        view.readScreenMetrics();
        view.takeBaseSize();
        DrillFitArea area = drillFitArea(host.pictureWidth(), host.pictureHeight(), ToolMarkPanelWidth,
                                         view.statusBarHeight(), 0.25, 0.25);
        view.computeFitScale(area.width, area.height);
        view.fitAndRedraw();
    }
}
BENCHMARK(BM_LoadAndRenderDrill)->Arg(20'000)->Arg(200'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
