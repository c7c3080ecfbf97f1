// Decoding the same generated torrents with our CBEncode and with libtorrent's bdecode, and
// one job's wash of a 30 000-file torrent (load, analyse, wash, save: ConvertBatchItem) against
// bdecode of the same bytes. Each case is timed over 31 rounds (decode and free the tree) in
// CPU time of the measuring thread, so that other work on a shared machine doesn't blur the
// comparison; the medians and their ratios are printed at the end. Two more cases put the
// figures in proportion: libtorrent's own tree of values (lt::entry) built from bdecode, and our
// value model alone, the same objects and nodes made and freed without parsing a byte.
#include "bencode/CBEncode.h"
#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "samples/generator/TorrentBuilder.h"
#include "torrent/BatchConversion.h"
#include "torrent/CTorrentParser.h"

#include <benchmark/benchmark.h>
#include <libtorrent/bdecode.hpp>
#include <libtorrent/entry.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 31;

// Files in Chinese-named folders with a "pieces" string that grows with the file count, like a
// season pack: 30 000 files make about 3.1 MB, 100 000 about 10.3 MB.
std::string ManyFileTorrent(int files)
{
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example.org/announce";
    torrent.comment = "benchmark torrent";
    torrent.name = "\xE5\xA4\xA7\xE5\x9E\x8B\xE7\xA7\x8D\xE5\xAD\x90"; // 大型种子
    torrent.pieceLength = 4 << 20;
    torrent.piecesSize = static_cast<std::size_t>(files) * 42 / 20 * 20;
    torrent.files.reserve(static_cast<std::size_t>(files));
    for (int i = 0; i < files; ++i) {
        // 第NNN集 / 文件NNNNNN.mkv
        torrent.files.emplace_back(std::vector<std::string>{"\xE7\xAC\xAC" + std::to_string(i / 1000) + "\xE9\x9B\x86",
                                       "\xE6\x96\x87\xE4\xBB\xB6" + std::to_string(i) + ".mkv"},
            int64_t{1000000} + i);
    }
    FitLengthsToPieces(torrent);
    return BuildTorrent(torrent);
}

const std::string& TorrentBytes(int files)
{
    static std::map<int, std::string> cache;
    auto found = cache.find(files);
    if (found == cache.end()) {
        found = cache.emplace(files, ManyFileTorrent(files)).first;
    }
    return found->second;
}

// Median seconds of each case, by name.
std::map<std::string, double>& Medians()
{
    static std::map<std::string, double> medians;
    return medians;
}

