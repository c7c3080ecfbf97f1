// Peak resident memory of `kelpmere-cli show FILE` for a hostile file and for the largest
// genuine torrents the decoder is meant to take (1 000 000 files, with and without
// "path.utf-8"), each run as a child process whose peak the kernel reports (ru_maxrss). Time
// is the child's wall time.
#include "samples/generator/TorrentBuilder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path kFolder = fs::path(KELPMERE_MEMORY_FOLDER);

// 32 MiB of "le": sixteen million empty lists, the cheapest input per value there is after ":".
fs::path HostileFile()
{
    const fs::path path = kFolder / "hostile-le.torrent";
    if (!fs::exists(path)) {
        fs::create_directories(kFolder);
        std::string bytes;
        bytes.reserve(32u << 20);
        while (bytes.size() < (32u << 20)) {
            bytes += "le";
        }
        std::ofstream(path, std::ios::binary) << bytes;
    }
    return path;
}

// 1 000 000 files, each with a folder and a name in its "path" (and, `withUtf8`, the same
// again in "path.utf-8").
fs::path MillionFileTorrent(bool withUtf8)
{
    const fs::path path = kFolder / (withUtf8 ? "million-files-utf8-2.torrent" : "million-files-2.torrent");
    if (!fs::exists(path)) {
        fs::create_directories(kFolder);
        TorrentDescription torrent;
        torrent.announce = "http://tracker.example.org/announce";
        torrent.name = "million";
        torrent.pieceLength = 4 << 20;
        torrent.piecesSize = 20 * 100000;
        torrent.files.reserve(1000000);
        for (int i = 0; i < 1000000; ++i) {
            std::vector<std::string> filePath{
                "folder " + std::to_string(i / 1000), "file " + std::to_string(i) + ".bin"};
            std::vector<std::string> filePathUtf8 = withUtf8 ? filePath : std::vector<std::string>{};
            torrent.files.emplace_back(std::move(filePath), int64_t{100000} + i, std::move(filePathUtf8));
        }
        FitLengthsToPieces(torrent);
        std::ofstream(path, std::ios::binary) << BuildTorrent(torrent);
    }
    return path;
}

// Runs `kelpmere-cli show FILE` with its output discarded; the child's peak memory in KiB.
long ShowPeakKiB(const fs::path& file, int& status)
{
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr || std::freopen("/dev/null", "w", stderr) == nullptr) {
            _exit(126);
        }
        execl(KELPMERE_CLI, KELPMERE_CLI, "show", file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int wstatus = 0;
    rusage usage{};
    wait4(child, &wstatus, 0, &usage);
    status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return usage.ru_maxrss;
}

void Measure(benchmark::State& state, const fs::path& file, int expectedStatus)
{
    long peak = 0;
    int status = -1;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        peak = ShowPeakKiB(file, status);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (status != expectedStatus) {
        state.SkipWithError(("exit status " + std::to_string(status)).c_str());
    }
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
    state.counters["file_MiB"] = static_cast<double>(fs::file_size(file)) / (1 << 20);
}

// Refused (status 1): the value budget ends the decode.
void BM_ShowHostileLe(benchmark::State& state)
{
    Measure(state, HostileFile(), 1);
}
// Shown (status 0).
void BM_ShowMillionFiles(benchmark::State& state)
{
    Measure(state, MillionFileTorrent(false), 0);
}
void BM_ShowMillionFilesWithPathUtf8(benchmark::State& state)
{
    Measure(state, MillionFileTorrent(true), 0);
}

BENCHMARK(BM_ShowHostileLe)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowMillionFiles)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowMillionFilesWithPathUtf8)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
