// Saving and loading the workspace (.gdb) of a large board: the dense board
// of a million objects (2.3 M items, a file of about 114 MB). The save
// includes writing the file through to the disk, as the command does.
#include "BenchFiles.h"
#include "BenchSupport.h"
#include "core/Document.h"
#include "core/WorkspaceFile.h"
#include "gerber/GerberReader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

using namespace korvane;
using korvane::bench::QuietPrompter;

namespace {

const Document &board(int objects)
{
    static int made = 0;
    static Document doc;
    if (made != objects) {
        doc = Document();
        doc.layers.slot(1).fileName = "big.gbr";
        bench::loadBoard(doc, bench::gerberBenchFile(objects));
        made = objects;
    }
    return doc;
}

std::string workspacePath(int objects) { return "/tmp/korvane-bench-" + std::to_string(objects) + "-ws.gdb"; }

void BM_SaveWorkspace(benchmark::State &state)
{
    const int objects = static_cast<int>(state.range(0));
    const Document &doc = board(objects);
    QuietPrompter prompter;
    for (auto _ : state)
        benchmark::DoNotOptimize(writeWorkspaceFile(workspacePath(objects), doc, prompter));
    state.counters["items"] = static_cast<double>(doc.displayList.size());
}
BENCHMARK(BM_SaveWorkspace)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadWorkspace(benchmark::State &state)
{
    const int objects = static_cast<int>(state.range(0));
    QuietPrompter prompter;
    writeWorkspaceFile(workspacePath(objects), board(objects), prompter);
    for (auto _ : state) {
        Document doc;
        benchmark::DoNotOptimize(readWorkspaceFile(workspacePath(objects), doc, prompter).applied);
    }
    std::remove(workspacePath(objects).c_str());
}
BENCHMARK(BM_LoadWorkspace)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
