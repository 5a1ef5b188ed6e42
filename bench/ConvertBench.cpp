// Conversions of large files: RS-274X mm 3.3 into RS-274D inch 2.4 and back,
// with and without the checked rewriting (also as one checked run each way
// through the conversion batch); a drill file into incremental
// output with templates; the tape codes. Files have the shape of
// gen_big.py's (traces, pads, arcs, regions; a 36-tool drill file); set
// KORVANE_BENCH_GERBER / KORVANE_BENCH_DRILL to use files of your own for the
// largest size.
#include "bench/BenchFiles.h"
#include "convert/CheckedRewrite.h"
#include "convert/ConversionBatch.h"
#include "convert/DrillWriter.h"
#include "convert/GerberWriter.h"
#include "convert/TapeCodes.h"
#include "core/Ports.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>

using namespace korvane;

namespace {

class QuietPrompter : public Prompter {
public:
    Answer show(MessageKind, const std::string &, Buttons b) override
    {
        return b == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
};

std::string generateGerber(int objects)
{
    if (const char *own = std::getenv("KORVANE_BENCH_GERBER"); own && objects >= 1000000)
        return own;
    std::string path = "/tmp/korvane-bench-convert-" + std::to_string(objects) + ".gbr";
    if (std::ifstream(path).good())
        return path;
    std::ofstream out(path, std::ios::binary);
    std::mt19937 rng(1);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi - 1)(rng); };
    out << "%FSLAX33Y33*%\r\n%MOMM*%\r\n%LPD*%\r\n%ADD10C,0.200*%\r\n%ADD11C,0.500*%\r\n%ADD12R,1.200X0.800*%\r\n"
           "%ADD13O,1.500X0.900*%\r\n%ADD14R,1.000X1.000*%\r\nG01*\r\n";
    int current = 0;
    char line[256];
    auto select = [&](int d) {
        if (current != d)
            out << "D" << d << "*\r\n";
        current = d;
    };
    for (int i = 0; i < objects; ++i) {
        int k = i % 10, x = pick(0, 300000), y = pick(0, 200000);
        if (k < 5) {
            select(10);
            std::snprintf(line, sizeof line, "X%dY%dD02*\r\nX%dY%dD01*\r\n", x, y, x + pick(-5000, 5000),
                          y + pick(-5000, 5000));
        } else if (k < 8) {
            select(11 + k - 5);
            std::snprintf(line, sizeof line, "X%dY%dD03*\r\n", x, y);
        } else if (k == 8) {
            select(11);
            std::snprintf(line, sizeof line, "G75*\r\nX%dY%dD02*\r\nG03X%dY%dI%dJ0D01*\r\nG01*\r\n", x, y, x - 2000,
                          y + 2000, -2000);
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

std::string generateDrill(int hits)
{
    if (const char *own = std::getenv("KORVANE_BENCH_DRILL"); own && hits >= 200000)
        return own;
    return korvane::bench::drillBenchFile(hits, "/tmp/korvane-bench-convert-" + std::to_string(hits) + ".drl");
}

struct GerberRun {
    GerberInFormat in;
    GerberOutFormat out;
    std::unique_ptr<ApertureTable> table = std::make_unique<ApertureTable>();
    MacroLibrary library;
    QuietPrompter prompter;
};

GerberRun xToD()
{
    GerberRun r;
    r.in.dialect = GerberDialect::Rs274X;
    r.out.unit = LengthUnit::Inch;
    r.out.integerDigits = "2";
    r.out.decimalDigits = "4";
    return r;
}

void convertXToD(benchmark::State &state, bool check)
{
    std::string input = generateGerber(static_cast<int>(state.range(0)));
    std::string output = input + ".cam";
    for (auto _ : state) {
        GerberRun r = xToD();
        GerberInFormat before = r.in;
        GerberWriteContext ctx{r.in, r.out, *r.table, r.library, r.prompter, true};
        writeGerberFile(ctx, input, output);
        if (check && checkGerberRewrite(input, before, ApertureTable(), MacroLibrary(), output, r.out).result !=
                         CheckVerdict::Result::Same)
            state.SkipWithError("check found a difference");
    }
    std::ifstream f(input, std::ios::binary | std::ios::ate);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.tellg()));
}

void convertDToX(benchmark::State &state, bool check)
{
    std::string input = generateGerber(static_cast<int>(state.range(0)));
    std::string d = input + ".cam", x = input + ".back.gbr";
    GerberRun first = xToD();
    GerberWriteContext ctx{first.in, first.out, *first.table, first.library, first.prompter, true};
    writeGerberFile(ctx, input, d);
    for (auto _ : state) {
        GerberInFormat in;
        in.unit = LengthUnit::Inch;
        in.integerDigits = "2";
        in.decimalDigits = "4";
        GerberOutFormat out;
        out.dialect = GerberDialect::Rs274X;
        GerberInFormat before = in;
        QuietPrompter prompter;
        GerberWriteContext back{in, out, *first.table, first.library, prompter, false};
        writeGerberFile(back, d, x);
        if (check &&
            checkGerberRewrite(d, before, *first.table, first.library, x, out).result != CheckVerdict::Result::Same)
            state.SkipWithError("check found a difference");
    }
    std::ifstream f(d, std::ios::binary | std::ios::ate);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.tellg()));
}

