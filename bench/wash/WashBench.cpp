// Torrents per second of `kelpmere-cli wash` over a tree of 2 000 torrents of mixed shape,
// side by side with `cp -r` of the same tree, and the ratio of the two times.
#include "samples/generator/TorrentBuilder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kTorrents = 2000;
const fs::path kTree = fs::path(KELPMERE_WASH_TREE) / "source";
const fs::path kOutput = fs::path(KELPMERE_WASH_TREE) / "output";

// Mean seconds per iteration of each benchmark, for the ratio printed at the end.
double g_copySeconds = 0;
double g_washSeconds = 0;

// A value from `low` to `high`, spread evenly on a log scale by `fraction` (0..1).
int64_t LogSpread(int64_t low, int64_t high, double fraction) {
    return static_cast<int64_t>(std::llround(std::exp(std::log(low) + fraction * (std::log(high) - std::log(low)))));
}

// Shape of torrent `index`: 1 to 5 000 files, a "pieces" string of 16 KiB to 4 MiB, a few
// folder levels, now and then Chinese names. Deterministic.
TorrentDescription Shape(int index) {
    const double a = std::fmod(index * 0.618033988749895, 1.0);
    const double b = std::fmod(index * 0.414213562373095 + 0.5, 1.0);
    const int64_t files = LogSpread(1, 5000, a);
    const int64_t piecesBytes = LogSpread(16 * 1024, 4 * 1024 * 1024, b) / 20 * 20;

    TorrentDescription torrent;
    torrent.announce = "http://tracker.example:6969/announce";
    torrent.announceList = {{"http://tracker.example:6969/announce"}, {"udp://backup.example:80"}};
    torrent.comment = "generated for the wash benchmark";
    torrent.createdBy = "wash_bench";
    torrent.creationDate = 1400000000 + index;
    torrent.pieceLength = 1 << 18;
    torrent.piecesSize = static_cast<std::size_t>(piecesBytes);
    torrent.seed = static_cast<uint64_t>(index) + 1;
    const bool chinese = index % 5 == 0;
    if (files == 1) {
        torrent.name = chinese ? "电影 第" + std::to_string(index) + "部.mkv" : "movie-" + std::to_string(index) + ".mkv";
        torrent.length = 700 * 1024 * 1024 + index;
        return torrent;
    }
    torrent.name = chinese ? "合集 " + std::to_string(index) : "Collection " + std::to_string(index);
    for (int64_t f = 0; f < files; ++f) {
        std::vector<std::string> path;
        if (f % 3 != 0) {
            path.push_back(chinese ? "第" + std::to_string(f % 7) + "季" : "Season " + std::to_string(f % 7));
        }
        if (f % 5 == 1) {
            path.push_back("Extras");
        }
        path.push_back((chinese ? "第" : "episode ") + std::to_string(f) + (f % 4 == 3 ? ".srt" : ".mkv"));
        std::vector<std::string> pathUtf8 = chinese ? path : std::vector<std::string>{};
        torrent.files.emplace_back(std::move(path), 1000 + f * 37, std::move(pathUtf8));
    }
    return torrent;
}

void GenerateTreeOnce() {
    const fs::path done = kTree / ".complete";
    if (fs::exists(done)) {
        return;
    }
    std::fprintf(stderr, "generating %d torrents into %s ...\n", kTorrents, kTree.c_str());
    fs::remove_all(kTree);
    std::int64_t bytes = 0;
    for (int i = 0; i < kTorrents; ++i) {
        const fs::path folder = kTree / ("group-" + std::to_string(i % 20)) / (i % 3 == 0 ? "deeper" : "");
        fs::create_directories(folder);
        const std::string torrent = BuildTorrent(Shape(i));
        bytes += static_cast<std::int64_t>(torrent.size());
        std::ofstream(folder / ("t" + std::to_string(i) + ".torrent"), std::ios::binary) << torrent;
    }
    std::ofstream(done) << bytes;
    std::fprintf(stderr, "generated %.1f MiB\n", static_cast<double>(bytes) / (1 << 20));
}

int Execute(const std::vector<std::string>& args) {
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            _exit(126);
        }
        std::vector<char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `args` once per iteration into a fresh output folder; the removal is not timed.
void TimeTreeCommand(benchmark::State& state, const std::vector<std::string>& args, double& meanSeconds) {
    GenerateTreeOnce();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(kOutput);
        sync();  // the previous iteration's writes don't spill into this one
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const int status = Execute(args);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != 0) {
            state.SkipWithError(("exit status " + std::to_string(status)).c_str());
            break;
        }
    }
    meanSeconds = state.iterations() > 0 ? total / static_cast<double>(state.iterations()) : 0;
    state.counters["torrents/s"] = benchmark::Counter(static_cast<double>(kTorrents) * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}

void BM_CopyTree(benchmark::State& state) {
    TimeTreeCommand(state, {"cp", "-r", kTree.string(), kOutput.string()}, g_copySeconds);
}

void BM_WashTree(benchmark::State& state) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    TimeTreeCommand(state, {KELPMERE_CLI, "wash", "--jobs", std::to_string(cores), kTree.string(), kOutput.string()},
                    g_washSeconds);
    state.SetLabel("--jobs " + std::to_string(cores));
}

BENCHMARK(BM_CopyTree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WashTree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(kOutput);
    if (g_copySeconds > 0 && g_washSeconds > 0) {
        std::printf("wash time / copy time: %.2f (target at most 1.50)\n", g_washSeconds / g_copySeconds);
    }
    return 0;
}
