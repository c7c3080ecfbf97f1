#include "bench/trees/WashTrees.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// A value from `low` to `high`, spread evenly on a log scale by `fraction` (0..1).
int64_t LogSpread(int64_t low, int64_t high, double fraction)
{
    return static_cast<int64_t>(std::llround(std::exp(std::log(low) + fraction * (std::log(high) - std::log(low)))));
}

} // namespace

// Shape of torrent `index`: 1 to 5 000 files, a "pieces" string of 16 KiB to 4 MiB, a few
// folder levels, now and then Chinese names. Deterministic.
TorrentDescription MixedShape(int index)
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
        FitLengthsToPieces(torrent);
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
    FitLengthsToPieces(torrent);
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
        FitLengthsToPieces(torrent);
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
    FitLengthsToPieces(torrent);
    return torrent;
}

std::filesystem::path WashTree::Source() const
{
    return std::filesystem::path(KELPMERE_WASH_TREE) / name;
}

void GenerateTreeOnce(const WashTree& tree)
{
    const std::filesystem::path root = tree.Source();
    const std::filesystem::path done = root / ".complete-2"; // names the version of the torrents' shapes
    if (std::filesystem::exists(done)) {
        return;
    }
    std::fprintf(stderr, "generating %d torrents into %s ...\n", tree.torrents, root.c_str());
    std::filesystem::remove_all(root);
    std::int64_t bytes = 0;
    for (int i = 0; i < tree.torrents; ++i) {
        const std::filesystem::path folder = root / ("group-" + std::to_string(i % 20)) / (i % 3 == 0 ? "deeper" : "");
        std::filesystem::create_directories(folder);
        const std::string torrent = BuildTorrent(tree.shape(i));
        bytes += static_cast<std::int64_t>(torrent.size());
        std::ofstream(folder / ("t" + std::to_string(i) + ".torrent"), std::ios::binary) << torrent;
    }
    std::ofstream(done) << bytes;
    std::fprintf(stderr, "generated %.1f MiB\n", static_cast<double>(bytes) / (1 << 20));
}


int RunQuietly(const std::vector<std::string>& args)
{
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr)
            _exit(126);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double TimeIntoFreshOutput(const std::vector<std::string>& args, const std::filesystem::path& output, int& status)
{
    std::filesystem::remove_all(output);
    sync();
    const auto start = std::chrono::steady_clock::now();
    status = RunQuietly(args);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
