// Filling one large polygon, as a copper pour of many thousand vertices is
// drawn, on a full-HD 16-bit raster: solid and cross-hatched.
#include "platform/RasterSurface.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

using namespace korvane;

namespace {

// A ragged closed outline around the middle of the raster, with edges that
// cross many rows and columns, as a pour's outline around pads does.
std::vector<PixelPoint> pourOutline(int vertices)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> jitter(0.55, 1.0);
    std::vector<PixelPoint> points;
    points.reserve(static_cast<size_t>(vertices));
    for (int i = 0; i < vertices; ++i) {
        const double t = 2 * std::numbers::pi * i / vertices;
        const double r = jitter(rng);
        points.push_back(
            {960 + static_cast<int>(900 * r * std::cos(t)), 540 + static_cast<int>(520 * r * std::sin(t))});
    }
    return points;
}

void BM_FillPolygon(benchmark::State &state)
{
    const std::vector<PixelPoint> points = pourOutline(static_cast<int>(state.range(0)));
    // 0 solid, 1 cross-hatched, 2 hollow (the outline alone, for comparison)
    const BrushStyle style = state.range(1) == 0   ? BrushStyle::Solid
                             : state.range(1) == 1 ? BrushStyle::DiagonalCross
                                                   : BrushStyle::Hollow;
    RasterSurface surface(1920, 1080);
    surface.setPen(0x0000FF, 0);
    surface.setBrush(0x0000FF, style);
    for (auto _ : state) {
        surface.polygon(points);
        benchmark::DoNotOptimize(surface.getPixel(960, 540));
    }
    state.counters["vertices"] = double(points.size());
}
BENCHMARK(BM_FillPolygon)
    ->Args({1000, 0})
    ->Args({20000, 0})
    ->Args({20000, 1})
    ->Args({20000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
