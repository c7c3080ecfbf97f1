// Torrents per second of `kelpmere-cli wash` side by side with `cp -r` of the same tree, and the
// ratio of the two times, for two trees: 2 000 torrents of mixed shape (up to 5 000 files and
// 4 MiB of "pieces" each) and 10 000 small torrents (1 to 50 files each).
#include "bench/trees/WashTrees.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kOutput = fs::path(KELPMERE_WASH_TREE) / "output";

// One tree's medians, for the ratio printed at the end.
struct Tree {
    const WashTree& tree;
    double copySeconds = 0;
    double washSeconds = 0;
};

Tree g_trees[] = {{kWashTrees[0]}, {kWashTrees[1]}};
std::string g_cli = KELPMERE_CLI;

// Each iteration copies the tree with `cp -r` and washes it, one right after the other, so
// that the two meet the same state of the disk and of the page cache; the time reported is
// the wash's, and the medians of both go into the ratio.
void CopyAndWashTree(benchmark::State& state, Tree* tree)
{
    GenerateTreeOnce(tree->tree);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::vector<std::string> copy = {"cp", "-r", tree->tree.Source().string(), kOutput.string()};
    const std::vector<std::string> wash
        = {g_cli, "wash", "--jobs", std::to_string(cores), tree->tree.Source().string(), kOutput.string()};
    std::vector<double> copySeconds;
    std::vector<double> washSeconds;
    for (auto _ : state) {
        int status = 0;
        copySeconds.push_back(TimeIntoFreshOutput(copy, kOutput, status));
        const int copyStatus = status;
        washSeconds.push_back(TimeIntoFreshOutput(wash, kOutput, status));
        state.SetIterationTime(washSeconds.back());
        if (copyStatus != 0 || status != 0) {
            state.SkipWithError(("exit status " + std::to_string(copyStatus) + " / " + std::to_string(status)).c_str());
            return;
        }
    }
    tree->copySeconds = Median(copySeconds);
    tree->washSeconds = Median(washSeconds);
    state.counters["copy_ms"] = tree->copySeconds * 1000;
    state.counters["wash_ms"] = tree->washSeconds * 1000;
    state.counters["wash/copy"] = tree->washSeconds / tree->copySeconds;
    state.SetLabel("--jobs " + std::to_string(cores));
}

} // namespace

int main(int argc, char** argv)
{
    // --cli=PATH washes with another build's kelpmere-cli, to compare two versions.
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind("--cli=", 0) == 0) {
            g_cli = argv[i] + 6;
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            break;
        }
    }
    for (Tree& tree : g_trees) {
        benchmark::RegisterBenchmark((std::string("BM_CopyAndWashTree/") + tree.tree.name).c_str(), CopyAndWashTree, &tree)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(kOutput);
    for (const Tree& tree : g_trees) {
        if (tree.copySeconds > 0 && tree.washSeconds > 0) {
            std::printf("%-12s median wash time / copy time: %.0f ms / %.0f ms = %.2f (target at most 1.20)\n",
                tree.tree.name, tree.washSeconds * 1000, tree.copySeconds * 1000, tree.washSeconds / tree.copySeconds);
        }
    }
    return 0;
}
