#include "torrent/BatchConversion.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class BatchConversionTest : public ::testing::Test {
protected:
    ConversionResult Convert(const std::string& relativeDir, const std::string& fileName, const std::string& bytes)
    {
        WriteFile(TextOf(m_source) + relativeDir + "/" + fileName, bytes);
        return ConvertBatchItem(
            m_parser, BatchItem{relativeDir, fileName, TextOf(m_source)}, TextOf(m_dest), m_stem.c_str());
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
        for (const char* relativeDir : {"", "/deep/er"}) {
            const ConversionResult result = Convert(relativeDir, "x.torrent", torrent);
            ASSERT_EQ(result.outcome, ConversionOutcome::Converted) << stem << relativeDir;
            EXPECT_EQ(result.outputPath, TextOf(m_dest) + relativeDir + "/x.torrent");
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
    expect(ConvertBatchItem(m_parser, BatchItem{"", "missing.torrent", m_source.string()}, TextOf(m_dest), "1-2-3"),
        ConversionOutcome::LoadFailed, "种子文件分析失败 请检查种子文件!");
    expect(
        Convert("", "text.torrent", "not bencode"), ConversionOutcome::LoadFailed, "种子文件分析失败 请检查种子文件!");
    expect(Convert("", "empty.torrent", BuildTorrent(SingleFile("empty.bin", 0))), ConversionOutcome::AnalyzeFailed,
        "获取种子信息失败 请检查种子文件!");
    expect(Convert("", "nodot.torrent", Torrent("README")), ConversionOutcome::WashFailed,
        "清洗种子文件失败 请检查种子文件!");
    EXPECT_FALSE(fs::exists(m_dest / "nodot.torrent"));

    WriteFile(m_dest / "blocked", "a file where a folder should be");
    expect(Convert("/blocked", "x.torrent", Torrent("a.bin")), ConversionOutcome::OutputFolderFailed,
        "保存种子文件的目录有误 请检查目录!");
    fs::create_directories(m_dest / "taken.torrent" / "inside");
    expect(Convert("", "taken.torrent", Torrent("a.bin")), ConversionOutcome::SaveFailed,
        "保存转换的种子失败 请检查存储路径!");
    EXPECT_TRUE(fs::is_directory(m_dest / "taken.torrent" / "inside"));
}

TEST(BatchStemTest, IsTimeMillisecondsAndIndexWithTheTimeAsASigned32BitNumber)
{
    EXPECT_EQ(FormatBatchStem(1400000000, 1517, 0), "1400000000-517-0");
    EXPECT_EQ(FormatBatchStem(1400000000, 999, 42), "1400000000-999-42");
    EXPECT_EQ(FormatBatchStem(int64_t{1} << 31, 0, 1), "-2147483648-0-1");
}

} // namespace
