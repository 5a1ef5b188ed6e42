// Painting a large DisplayList on a full-HD 16-bit raster, and what the
// list costs in memory per item.
#include "BenchFiles.h"
#include "BenchSupport.h"
#include "core/Document.h"
#include "platform/RasterSurface.h"
#include "view/Renderer.h"
#include "view/ViewControl.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <random>

using namespace korvane;

namespace {

constexpr int ItemCount = 1'000'000;

// A board of 300 x 200 mm in five layers: traces of several widths, round
// and square pads, drill rings, arcs and filled regions.
void buildBoard(Document &doc, int count)
{
    const Colour palette[] = {colours::Red, colours::Lime, colours::Blue, colours::Fuchsia, colours::Teal};
    for (int n = 1; n <= 5; ++n) {
        doc.layers.slot(n).colour = palette[n - 1];
        doc.layers.slot(n).visible = 1;
    }
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> px(0, 300), py(-200, 0), step(-4, 4), size(0.4, 2.0);
    const double widths[] = {0.1, 0.15, 0.25, 0.5, 1.0, 2.0};
    auto add = [&](ItemKind kind, int layer, auto &&fill) {
        AppendArgs a{kind};
        a.colourLayer = a.layer = layer;
        fill(a);
        doc.appendItem(a);
    };
    int made = 0;
    while (made < count) {
        const int layer = 1 + int(rng() % 5);
        const double x = px(rng), y = py(rng);
        switch (rng() % 10) {
        case 0:
        case 1:
        case 2: {  // a trace of four segments
            const double w = widths[rng() % 6];
            add(ItemKind::MoveTo, layer, [&](AppendArgs &a) {
                a.x1 = x;
                a.y1 = y;
            });
            double cx = x, cy = y;
            for (int i = 0; i < 4; ++i) {
                cx += step(rng);
                cy += step(rng);
                add(ItemKind::LineTo, layer, [&](AppendArgs &a) {
                    a.x1 = cx;
                    a.y1 = cy;
                    a.width = w;
                    a.fill = 2;
                });
            }
            made += 5;
            break;
        }
        case 3:
        case 4: {  // round pad, solid or a ring, sometimes with a clear hole
            const double d = size(rng);
            const bool ring = rng() % 3 == 0;
            add(ItemKind::Ellipse, layer, [&](AppendArgs &a) {
                a.x1 = x - d / 2;
                a.x2 = x + d / 2;
                a.y1 = y - d / 2;
                a.y2 = y + d / 2;
                a.fill = ring ? 3 : 1;
                a.width = ring ? 0.2 : 1.0;
            });
            add(ItemKind::Ellipse, layer, [&](AppendArgs &a) {
                a.colourLayer = 0;
                a.x1 = x - d / 5;
                a.x2 = x + d / 5;
                a.y1 = y - d / 5;
                a.y2 = y + d / 5;
                a.fill = 1;
                a.width = 1.0;
            });
            made += 2;
            break;
        }
        case 5:
        case 6: {  // square pad
            const double d = size(rng);
            add(ItemKind::Rectangle, layer, [&](AppendArgs &a) {
                a.x1 = x - d / 2;
                a.x2 = x + d / 2;
                a.y1 = y - d / 2;
                a.y2 = y + d / 2;
                a.fill = 1 + int(rng() % 4);
            });
            made += 1;
            break;
        }
        case 7: {  // arc of a circle
            const double r = size(rng) * 2;
            const double t0 = std::uniform_real_distribution<double>(0, 6.28)(rng), t1 = t0 + 1.5;
            add(rng() % 2 ? ItemKind::ArcCcw : ItemKind::ArcCw, layer, [&](AppendArgs &a) {
                a.x1 = x - r;
                a.x2 = x + r;
                a.y1 = y - r;
                a.y2 = y + r;
                a.arcStart = {x + r * std::cos(t0), y + r * std::sin(t0)};
                a.arcEnd = {x + r * std::cos(t1), y + r * std::sin(t1)};
                a.width = widths[rng() % 6];
            });
            made += 1;
            break;
        }
        default: {  // a closed region of six vertices
            const double r = size(rng) * 2;
            for (int i = 0; i <= 6; ++i) {
                const double t = i * 6.2831853 / 6;
                add(ItemKind::UnderPolygonVertex, layer, [&](AppendArgs &a) {
                    a.x1 = x + r * std::cos(t);
                    a.y1 = y + r * std::sin(t);
                });
            }
            add(ItemKind::UnderPolygonClose, layer, [&](AppendArgs &a) { a.width = 0; });
            made += 8;
            break;
        }
        }
    }
    doc.minX = 0;
    doc.minY = 0;
    doc.maxX = 300;
    doc.maxY = 200;
    doc.extentX = 300;
    doc.extentY = 200;
    doc.hasData = 1;
}

class BenchHost : public PictureHost {
public:
    int w = 1920, h = 1080;
    int pictureWidth() const override { return w; }
    int pictureHeight() const override { return h; }
    void setPictureSize(int width, int height) override
    {
        w = width;
        h = height;
    }
    void clearPicture() override { picture = QImage(); }
    std::unique_ptr<DrawingSurface> createRaster(int width, int height) override
    {
        return std::make_unique<RasterSurface>(width, height);
    }
    void showRaster(std::unique_ptr<DrawingSurface> raster) override
    {
        picture = static_cast<RasterSurface &>(*raster).takeImage();
    }
    double screenMmPerPixelX() const override { return 25.4 / 96; }
    double screenMmPerPixelY() const override { return 25.4 / 96; }
    QImage picture;
};

class NullPrompter : public Prompter {
public:
    Answer show(MessageKind, const std::string &, Buttons) override { return Answer::Ok; }
};

Document &board()
{
    static Document doc = [] {
        Document d;
        buildBoard(d, ItemCount);
        return d;
    }();
    return doc;
}

// The window's redraw of the document, fitted and then zoomed in
// state.range(0) steps.
void redrawInWindow(benchmark::State &state, Document &doc)
{
    NullPrompter prompter;
    BenchHost host;
    ViewController view(doc, prompter, host);
    view.fitLoadedDrawing("");
    for (int i = 0; i < state.range(0); ++i)
        view.zoomIn();
    for (auto _ : state) {
        view.redraw();
        benchmark::DoNotOptimize(host.picture.constBits());
    }
    state.counters["items"] = double(doc.displayList.size());
    state.counters["width_px"] = host.w;
    state.counters["height_px"] = host.h;
}

void BM_RedrawMillionItems(benchmark::State &state)
{
    Document &doc = board();
    redrawInWindow(state, doc);
    state.SetItemsProcessed(state.iterations() * std::int64_t(doc.displayList.size()));
}
// 0: the fitted 1920 x 1080 view; 4: zoomed in four steps (a larger raster).
BENCHMARK(BM_RedrawMillionItems)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

// The dense Gerber board of a million objects as the reader stores it (its
// coordinates whole thousandths, as real files give them), redrawn in the
// window: fitted, and zoomed in one and two steps (larger rasters).
void BM_RedrawLoadedGerber(benchmark::State &state)
{
    static Document doc = [] {
        Document d;
        bench::loadBoard(d, bench::gerberBenchFile(1'000'000));
        return d;
    }();
    redrawInWindow(state, doc);
}
BENCHMARK(BM_RedrawLoadedGerber)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// A thousand flashes at one point, about as large as the picture (arg 1)
// or a hundred and ten thousand times larger: painting costs the pixels
// covered on the picture, not the pixels beyond it. Round pads, clear
// square pads (filled) and wide strokes through the centre, in turn.
void BM_FlashesBeyondThePicture(benchmark::State &state)
{
    constexpr int W = 1280, H = 960;
    Document doc;
    doc.layers.slot(1).colour = colours::Red;
    doc.layers.slot(1).visible = 1;
    const double d = 1000.0 * double(state.range(0));
    for (int i = 0; i < 1000; ++i) {
        const int k = i % 3;
        AppendArgs a{k == 2 ? ItemKind::LineTo : k == 0 ? ItemKind::Ellipse : ItemKind::Rectangle};
        a.layer = 1;
        a.colourLayer = k == 1 ? 0 : 1;
        a.fill = 1;
        a.width = k == 2 ? d : 1.0;
        a.x1 = -d / 2;
        a.y1 = -d / 2;
        a.x2 = d / 2;
        a.y2 = d / 2;
        doc.appendItem(a);
    }
    PixelMapping map;
    map.offsetX = -W / 2;
    map.offsetY = -H / 2;
    const LayerLook look = LayerLook::from(doc.layers);
    for (auto _ : state) {
        RasterSurface raster(W, H);
        Renderer(raster, look, RegionFill::Solid, map).paint(doc.displayList);
        benchmark::DoNotOptimize(raster.image().constBits());
    }
}
BENCHMARK(BM_FlashesBeyondThePicture)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ListMemoryPerItem(benchmark::State &state)
{
    for (auto _ : state) {
        const struct mallinfo2 before = mallinfo2();
        auto doc = std::make_unique<Document>();
        buildBoard(*doc, ItemCount);
        const struct mallinfo2 after = mallinfo2();
        const double bytes = double(after.uordblks + after.hblkhd) - double(before.uordblks + before.hblkhd);
        state.counters["bytes_per_item"] = bytes / double(doc->displayList.size());
        state.counters["sizeof_item"] = sizeof(DisplayItem);
    }
}
BENCHMARK(BM_ListMemoryPerItem)->Iterations(1)->Unit(benchmark::kMillisecond);

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
