// One sheet of a large RS-274X file printed to PDF at 600 dots per inch,
// beside gerbv's own PDF export of the same file in the same run. The file
// comes from ../shared/tools/gen_big.py (KORVANE_BENCH_PRINT names another
// file; without either the benchmark writes a small board of its own).
// A second case prints into a page that draws nothing, to show what the
// job itself costs.
#include "BenchSupport.h"
#include "platform/QtPrintDevice.h"
#include "print/GerberPrintJob.h"

#include <QGuiApplication>
#include <QPrinter>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace korvane;
using korvane::bench::NoStatus;
using korvane::bench::QuietPrompter;

namespace {

std::string benchFile()
{
    if (const char *own = std::getenv("KORVANE_BENCH_PRINT"))
        return own;
    std::string big = "/tmp/korvane-bench-print.gbr";
    if (!std::ifstream(big).good()) {
        const std::string command = "/usr/bin/python3 " KORVANE_GEN_BIG " gerber " + big + " 200000 >/dev/null";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "gen_big.py failed\n");
    }
    return big;
}

class NullPage : public DrawingSurface {
public:
    long long figures = 0;
    int width() const override { return 5000; }
    int height() const override { return 7000; }
    void setPen(Colour, int) override {}
    void setCopyMode() override {}
    void setBrush(Colour, BrushStyle) override {}
    void setFont(Colour, const std::string &, int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override { ++figures; }
    PixelPoint penPosition() const override { return {}; }
    void ellipse(int, int, int, int) override { ++figures; }
    void rectangle(int, int, int, int) override { ++figures; }
    void arc(int, int, int, int, RayPoint, RayPoint) override { ++figures; }
    void pie(int, int, int, int, RayPoint, RayPoint) override { ++figures; }
    void polygon(std::span<const PixelPoint>) override { ++figures; }
    void floodFill(int, int, Colour) override {}
    Colour getPixel(int, int) const override { return 0; }
    void copyRect(PixelRect, const DrawingSurface &, PixelRect) override {}
    void stretchDraw(PixelRect, const DrawingSurface &) override {}
    void textOut(int, int, const std::string &) override {}
};

class NullPrinter : public PrintDevice {
public:
    NullPage sheet;
    bool choosePrinter() override { return true; }
    PrinterMetrics metrics() const override { return {200, 287, 4724, 6780, 4724, 6780}; }
    void beginDocument(const std::string &) override {}
    void endDocument() override {}
    void abortDocument() override {}
    void printLine(const std::string &) override {}
    DrawingSurface *page() override { return &sheet; }
};

GerberPrintOutcome printOnce(PrintDevice &device, const std::string &file)
{
    GerberPrintGrid grid;
    grid.file(1) = file;
    grid.cell(1, gridcol::File) = "big.gbr";
    GerberPrintSettings settings;
    settings.scale.mode = ScaleMode::Automatic;
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    QuietPrompter prompter;
    NoStatus status;
    SilentProgress progress;
    GerberPrintContext ctx{grid, settings, table, library, format, prompter, status, progress, device};
    return runGerberPrint(ctx);
}

void BM_PrintSheetToPdf(benchmark::State &state)
{
    const std::string file = benchFile();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName("/tmp/korvane-bench-print.pdf");
        QtPrintDevice device(printer);
        device.setPdfResolution(600);
        device.setChooser([](QPrinter &) { return true; });
        benchmark::DoNotOptimize(printOnce(device, file));
    }
}
BENCHMARK(BM_PrintSheetToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PrintSheetToNullPage(benchmark::State &state)
{
    const std::string file = benchFile();
    long long figures = 0;
    for (auto _ : state) {
        NullPrinter device;
        benchmark::DoNotOptimize(printOnce(device, file));
        figures = device.sheet.figures;
    }
    state.counters["figures"] = static_cast<double>(figures);
}
BENCHMARK(BM_PrintSheetToNullPage)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GerbvPdf(benchmark::State &state)
{
    const std::string file = benchFile();
    if (std::system("command -v gerbv >/dev/null 2>&1") != 0) {
        state.SkipWithError("gerbv is not installed");
        return;
    }
    const std::string command = "gerbv -x pdf -o /tmp/korvane-bench-gerbv.pdf " + file + " >/dev/null 2>&1";
    for (auto _ : state)
        benchmark::DoNotOptimize(std::system(command.c_str()));
}
BENCHMARK(BM_GerbvPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
