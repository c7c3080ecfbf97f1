// The batch page's run against `kelpmere-cli wash --jobs N` (N: the processors) over the same
// trees, in one process run: 2 000 torrents of mixed shape and 10 000 small ones. Each iteration
// washes the tree with the command line and then with the page (headless backend, the program's
// skins, the real conversion, its heartbeat ticking every 100 ms of real time), each into a fresh
// output folder; the page's time runs from the start click to the end of the run. The ratio of
// the medians is printed at the end.
#include "bench/batch/HeadlessProgram.h"
#include "bench/trees/WashTrees.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path kOutput = fs::path(KELPMERE_WASH_TREE) / "page-output";

struct Medians {
    const WashTree& tree;
    double cliSeconds = 0;
    double pageSeconds = 0;
};

Medians g_medians[] = {{kWashTrees[0]}, {kWashTrees[1]}};

void FreshOutput()
{
    fs::remove_all(kOutput);
    sync(); // the previous round's writes don't spill into this one
}

// Seconds the page takes from the start click to the end of its run, its heartbeat ticking
// every 100 ms as the window's timer would.
double TimePage(HeadlessProgram& program)
{
    FreshOutput();
    const auto start = std::chrono::steady_clock::now();
    program.Start(kOutput);
    auto beat = start;
    while (!program.RunEnded()) {
        beat += std::chrono::milliseconds(BatchListControl::kRunIntervalMs);
        std::this_thread::sleep_until(beat);
        program.Tick();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void PageAgainstCli(benchmark::State& state, Medians* medians)
{
    GenerateTreeOnce(medians->tree);
    fs::current_path(fs::path(KELPMERE_WASH_TREE)); // the program writes its ad page there
    const unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    HeadlessProgram program;
    program.ChooseSource(medians->tree.Source());
    std::vector<double> cli, page;
    for (auto _ : state) {
        int status = 0;
        cli.push_back(TimeIntoFreshOutput({KELPMERE_CLI, "wash", "--jobs", std::to_string(jobs),
                                              medians->tree.Source().string(), kOutput.string()},
            kOutput, status));
        page.push_back(TimePage(program));
        state.SetIterationTime(page.back());
        if (status != 0 || program.List().CurrentIndex() != static_cast<std::uint32_t>(medians->tree.torrents)) {
            state.SkipWithError("a torrent failed or the run did not reach the end");
            return;
        }
    }
    medians->cliSeconds = Median(cli);
    medians->pageSeconds = Median(page);
    state.counters["cli_ms"] = medians->cliSeconds * 1000;
    state.counters["page_ms"] = medians->pageSeconds * 1000;
    state.counters["page/cli"] = medians->pageSeconds / medians->cliSeconds;
    state.SetLabel("--jobs " + std::to_string(jobs));
}

} // namespace

int main(int argc, char** argv)
{
    for (Medians& medians : g_medians) {
        benchmark::RegisterBenchmark(
            (std::string("BM_PageAgainstCli/") + medians.tree.name).c_str(), PageAgainstCli, &medians)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(kOutput);
    for (const Medians& medians : g_medians) {
        if (medians.cliSeconds > 0 && medians.pageSeconds > 0) {
            std::printf("%-12s median page run / kelpmere-cli wash: %.0f ms / %.0f ms = %.2f (target at most 1.50)\n",
                medians.tree.name, medians.pageSeconds * 1000, medians.cliSeconds * 1000,
                medians.pageSeconds / medians.cliSeconds);
        }
    }
    return 0;
}
