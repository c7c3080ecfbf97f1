// The batch page on the headless backend with the program's own skins:
// - choosing a source folder of 100 000 torrents: the scan and the fill of a fresh list;
// - a later choice of a folder of 3 torrents over those 100 000 rows;
// - one step of the run (load, analyse, wash, save, row, counter, progress, scroll) for a
//   typical torrent, a 1 MB torrent and a torrent of 5 000 files;
// - resident memory of the process with 100 000 rows listed, against the empty window.
#include "bench/batch/HeadlessProgram.h"
#include "samples/generator/TorrentBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kManyTorrents = 100000;
const fs::path kTree = fs::path(KELPMERE_BATCH_TREE);
const fs::path kMany = kTree / "many";
const fs::path kThree = kTree / "three";
const fs::path kOutput = kTree / "output";

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TorrentDescription ManyFiles(int files, std::size_t piecesBytes)
{
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example:6969/announce";
    torrent.announceList = {{"http://tracker.example:6969/announce"}, {"udp://backup.example:80"}};
    torrent.comment = "generated for the batch page benchmark";
    torrent.createdBy = "batch_page_bench";
    torrent.name = "Collection";
    torrent.pieceLength = 1 << 20;
    torrent.piecesSize = piecesBytes;
    for (int i = 0; i < files; ++i) {
        torrent.files.push_back(FileDescription(
            {"season " + std::to_string(i / 100), "episode " + std::to_string(i) + ".mkv"}, int64_t{200} << 20));
    }
    FitLengthsToPieces(torrent);
    return torrent;
}

// The folders the benchmarks choose: 100 000 small torrents in 100 folders, 3 torrents, and
// one folder per single-torrent run.
void GenerateTreeOnce()
{
    const fs::path done = kTree / ".complete-2"; // names the version of the torrents' shapes
    if (fs::exists(done))
        return;
    std::fprintf(stderr, "generating %d torrents into %s ...\n", kManyTorrents, kMany.c_str());
    fs::remove_all(kTree);
    TorrentDescription small;
    small.announce = "http://tracker.example/announce";
    small.name = "movie.mkv";
    small.length = 700 << 20;
    const std::string bytes = BuildTorrent(small);
    for (int i = 0; i < kManyTorrents; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "folder-%03d/torrent-%06d.torrent", i % 100, i);
        WriteBytes(kMany / name, bytes);
    }
    for (const char* name : {"a.torrent", "b.torrent", "c.torrent"})
        WriteBytes(kThree / name, bytes);
    WriteBytes(kTree / "typical" / "typical.torrent", BuildTorrent(ManyFiles(20, 4000 * 20)));
    WriteBytes(kTree / "onemb" / "onemb.torrent", BuildTorrent(ManyFiles(40, 50000 * 20)));
    WriteBytes(kTree / "files5000" / "files5000.torrent", BuildTorrent(ManyFiles(5000, 50000 * 20)));
    std::ofstream(done) << "ok";
}

// Resident set size of this process in bytes.
double ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// The program writes its advertisement page into its working folder: keep it in the tree.
void EnterTree()
{
    GenerateTreeOnce();
    fs::current_path(kTree);
}

void BM_ScanAndFill100000Torrents(benchmark::State& state)
{
    EnterTree();
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<HeadlessProgram>();
        state.ResumeTiming();
        program->ChooseSource(kMany);
        state.PauseTiming();
        if (program->List().RowsInUse() != kManyTorrents)
            state.SkipWithError("not every torrent was listed");
        program.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ScanAndFill100000Torrents)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_LaterFillWith3Over100000Rows(benchmark::State& state)
{
    EnterTree();
    HeadlessProgram program;
    for (auto _ : state) {
        state.PauseTiming();
        program.ChooseSource(kMany);
        state.ResumeTiming();
        program.ChooseSource(kThree);
        state.PauseTiming();
        if (program.List().RowsInUse() != 3)
            state.SkipWithError("the three torrents were not listed");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LaterFillWith3Over100000Rows)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A run over the single torrent of folder: its conversion on a worker and the tick that shows it.
void TimeOneStep(benchmark::State& state, const char* folder)
{
    EnterTree();
    HeadlessProgram program;
    program.ChooseSource(kTree / folder);
    for (auto _ : state) {
        // The workers start with the run; the tick shows the row they finished.
        program.Start(kOutput);
        program.List().WaitForConversions();
        program.Tick();
        state.PauseTiming();
        program.Tick(); // the step that ends the run
        state.ResumeTiming();
    }
    state.counters["torrent_bytes"]
        = static_cast<double>(fs::file_size(kTree / folder / (std::string(folder) + ".torrent")));
}

void BM_StepTypicalTorrent(benchmark::State& state)
{
    TimeOneStep(state, "typical");
}
BENCHMARK(BM_StepTypicalTorrent)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StepOneMegabyteTorrent(benchmark::State& state)
{
    TimeOneStep(state, "onemb");
}
BENCHMARK(BM_StepOneMegabyteTorrent)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Step5000FileTorrent(benchmark::State& state)
{
    TimeOneStep(state, "files5000");
}
BENCHMARK(BM_Step5000FileTorrent)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ResidentMemoryWith100000Rows(benchmark::State& state)
{
    EnterTree();
    for (auto _ : state) {
        HeadlessProgram program;
        const double empty = ResidentBytes();
        program.ChooseSource(kMany);
        const double listed = ResidentBytes();
        state.counters["rss_empty_window_MB"] = empty / 1e6;
        state.counters["rss_100000_rows_MB"] = listed / 1e6;
        state.counters["rss_added_MB"] = (listed - empty) / 1e6;
    }
}
BENCHMARK(BM_ResidentMemoryWith100000Rows)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
