#include "torrent/BatchConversion.h"
#include "samples/generator/SampleSet.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "torrent/CTorrentParser.h"
#include "torrent/TorrentFolderScan.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// While set, an allocation of this many bytes or more throws std::bad_alloc, as a run out of
// memory would: a step of a conversion can be made to throw at a chosen size.
std::size_t g_failAllocationsFrom = 0;

void* Allocate(std::size_t size)
{
    if (g_failAllocationsFrom != 0 && size >= g_failAllocationsFrom)
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
// The nothrow forms too (the standard library takes temporary buffers through them): every
// block comes from malloc and goes back to free.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept
{
    return operator new(size, nothrow);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

namespace {

class BatchConversionTest : public ::testing::Test {
protected:
    ConversionResult Convert(const std::string& relativeDir, const std::string& fileName, const std::string& bytes)
    {
        WriteFile(TextOf(m_source) + relativeDir + "/" + fileName, bytes);
        return ConvertBatchItem(
            m_parser, BatchItem{relativeDir, fileName, TextOf(m_source)}, BatchRun(TextOf(m_dest), {}), m_stem.c_str());
    }
    static std::string Torrent(const std::string& name) { return BuildTorrent(SingleFile(name, 7)); }

    std::string m_stem = "1-2-3";
    TempFolder m_temp;
    fs::path m_source = m_temp.path / "src";
    fs::path m_dest = m_temp.path / "dest";
    CTorrentParser m_parser;
};

TEST_F(BatchConversionTest, WashingAgainIntoTheSameDestinationReplacesTheEarlierOutputs)
{
    const std::string torrent = BuildTorrent(MultiFile({{{"folder", "a.mkv"}, 5}, {{"b.srt"}, 1}}));
    std::vector<std::string> outputs;
    for (const char* stem : {"100-1-0", "200-2-0"}) {
        m_stem = stem;
        for (const std::string& relativeDir : {std::string(), SystemSeparators("/deep/er")}) {
            SCOPED_TRACE(stem + relativeDir);
            const ConversionResult result = Convert(relativeDir, "x.torrent", torrent);
            ASSERT_EQ(result.outcome, ConversionOutcome::Converted);
            EXPECT_EQ(result.outputPath, TextOf(m_dest) + relativeDir + kPathSeparator + "x.torrent");
            outputs.push_back(ReadFile(result.outputPath));
        }
    }
    // The second run's names replace the first run's: its stem is the washed torrent's name.
    ASSERT_EQ(outputs.size(), 4u);
    EXPECT_NE(outputs[0], outputs[2]);
    EXPECT_EQ(ReadFile(m_dest / "x.torrent"), outputs[2]);
    EXPECT_EQ(ReadFile(m_dest / "deep" / "er" / "x.torrent"), outputs[3]);
    EXPECT_NE(outputs[2].find("200-2-0"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dest), {}), 2) << "x.torrent and deep, no temporary file";
}

TEST_F(BatchConversionTest, ReportsTheStepThatFailedWithItsStateText)
{
    const auto expect = [](const ConversionResult& result, ConversionOutcome outcome, const std::string& text) {
        EXPECT_EQ(result.outcome, outcome) << text;
        EXPECT_EQ(ConversionStateText(result.outcome), text);
    };
    fs::create_directories(m_source);
    expect(ConvertBatchItem(
               m_parser, BatchItem{"", "missing.torrent", m_source.string()}, BatchRun(TextOf(m_dest), {}), "1-2-3"),
        ConversionOutcome::LoadFailed, "种子文件分析失败 请检查种子文件!");
    expect(
        Convert("", "text.torrent", "not bencode"), ConversionOutcome::LoadFailed, "种子文件分析失败 请检查种子文件!");
    const ConversionResult refused = Convert("", "empty.torrent", BuildTorrent(SingleFile("empty.bin", 0)));
    expect(refused, ConversionOutcome::LoadFailed, "种子文件分析失败 请检查种子文件!");
    EXPECT_EQ(refused.refusal.reason, "the files hold no data");
    // Only padding files: nothing to list.
    expect(Convert("", "pads.torrent", BuildTorrent(MultiFile({{{"_____padding_file_0_"}, 5}}))),
        ConversionOutcome::AnalyzeFailed, "获取种子信息失败 请检查种子文件!");
    expect(Convert("", "long.torrent", Torrent("a." + std::string(989, 'e'))), ConversionOutcome::WashFailed,
        "清洗种子文件失败 请检查种子文件!");
    EXPECT_FALSE(fs::exists(m_dest / "long.torrent"));

    WriteFile(m_dest / "blocked", "a file where a folder should be");
    expect(Convert("/blocked", "x.torrent", Torrent("a.bin")), ConversionOutcome::OutputFolderFailed,
        "保存种子文件的目录有误 请检查目录!");
    fs::create_directories(m_dest / "taken.torrent" / "inside");
    expect(Convert("", "taken.torrent", Torrent("a.bin")), ConversionOutcome::SaveFailed,
        "保存转换的种子失败 请检查存储路径!");
    EXPECT_TRUE(fs::is_directory(m_dest / "taken.torrent" / "inside"));
}

TEST_F(BatchConversionTest, AnOutputNeverReplacesASourceOfTheRunAndTheRunGoesOn)
{
    // The source lies inside the destination: the copy of src/src/z.torrent would land on the
    // source src/z.torrent.
    const fs::path outer = m_temp.path / "D";
    const fs::path src = outer / "src";
    WriteFile(src / "z.torrent", Torrent("top.mkv"));
    WriteFile(src / "src" / "z.torrent", Torrent("deep.mkv"));
#ifndef _WIN32
    // A source that is a link: the file it leads to is a source as well.
    WriteFile(outer / "far.torrent", Torrent("far.mkv"));
    fs::create_symlink(outer / "far.torrent", src / "far.torrent");
#endif
    const std::string before = ReadFile(src / "z.torrent");
    std::vector<BatchItem> items;
    ScanTorrentFolder(TextOf(src), "", ".torrent", items);
    for (BatchItem& item : items)
        item.sourceRoot = TextOf(src);
    const BatchRun run(TextOf(outer), items);
    std::map<std::string, ConversionOutcome> outcomes;
    for (const BatchItem& item : items)
        outcomes[item.relativeDir + kPathSeparator + item.fileName]
            = ConvertBatchItem(m_parser, item, run, "1-2-3").outcome;
    EXPECT_EQ(outcomes[SystemSeparators("/z.torrent")], ConversionOutcome::Converted);
    EXPECT_EQ(outcomes[SystemSeparators("/src/z.torrent")], ConversionOutcome::OutputIsSource);
    EXPECT_EQ(
        ConversionStateText(ConversionOutcome::OutputIsSource), std::string("保存路径上是本次转换的原种子 不能覆盖!"));
    EXPECT_EQ(ReadFile(src / "z.torrent"), before);
#ifndef _WIN32
    EXPECT_EQ(outcomes["/far.torrent"], ConversionOutcome::OutputIsSource);
    EXPECT_EQ(ReadFile(outer / "far.torrent"), Torrent("far.mkv"));
#endif
    // A link at an output path that leads to a source is replaced, never written through.
    std::vector<BatchItem> linked{{"", "l.torrent", TextOf(m_source)}};
    WriteFile(m_source / "l.torrent", Torrent("l.mkv"));
#ifndef _WIN32
    fs::create_directories(m_dest);
    fs::create_symlink(m_source / "l.torrent", m_dest / "l.torrent");
#endif
    EXPECT_EQ(ConvertBatchItem(m_parser, linked[0], BatchRun(TextOf(m_dest), linked), "1-2-3").outcome,
        ConversionOutcome::Converted);
    EXPECT_EQ(ReadFile(m_source / "l.torrent"), Torrent("l.mkv"));
}

TEST_F(BatchConversionTest, WhatLiesInTheDestinationIsEarlierOutputAndIsNotConverted)
{
    // The destination inside the source, reached by another spelling.
    WriteFile(m_source / "a.torrent", Torrent("a.mkv"));
    WriteFile(m_source / "out" / "x" / "a.torrent", Torrent("washed.mkv"));
    std::vector<BatchItem> items;
    ScanTorrentFolder(TextOf(m_source), "", ".torrent", items);
    ASSERT_EQ(items.size(), 2u);
    for (BatchItem& item : items)
        item.sourceRoot = TextOf(m_source);
    const BatchRun run(TextOf(m_source) + "/./out/", items);
    const ConversionResult earlier = ConvertBatchItem(m_parser, items[1], run, "1-2-3");
    EXPECT_EQ(earlier.outcome, ConversionOutcome::InDestination);
    EXPECT_EQ(earlier.outputPath, "");
    EXPECT_EQ(ConversionStateText(ConversionOutcome::InDestination), std::string("种子文件位于保存路径中 不再转换!"));
    EXPECT_EQ(ConvertBatchItem(m_parser, items[0], run, "1-2-3").outcome, ConversionOutcome::Converted);
    EXPECT_FALSE(fs::exists(m_source / "out" / "out"));
    EXPECT_EQ(ReadFile(m_source / "out" / "x" / "a.torrent"), Torrent("washed.mkv"));
}

TEST_F(BatchConversionTest, AStepThatThrowsEndsTheItemAsThatStepsFailureWithTheDocumentEmptied)
{
    // A torrent of about 1 MiB: loading allocates its size, saving reserves an eighth more.
    TorrentDescription big = SingleFile("big.mkv", int64_t{52429} * 262144);
    big.piecesSize = 52429 * 20;
    const std::string bytes = BuildTorrent(big);
    WriteFile(m_source / "big.torrent", bytes);
    const BatchItem item{"", "big.torrent", TextOf(m_source)};
    g_failAllocationsFrom = bytes.size() + bytes.size() / 16;
    const ConversionResult result = ConvertBatchItemContained(m_parser, item, BatchRun(TextOf(m_dest), {}), "1-2-3");
    g_failAllocationsFrom = 0;
    EXPECT_EQ(result.outcome, ConversionOutcome::SaveFailed);
    EXPECT_EQ(m_parser.root, nullptr);
    EXPECT_TRUE(m_parser.files.empty() && m_parser.codec.values.empty());
    EXPECT_FALSE(fs::exists(m_dest / "big.torrent"));
    EXPECT_EQ(ConvertBatchItemContained(m_parser, item, BatchRun(TextOf(m_dest), {}), "1-2-3").outcome,
        ConversionOutcome::Converted);
}

// Every shape of the sample set washes whole, checked on what was written: the same piece data,
// files and padding files, and none of the loaded names but those the run reports; what no
// client loads is refused with its reason.
TEST_F(BatchConversionTest, EverySampleShapeWashesWholeOrIsRefusedSayingWhy)
{
    struct Expected {
        ConversionOutcome outcome = ConversionOutcome::Converted;
        std::string refusal;
        std::vector<NameLeft> namesLeft;
    };
    std::map<std::string, Expected> expected = {
        {"wrong-piece-count.torrent", {ConversionOutcome::LoadFailed, "6 piece hashes for 7 pieces", {}}},
        {"web-seeds.torrent", {ConversionOutcome::Converted, "", {{"url-list", "Kelp.Web.Seed"}}}},
    };
    for (const SampleTorrent& sample : BuildSampleSet()) {
        SCOPED_TRACE(sample.fileName);
        const Expected& want = expected[sample.fileName];
        const ConversionResult result = Convert("", sample.fileName, sample.bytes);
        EXPECT_EQ(result.outcome, want.outcome);
        EXPECT_EQ(result.refusal.reason, want.refusal);
        EXPECT_EQ(result.namesLeft, want.namesLeft);
        if (result.outcome != ConversionOutcome::Converted)
            continue;
        CTorrentParser loaded, washed;
        ASSERT_TRUE(loaded.LoadFromMemory(sample.bytes.data(), sample.bytes.size()) && loaded.Analyze());
        ASSERT_TRUE(washed.LoadFromFile(result.outputPath.c_str()) && washed.Analyze());
        EXPECT_EQ(FindNamesLeft(*washed.root, LoadedNames(loaded)), want.namesLeft);
        EXPECT_EQ(washed.files.size(), loaded.files.size());
        EXPECT_EQ(washed.paddingFiles, loaded.paddingFiles);
        EXPECT_EQ(washed.totalLength, loaded.totalLength);
        EXPECT_EQ(washed.pieceLength, loaded.pieceLength);
        EXPECT_EQ(std::string(washed.pieces ? washed.pieces : "", 20 * static_cast<std::size_t>(washed.pieceCount)),
            std::string(loaded.pieces ? loaded.pieces : "", 20 * static_cast<std::size_t>(loaded.pieceCount)));
        for (const char* emptied : {"Kelp Release Group", "Kelp Films", "海藻礁"})
            EXPECT_EQ(ReadFile(result.outputPath).find(emptied), std::string::npos) << emptied;
    }
}

} // namespace
