// Torrents per second of `kelpmere-cli wash` side by side with `cp -r` of the same tree, and the
// ratio of the two times, for two trees: 2 000 torrents of mixed shape (up to 5 000 files and
// 4 MiB of "pieces" each) and 10 000 small torrents (1 to 50 files each).
#include "samples/generator/TorrentBuilder.h"

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

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path kOutput = fs::path(KELPMERE_WASH_TREE) / "output";
std::string g_cli = KELPMERE_CLI;

// A value from `low` to `high`, spread evenly on a log scale by `fraction` (0..1).
int64_t LogSpread(int64_t low, int64_t high, double fraction)
{
    return static_cast<int64_t>(std::llround(std::exp(std::log(low) + fraction * (std::log(high) - std::log(low)))));
}

// Shape of torrent `index`: 1 to 5 000 files, a "pieces" string of 16 KiB to 4 MiB, a few
// folder levels, now and then Chinese names. Deterministic.
TorrentDescription Shape(int index)
{
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
        torrent.name
            = chinese ? "电影 第" + std::to_string(index) + "部.mkv" : "movie-" + std::to_string(index) + ".mkv";
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

// Shape of small torrent `index`: 1 to 50 files in a folder or two, a "pieces" string of 20
// bytes to 20 KiB. Deterministic.
TorrentDescription SmallShape(int index)
{
    const double a = std::fmod(index * 0.618033988749895, 1.0);
    const int64_t files = 1 + static_cast<int64_t>(a * 50) % 50;
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example:6969/announce";
    torrent.comment = "small torrent";
    torrent.createdBy = "wash_bench";
    torrent.pieceLength = 1 << 20;
    torrent.piecesSize = static_cast<std::size_t>(20 * (1 + index % 1024));
    torrent.seed = static_cast<uint64_t>(index) + 1;
    if (files == 1) {
        torrent.name = "clip-" + std::to_string(index) + ".mp4";
        torrent.length = 50 * 1024 * 1024 + index;
        return torrent;
    }
    torrent.name = "Album " + std::to_string(index);
    for (int64_t f = 0; f < files; ++f) {
        std::vector<std::string> path;
        if (f % 4 == 0) {
            path.push_back("CD" + std::to_string(f % 3));
        }
        path.push_back("track " + std::to_string(f) + (f % 10 == 9 ? ".jpg" : ".flac"));
        torrent.files.emplace_back(std::move(path), 3000000 + f * 101);
    }
    return torrent;
}

struct Tree {
    const char* name;
    int torrents;
    TorrentDescription (*shape)(int);
    double copySeconds = 0; // median seconds of a round, for the ratio printed at the end
    double washSeconds = 0;

    fs::path Source() const { return fs::path(KELPMERE_WASH_TREE) / name; }
};

Tree g_trees[] = {{"mixed-2000", 2000, Shape}, {"small-10000", 10000, SmallShape}};

void GenerateTreeOnce(const Tree& tree)
{
    const fs::path root = tree.Source();
    const fs::path done = root / ".complete";
    if (fs::exists(done)) {
        return;
    }
    std::fprintf(stderr, "generating %d torrents into %s ...\n", tree.torrents, root.c_str());
    fs::remove_all(root);
    std::int64_t bytes = 0;
    for (int i = 0; i < tree.torrents; ++i) {
        const fs::path folder = root / ("group-" + std::to_string(i % 20)) / (i % 3 == 0 ? "deeper" : "");
        fs::create_directories(folder);
        const std::string torrent = BuildTorrent(tree.shape(i));
        bytes += static_cast<std::int64_t>(torrent.size());
        std::ofstream(folder / ("t" + std::to_string(i) + ".torrent"), std::ios::binary) << torrent;
    }
    std::ofstream(done) << bytes;
    std::fprintf(stderr, "generated %.1f MiB\n", static_cast<double>(bytes) / (1 << 20));
}

int Execute(const std::vector<std::string>& args)
{
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

// Seconds `args` takes to write a fresh output folder; the removal of the old one is not timed.
double TimeIntoFreshOutput(const std::vector<std::string>& args, int& status)
{
    fs::remove_all(kOutput);
    sync(); // the previous round's writes don't spill into this one
    const auto start = std::chrono::steady_clock::now();
    status = Execute(args);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Each iteration copies the tree with `cp -r` and washes it, one right after the other, so
// that the two meet the same state of the disk and of the page cache; the time reported is
// the wash's, and the medians of both go into the ratio.
void CopyAndWashTree(benchmark::State& state, Tree* tree)
{
    GenerateTreeOnce(*tree);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::vector<std::string> copy = {"cp", "-r", tree->Source().string(), kOutput.string()};
    const std::vector<std::string> wash
        = {g_cli, "wash", "--jobs", std::to_string(cores), tree->Source().string(), kOutput.string()};
    std::vector<double> copySeconds;
    std::vector<double> washSeconds;
    for (auto _ : state) {
        int status = 0;
        copySeconds.push_back(TimeIntoFreshOutput(copy, status));
        const int copyStatus = status;
        washSeconds.push_back(TimeIntoFreshOutput(wash, status));
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
        benchmark::RegisterBenchmark((std::string("BM_CopyAndWashTree/") + tree.name).c_str(), CopyAndWashTree, &tree)
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
                tree.name, tree.washSeconds * 1000, tree.copySeconds * 1000, tree.washSeconds / tree.copySeconds);
        }
    }
    return 0;
}