void BM_GerberXToD(benchmark::State &s) { convertXToD(s, false); }
void BM_GerberXToDChecked(benchmark::State &s) { convertXToD(s, true); }
void BM_GerberDToX(benchmark::State &s) { convertDToX(s, false); }
void BM_GerberDToXChecked(benchmark::State &s) { convertDToX(s, true); }
BENCHMARK(BM_GerberXToD)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GerberXToDChecked)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GerberDToX)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GerberDToXChecked)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

class NoPicker : public FilePicker {
public:
    std::optional<std::string> openFile(const FileDialogSpec &) override { return std::nullopt; }
    std::vector<std::string> openFiles(const FileDialogSpec &) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogSpec &) override { return std::nullopt; }
};

class NoStatus : public StatusSink {
public:
    void setStatus(const std::string &) override {}
    void clearStatus() override {}
    void setBusy(bool) override {}
};

// The checked conversion as the dialog (second argument 0) and korvane-cli
// (1: the input is read back on a second thread while it is converted) run
// it: RS-274X mm 3.3 to RS-274D inch 2.4 with the automatic aperture table,
// then back with that table. Wall time counts here.
void BM_GerberCheckedRunBothWays(benchmark::State &state)
{
    std::string input = generateGerber(static_cast<int>(state.range(0)));
    std::string d = input + ".run.cam", x = input + ".run.gbr";
    for (auto _ : state) {
        Settings settings;
        settings.gerberIn.dialect = GerberDialect::Rs274X;
        settings.gerberOut.unit = LengthUnit::Inch;
        settings.gerberOut.integerDigits = "2";
        settings.gerberOut.decimalDigits = "4";
        auto table = std::make_unique<ApertureTable>();
        MacroLibrary library;
        QuietPrompter prompter;
        NoPicker picker;
        NoStatus status;
        ConversionRunOptions options;
        options.autoApertureTable = true;
        options.checkOnSecondThread = state.range(1) != 0;
        ConversionResources resources{settings, *table, library};
        ConversionBatch toD;
        toD.setFiles({input}, {d}, prompter, picker);
        ConversionRunOutcome first = runConversion(toD, resources, prompter, status, options);

        settings.gerberIn = GerberInFormat{};
        settings.gerberIn.unit = LengthUnit::Inch;
        settings.gerberIn.integerDigits = "2";
        settings.gerberIn.decimalDigits = "4";
        settings.gerberOut = GerberOutFormat{};
        settings.gerberOut.dialect = GerberDialect::Rs274X;
        options.autoApertureTable = false;
        ConversionBatch toX;
        toX.setFiles({d}, {x}, prompter, picker);
        ConversionRunOutcome second = runConversion(toX, resources, prompter, status, options);
        for (const ConversionRunOutcome *o : {&first, &second})
            if (o->pairs.size() != 1 || o->pairs[0].verdict.result != CheckVerdict::Result::Same)
                state.SkipWithError("check found a difference");
    }
}
BENCHMARK(BM_GerberCheckedRunBothWays)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_DrillToIncremental(benchmark::State &state)
{
    std::string input = generateDrill(static_cast<int>(state.range(0)));
    std::string output = input + ".inc";
    for (auto _ : state) {
        DrillInFormat in;
        in.decimalDigits = "3";
        DrillOutFormat out;
        out.coordinateMode = CoordinateMode::Incremental;
        out.decimalDigits = "3";
        out.initCommand = "M48*";
        out.toolSelect = "s2tM06*";
        out.toolChange = "z*M05*";
        out.hitCommand = "G81d*";
        out.endCommand = "zM30*";
        DrillWriteContext ctx{in, out, ConversionMode::Drill};
        writeDrillFile(ctx, input, output);
    }
    std::ifstream f(input, std::ios::binary | std::ios::ate);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.tellg()));
}
BENCHMARK(BM_DrillToIncremental)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_TapeCodes(benchmark::State &state)
{
    auto op = static_cast<TapeOperation>(state.range(0));
    std::string text;
    std::mt19937 rng(3);
    const char alphabet[] = "0123456789XYDGIJ-*\r\n%";
    while (text.size() < (16u << 20))
        text += alphabet[rng() % (sizeof alphabet - 1)];
    TapeCodec codec(op);
    std::string out;
    out.reserve(2 * text.size());
    for (auto _ : state) {
        out.clear();
        for (size_t i = 0; i < text.size(); i += 65536)
            codec.convert(std::string_view(text).substr(i, 65536), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TapeCodes)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
