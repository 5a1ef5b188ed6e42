// Usage lists of gen_big.py's big.gbr (1,000,000 objects) and big.drl
// (200,000 hits) from disk, the D-code list of the loaded big.gbr and the
// tool list of the loaded big.drl, and the cross-creation both ways on the
// same files.
#include "core/Ports.h"
#include "drill/DrillReader.h"
#include "gerber/GerberReader.h"
#include "lists/UsageLists.h"
#include "renumber/CrossCreation.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
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

class NoStatus : public StatusSink {
public:
    void setStatus(const std::string &) override {}
    void clearStatus() override {}
    void setBusy(bool) override {}
};

std::string bigFile(const char *kind, int n)
{
    std::string path = std::string("/tmp/korvane-bench-lists-big.") + (kind[0] == 'g' ? "gbr" : "drl");
    if (!std::ifstream(path).good()) {
        std::string command = std::string("/usr/bin/python3 " KORVANE_GEN_BIG " ") + kind + " " + path + " " +
                              std::to_string(n) + " >/dev/null";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "gen_big.py failed\n");
    }
    return path;
}

const std::string &bigGerber()
{
    static const std::string path = bigFile("gerber", 1000000);
    return path;
}

const std::string &bigDrill()
{
    static const std::string path = bigFile("drill", 200000);
    return path;
}

void BM_DcodeListOfBigGbr(benchmark::State &state)
{
    std::size_t rows = 0;
    for (auto _ : state)
        rows = dcodesOfFile(bigGerber()).rows.size();
    state.counters["dcodes"] = static_cast<double>(rows);
}
BENCHMARK(BM_DcodeListOfBigGbr)->Unit(benchmark::kMillisecond);

void BM_ToolListOfBigDrl(benchmark::State &state)
{
    DrillInFormat format;
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const ToolUsage &t : toolsOfFile(bigDrill(), format).rows)
            hits += t.count;
    }
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_ToolListOfBigDrl)->Unit(benchmark::kMillisecond);

void BM_DcodeListOfLoadedBigGbr(benchmark::State &state)
{
    auto doc = std::make_unique<Document>();
    auto table = std::make_unique<ApertureTable>();
    MacroLibrary library;
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    QuietPrompter prompter;
    NoStatus status;
    GerberLoadContext context{*doc, *table, library, format, prompter, status, nullptr};
    doc->startLoad();
    loadGerberFiles(context, {{1, bigGerber()}});
    doc->hasData = 1;
    std::size_t rows = 0;
    for (auto _ : state)
        rows = dcodesOfDocument(*doc).rows.size();
    state.counters["items"] = static_cast<double>(doc->displayList.size());
    state.counters["dcodes"] = static_cast<double>(rows);
}
BENCHMARK(BM_DcodeListOfLoadedBigGbr)->Unit(benchmark::kMillisecond);

void BM_ToolListOfLoadedBigDrl(benchmark::State &state)
{
    auto doc = std::make_unique<Document>();
    DrillInFormat format;
    QuietPrompter prompter;
    NoStatus status;
    DrillLoadContext context{*doc, format, prompter, status, nullptr};
    loadDrillFiles(context, {{1, bigDrill()}});
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const ToolUsage &t : toolsOfDocument(*doc).rows)
            hits += t.count;
    }
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_ToolListOfLoadedBigDrl)->Unit(benchmark::kMillisecond);

void BM_CreateDrillFromBigGbr(benchmark::State &state)
{
    Settings s;
    s.gerberIn.dialect = GerberDialect::Rs274X;
    auto apertures = std::make_unique<ApertureTable>();
    MacroLibrary macros;
    QuietPrompter prompter;
    CreationTable table;
    table.rows[0] = {"D11", "T01"};
    table.rows[1] = {"D12", "T02"};
    table.rows[2] = {"D13", "T03"};
    for (auto _ : state) {
        CrossCreationContext ctx{s.gerberIn, s.gerberOut, s.drillIn, s.drillOut, *apertures, macros, prompter};
        createFile(CreationDirection::GerberToDrill, ctx, table, bigGerber(), "/tmp/korvane-bench-lists-created.drl");
    }
}
BENCHMARK(BM_CreateDrillFromBigGbr)->Unit(benchmark::kMillisecond);

void BM_CreateGerberFromBigDrl(benchmark::State &state)
{
    Settings s;
    auto apertures = std::make_unique<ApertureTable>();
    MacroLibrary macros;
    QuietPrompter prompter;
    CreationTable table;
    table.rows[0] = {"T01", "D10"};
    for (auto _ : state) {
        CrossCreationContext ctx{s.gerberIn, s.gerberOut, s.drillIn, s.drillOut, *apertures, macros, prompter};
        createFile(CreationDirection::DrillToGerber, ctx, table, bigDrill(), "/tmp/korvane-bench-lists-created.ger");
    }
}
BENCHMARK(BM_CreateGerberFromBigDrl)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
