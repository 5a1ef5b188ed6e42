// Renumbering a big Gerber file (gen_big.py's, 44.7 MB with 10^6 objects;
// KORVANE_BENCH_RENUMBER names another) by a 20-row change table, and a
// drill file's tools. The report is counted, not kept, as the batch front
// end streams it; "peak_rss_growth_mb" is what the run added to the
// process's peak memory.
#include "bench/BenchFiles.h"
#include "renumber/Renumbering.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>

using namespace korvane;

namespace {

std::string bigGerber()
{
    if (const char *own = std::getenv("KORVANE_BENCH_RENUMBER"))
        return own;
    std::string path = "/tmp/korvane-bench-renumber-big.gbr";
    if (!std::ifstream(path).good()) {
        const std::string command = "/usr/bin/python3 " KORVANE_GEN_BIG " gerber " + path + " 1000000 >/dev/null";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "gen_big.py failed\n");
    }
    return path;
}

class CountingReport : public RenumberReportSink {
public:
    void line(const std::string &, const std::string &) override { ++count; }
    std::size_t count = 0;
};

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void run(benchmark::State &state, RenumberMode mode, const std::string &input, const char *letter)
{
    ChangeTable table(mode);
    // Five rows that match the file's codes, fifteen that never do.
    for (int i = 0; i < 20; ++i) {
        char from[16], to[16];
        int code = i < 5 ? (mode == RenumberMode::Tool ? 1 : 10) + i : 200 + i;
        std::snprintf(from, sizeof from, "%s%02d", letter, code);
        std::snprintf(to, sizeof to, "%s%02d", letter, code + 100);
        table.rows[static_cast<std::size_t>(i)] = {from, to};
    }
    const std::string output = input + ".renumbered";
    double before = peakMegabytes();
    CountingReport report;
    for (auto _ : state) {
        report.count = 0;
        renumberFile(mode, table, input, output, report);
    }
    state.counters["report_lines"] = static_cast<double>(report.count);
    state.counters["peak_rss_growth_mb"] = peakMegabytes() - before;
    std::remove(output.c_str());
}

void BM_RenumberBigGerber(benchmark::State &state) { run(state, RenumberMode::DCode, bigGerber(), "D"); }
BENCHMARK(BM_RenumberBigGerber)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RenumberDrillTools(benchmark::State &state)
{
    run(state, RenumberMode::Tool, bench::drillBenchFile(1000000, "/tmp/korvane-bench-renumber.drl"), "T");
}
BENCHMARK(BM_RenumberDrillTools)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
