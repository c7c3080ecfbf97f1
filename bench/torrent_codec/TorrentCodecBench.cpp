// Decoding, encoding and info-hashing a large torrent: 100 000 files in Chinese-named folders
// and a 4 MiB "pieces" string, generated once per process in memory. Also the name
// conversions that analysis does for every file (UTF-8 to the local code page).
#include "bencode/CBEncode.h"
#include "bencode/CBEncodeDict.h"
#include "digest/CSha1Digest.h"
#include "platform/AnsiCodePage.h"
#include "platform/TextEncoding.h"
#include "samples/generator/TorrentBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 100000;

TorrentDescription LargeTorrent()
{
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example.org/announce";
    torrent.comment = "benchmark torrent";
    torrent.name = "\xE5\xA4\xA7\xE5\x9E\x8B\xE7\xA7\x8D\xE5\xAD\x90"; // 大型种子
    torrent.pieceLength = 4 << 20;
    torrent.piecesSize = 4u << 20;
    torrent.files.reserve(kFiles);
    for (int i = 0; i < kFiles; ++i) {
        // 第NNN集 / 文件NNNNNN.mkv
        torrent.files.emplace_back(std::vector<std::string>{"\xE7\xAC\xAC" + std::to_string(i / 1000) + "\xE9\x9B\x86",
                                       "\xE6\x96\x87\xE4\xBB\xB6" + std::to_string(i) + ".mkv"},
            int64_t{1000000} + i);
    }
    FitLengthsToPieces(torrent);
    return torrent;
}

const std::string& TorrentBytes()
{
    static const std::string bytes = BuildTorrent(LargeTorrent());
    return bytes;
}

const std::vector<std::string>& FileNamesUtf8()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const FileDescription& file : LargeTorrent().files)
            all.push_back(file.path.back());
        return all;
    }();
    return names;
}

void SetBytes(benchmark::State& state, std::size_t size)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(size));
}

void BM_Decode(benchmark::State& state)
{
    const std::string& bytes = TorrentBytes();
    for (auto _ : state) {
        CBEncode codec;
        if (!codec.Decode(bytes.data(), bytes.size()))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(codec.values.front());
    }
    SetBytes(state, bytes.size());
    state.counters["torrent_bytes"] = static_cast<double>(bytes.size());
}

void BM_Encode(benchmark::State& state)
{
    const std::string& bytes = TorrentBytes();
    CBEncode codec;
    if (!codec.Decode(bytes.data(), bytes.size())) {
        state.SkipWithError("decode failed");
        return;
    }
    std::string out;
    for (auto _ : state) {
        out.clear();
        codec.values.front()->Encode(out);
        benchmark::DoNotOptimize(out.data());
    }
    if (out != bytes)
        state.SkipWithError("encoding differs from the input");
    SetBytes(state, bytes.size());
}

void BM_DecodeAndHashInfo(benchmark::State& state)
{
    const std::string& bytes = TorrentBytes();
    for (auto _ : state) {
        CBEncode codec;
        codec.Decode(bytes.data(), bytes.size());
        auto* root = static_cast<CBEncodeDict*>(codec.values.front());
        const CBEncodeObjectBase* info = root->Find("info");
        CSha1Digest sha;
        sha.Update(reinterpret_cast<const unsigned char*>(info->rawStart), static_cast<unsigned int>(info->rawLength));
        sha.Final();
        char escaped[1000] = {};
        EscapeDigest(escaped, sha);
        benchmark::DoNotOptimize(escaped);
    }
    SetBytes(state, bytes.size());
}

// The info hash alone, over the raw span of an already decoded "info" dictionary.
void BM_HashInfo(benchmark::State& state)
{
    const std::string& bytes = TorrentBytes();
    CBEncode codec;
    codec.Decode(bytes.data(), bytes.size());
    const CBEncodeObjectBase* info = static_cast<CBEncodeDict*>(codec.values.front())->Find("info");
    for (auto _ : state) {
        CSha1Digest sha;
        sha.Update(reinterpret_cast<const unsigned char*>(info->rawStart), static_cast<unsigned int>(info->rawLength));
        sha.Final();
        benchmark::DoNotOptimize(sha.digest);
    }
    SetBytes(state, static_cast<std::size_t>(info->rawLength));
}

// Utf8ToWide then WideToAnsi for every file name, GBK as the local code page.
void BM_FileNamesUtf8ToGbk(benchmark::State& state)
{
    const std::vector<std::string>& names = FileNamesUtf8();
    const std::string previous = AnsiCodePageName();
    SetAnsiCodePage("GBK");
    for (auto _ : state) {
        for (const std::string& name : names) {
            std::string local = WideToAnsi(Utf8ToWide(name.c_str()).c_str());
            benchmark::DoNotOptimize(local.data());
        }
    }
    SetAnsiCodePage(previous.c_str());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(names.size()));
}

BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAndHashInfo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HashInfo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileNamesUtf8ToGbk)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