double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Times `round` once per iteration and records the median under the benchmark's name.
template <class Round>
void TimeRounds(benchmark::State& state, const std::string& key, std::size_t bytes, Round round)
{
    std::vector<double> seconds;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        if (!round()) {
            state.SkipWithError("the round failed");
            return;
        }
        const double elapsed = ThreadSeconds() - start;
        state.SetIterationTime(elapsed);
        seconds.push_back(elapsed);
    }
    std::sort(seconds.begin(), seconds.end());
    Medians()[key] = seconds[seconds.size() / 2];
    state.counters["median_ms"] = seconds[seconds.size() / 2] * 1000;
    state.counters["torrent_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_CBEncodeDecode(benchmark::State& state)
{
    const int files = static_cast<int>(state.range(0));
    const std::string& bytes = TorrentBytes(files);
    TimeRounds(state, "ours/" + std::to_string(files), bytes.size(), [&] {
        CBEncode codec;
        const bool ok = codec.Decode(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(codec.values.front());
        return ok;
    });
}

void BM_LibtorrentBdecode(benchmark::State& state)
{
    const int files = static_cast<int>(state.range(0));
    const std::string& bytes = TorrentBytes(files);
    TimeRounds(state, "bdecode/" + std::to_string(files), bytes.size(), [&] {
        lt::error_code error;
        lt::bdecode_node root
            = lt::bdecode({bytes.data(), static_cast<std::ptrdiff_t>(bytes.size())}, error, nullptr, 100, 100000000);
        benchmark::DoNotOptimize(root.type());
        return !error;
    });
}

// libtorrent's own tree of owned values (lt::entry: a map per dictionary, a vector per list, a
// std::string per byte string) built from bdecode's tokens: the peer closest to our value model.
void BM_LibtorrentEntry(benchmark::State& state)
{
    const int files = static_cast<int>(state.range(0));
    const std::string& bytes = TorrentBytes(files);
    TimeRounds(state, "entry/" + std::to_string(files), bytes.size(), [&] {
        lt::error_code error;
        lt::bdecode_node root
            = lt::bdecode({bytes.data(), static_cast<std::ptrdiff_t>(bytes.size())}, error, nullptr, 100, 100000000);
        lt::entry tree(root);
        benchmark::DoNotOptimize(tree.type());
        return !error;
    });
}

// One value of a decoded tree, in the order the decoder meets them: enough to build the same
// tree again without reading its bytes.
struct FlatValue {
    const char* data = nullptr; // a byte string's bytes
    int64_t number = 0;         // an integer's value; a list's elements or a dictionary's keys and values
    int32_t length = 0;         // a byte string's length
    int32_t type = 0;
};
// 24 bytes a value: 5 MB read per round for the 30 000-file torrent, whose own bytes are 2.9 MB.
static_assert(sizeof(FlatValue) == 24);

void Flatten(const CBEncodeObjectBase& value, std::vector<FlatValue>& flat)
{
    FlatValue entry;
    entry.type = value.type;
    if (value.type == kBEncodeString) {
        const auto& text = static_cast<const CBEncodeString&>(value);
        entry.data = text.data;
        entry.length = text.dataLength;
    } else if (value.type == kBEncodeInt) {
        entry.number = static_cast<const CBEncodeInt&>(value).number;
    }
    const BEncodeItems* items = value.type == kBEncodeList ? &static_cast<const CBEncodeList&>(value).items
        : value.type == kBEncodeDict                       ? &static_cast<const CBEncodeDict&>(value).items
                                                           : nullptr;
    if (items != nullptr) {
        entry.number = static_cast<int64_t>(items->size());
    }
    flat.push_back(entry);
    if (items != nullptr) {
        for (const CBEncodeObjectBase* item : *items) {
            Flatten(*item, flat);
        }
    }
}

// Appends the value at `next` (and its subtree) to `into` as the decoder does, with every
// object, list node and key-index entry laid out in the same order (a value's list node before
// the value, the value before its children), but nothing to parse: what is left is the cost of
// the value model.
void Rebuild(const std::vector<FlatValue>& flat, std::size_t& next, BEncodeItems& into)
{
    const FlatValue& entry = flat[next++];
    into.push_back(nullptr);
    switch (entry.type) {
    case kBEncodeString: {
        auto* text = new CBEncodeString;
        text->data = entry.data;
        text->dataLength = entry.length;
        into.back() = text;
        return;
    }
    case kBEncodeInt: {
        auto* number = new CBEncodeInt;
        number->number = entry.number;
        into.back() = number;
        return;
    }
    case kBEncodeList: {
        auto* list = new CBEncodeList;
        into.back() = list;
        for (int64_t i = 0; i < entry.number; ++i) {
            Rebuild(flat, next, list->items);
        }
        return;
    }
    default: {
        auto* dict = new CBEncodeDict;
        into.back() = dict;
        for (int64_t i = 0; i + 1 < entry.number; i += 2) {
            Rebuild(flat, next, dict->items);
            const auto* key = static_cast<const CBEncodeString*>(dict->items.back());
            Rebuild(flat, next, dict->items);
            dict->keyIndex.emplace_hint(dict->keyIndex.end(), std::piecewise_construct,
                std::forward_as_tuple(key->data, static_cast<std::size_t>(key->dataLength)),
                std::forward_as_tuple(dict->items.back()));
        }
        return;
    }
    }
}

void BM_ValueModelOnly(benchmark::State& state)
{
    const int files = static_cast<int>(state.range(0));
    const std::string& bytes = TorrentBytes(files);
    CBEncode codec;
    codec.Decode(bytes.data(), bytes.size());
    std::vector<FlatValue> flat;
    Flatten(*codec.values.front(), flat);
    state.counters["values"] = static_cast<double>(flat.size());
    TimeRounds(state, "model/" + std::to_string(files), bytes.size(), [&] {
        std::size_t next = 0;
        BEncodeItems values;
        Rebuild(flat, next, values);
        benchmark::DoNotOptimize(values.front());
        DeleteItems(values);
        return true;
    });
}

// One job's whole conversion of one torrent file: the washer's per-torrent cost.
void BM_WashOneTorrent(benchmark::State& state)
{
    const int files = static_cast<int>(state.range(0));
    const std::string& bytes = TorrentBytes(files);
    const fs::path folder = fs::path(KELPMERE_COMPARE_FOLDER);
    fs::create_directories(folder / "source");
    std::ofstream(folder / "source" / "many.torrent", std::ios::binary) << bytes;
    CTorrentParser parser;
    std::string encoding;
    const BatchItem item{"", "many.torrent", (folder / "source").string()};
    const BatchRun run((folder / "output").string(), {item});
    int round = 0;
    TimeRounds(state, "wash/" + std::to_string(files), bytes.size(), [&] {
        const std::string stem = "1400000000-517-" + std::to_string(round++);
        return ConvertBatchItem(parser, item, run, stem.c_str(), &encoding).outcome == ConversionOutcome::Converted;
    });
}

BENCHMARK(BM_CBEncodeDecode)
    ->Arg(30000)
    ->Arg(100000)
    ->Iterations(kRounds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibtorrentBdecode)
    ->Arg(30000)
    ->Arg(100000)
    ->Iterations(kRounds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibtorrentEntry)
    ->Arg(30000)
    ->Arg(100000)
    ->Iterations(kRounds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValueModelOnly)
    ->Arg(30000)
    ->Arg(100000)
    ->Iterations(kRounds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WashOneTorrent)->Arg(30000)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintRatio(const char* what, const std::string& over, const std::string& under, double target)
{
    const auto& medians = Medians();
    if (medians.count(over) == 0 || medians.count(under) == 0) {
        return;
    }
    std::printf("%-44s %6.2f ms / %6.2f ms = %.2f", what, medians.at(over) * 1000, medians.at(under) * 1000,
        medians.at(over) / medians.at(under));
    std::printf(target > 0 ? " (target at most %.1f)\n" : "\n", target);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nmedians of %d rounds:\n", kRounds);
    PrintRatio("decode, 30 000 files: CBEncode / bdecode", "ours/30000", "bdecode/30000", 1.5);
    PrintRatio("decode, 100 000 files: CBEncode / bdecode", "ours/100000", "bdecode/100000", 1.5);
    PrintRatio("wash one 30 000-file torrent / bdecode", "wash/30000", "bdecode/30000", 3.0);
    std::printf("\nfor reference (no target):\n");
    PrintRatio("value model alone, 30 000 files / bdecode", "model/30000", "bdecode/30000", 0);
    PrintRatio("value model alone, 100 000 files / bdecode", "model/100000", "bdecode/100000", 0);
    PrintRatio("decode, 30 000 files: CBEncode / lt::entry", "ours/30000", "entry/30000", 0);
    PrintRatio("decode, 100 000 files: CBEncode / lt::entry", "ours/100000", "entry/100000", 0);
    fs::remove_all(fs::path(KELPMERE_COMPARE_FOLDER));
    return 0;
}
