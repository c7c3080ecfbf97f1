#include "samples/generator/TorrentBuilder.h"
#include "torrent/BatchConversion.h"
#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class BatchConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelpmere-convert-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        source_ = root_ / "src";
        dest_ = root_ / "dest";
    }
    void TearDown() override { fs::remove_all(root_); }

    BatchItem Put(const std::string& relativeDir, const std::string& fileName, const std::string& bytes) {
        const fs::path folder = source_.string() + relativeDir;
        fs::create_directories(folder);
        std::ofstream(folder / fileName, std::ios::binary) << bytes;
        return BatchItem{relativeDir, fileName, source_.string()};
    }

    static std::string Torrent(const std::string& name, int64_t length) {
        TorrentDescription torrent;
        torrent.announce = "http://tracker.example/announce";
        torrent.name = name;
        torrent.length = length;
        return BuildTorrent(torrent);
    }

    ConversionResult Convert(const BatchItem& item) { return ConvertBatchItem(parser_, item, dest_.string(), "1-2-3"); }

    fs::path root_;
    fs::path source_;
    fs::path dest_;
    CTorrentParser parser_;
};

TEST_F(BatchConversionTest, SavesTheWashedTorrentUnderTheSameRelativeFolderAndName) {
    const ConversionResult result = Convert(Put("/a/b", "x.torrent", Torrent("movie.mkv", 7)));
    EXPECT_EQ(result.outcome, ConversionOutcome::Converted);
    EXPECT_EQ(result.outputPath, dest_.string() + "/a/b/x.torrent");
    CTorrentParser saved;
    ASSERT_TRUE(saved.LoadFromFile(result.outputPath.c_str()));
    ASSERT_TRUE(saved.Analyze());
    EXPECT_EQ(saved.files.at(0).name.text.substr(32), "_1.mkv");

    const ConversionResult top = Convert(Put("", "y.torrent", Torrent("song.mp3", 7)));
    EXPECT_EQ(top.outcome, ConversionOutcome::Converted);
    EXPECT_EQ(top.outputPath, dest_.string() + "/y.torrent");
    EXPECT_TRUE(fs::is_regular_file(top.outputPath));
}

TEST_F(BatchConversionTest, ReportsTheStepThatFailed) {
    EXPECT_EQ(Convert(BatchItem{"", "missing.torrent", source_.string()}).outcome, ConversionOutcome::LoadFailed);
    EXPECT_EQ(Convert(Put("", "text.torrent", "not bencode")).outcome, ConversionOutcome::LoadFailed);
    EXPECT_EQ(Convert(Put("", "empty.torrent", Torrent("empty.bin", 0))).outcome, ConversionOutcome::AnalyzeFailed);
    EXPECT_EQ(Convert(Put("", "nodot.torrent", Torrent("README", 5))).outcome, ConversionOutcome::WashFailed);
    EXPECT_FALSE(fs::exists(dest_ / "nodot.torrent"));

    fs::create_directories(dest_);
    std::ofstream(dest_ / "blocked") << "a file where a folder should be";
    EXPECT_EQ(Convert(Put("/blocked", "x.torrent", Torrent("a.bin", 5))).outcome,
              ConversionOutcome::OutputFolderFailed);

    fs::create_directories(dest_ / "taken.torrent" / "inside");
    const ConversionResult save = Convert(Put("", "taken.torrent", Torrent("a.bin", 5)));
    EXPECT_EQ(save.outcome, ConversionOutcome::SaveFailed);
    EXPECT_TRUE(fs::is_directory(dest_ / "taken.torrent" / "inside"));
}

TEST_F(BatchConversionTest, AnExistingOutputFileIsReplaced) {
    fs::create_directories(dest_);
    std::ofstream(dest_ / "x.torrent") << "old";
    EXPECT_EQ(Convert(Put("", "x.torrent", Torrent("a.bin", 5))).outcome, ConversionOutcome::Converted);
    EXPECT_NE(fs::file_size(dest_ / "x.torrent"), 3u);
}

TEST(BatchStemTest, IsTimeMillisecondsAndIndexWithTheTimeAsASigned32BitNumber) {
    EXPECT_EQ(FormatBatchStem(1400000000, 1517, 0), "1400000000-517-0");
    EXPECT_EQ(FormatBatchStem(1400000000, 999, 42), "1400000000-999-42");
    EXPECT_EQ(FormatBatchStem(int64_t{1} << 31, 0, 1), "-2147483648-0-1");
}

}  // namespace
