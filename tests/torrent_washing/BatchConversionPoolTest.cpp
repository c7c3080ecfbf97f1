#include "torrent/BatchConversionPool.h"

#include "support/TempFolder.h"
#include "support/TestTorrents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class BatchConversionPoolTest : public ::testing::Test {
protected:
    // `count` torrents t0.torrent ... in the source folder, as items.
    std::vector<BatchItem> Items(int count)
    {
        std::vector<BatchItem> items;
        for (int i = 0; i < count; ++i) {
            const std::string name = "t" + std::to_string(i) + ".torrent";
            WriteFile(m_source / name, BuildTorrent(SingleFile("f" + std::to_string(i) + ".mkv", 1000)));
            items.push_back(BatchItem{"", name, TextOf(m_source)});
        }
        return items;
    }
    static std::vector<ConversionOutcome> Outcomes(BatchConversionPool& pool)
    {
        pool.Join();
        std::vector<ConversionOutcome> outcomes;
        for (std::size_t i = 0; i < pool.Count(); ++i)
            outcomes.push_back(pool.IsReady(i) ? pool.At(i).result.outcome : ConversionOutcome::InDestination);
        return outcomes;
    }

    TempFolder m_temp;
    fs::path m_source = m_temp.path / "src";
    std::string m_dest = TextOf(m_temp.path / "dest");
};

// A fault in the work around one conversion (here its stem) fails that item alone, saying what
// went wrong; the others are converted, on as many workers as asked, from the first item asked.
TEST_F(BatchConversionPoolTest, AFaultFailsItsItemAloneAndSaysWhat)
{
    const std::vector<BatchItem> items = Items(6);
    BatchConversionPool::Options options;
    options.jobs = 3;
    options.first = 1;
    options.withHashes = true;
    options.makeStem = [](std::uint32_t index) {
        if (index == 2)
            throw std::runtime_error("no stem for 2");
        return "1-2-" + std::to_string(index);
    };
    BatchConversionPool pool(items, BatchRun(m_dest, items), options);
    EXPECT_EQ(pool.Workers(), 3u);
    const auto converted = ConversionOutcome::Converted;
    EXPECT_EQ(Outcomes(pool), (std::vector<ConversionOutcome>{ConversionOutcome::InDestination, converted,
                                  ConversionOutcome::LoadFailed, converted, converted, converted}));
    EXPECT_EQ(pool.At(2).fault, "no stem for 2");
    EXPECT_TRUE(pool.At(1).fault.empty());
    EXPECT_EQ(pool.At(1).oldInfoHash.size(), 40u);
    EXPECT_NE(pool.At(1).newInfoHash, pool.At(1).oldInfoHash);
    EXPECT_FALSE(fs::exists(m_temp.path / "dest" / "t0.torrent"));
}

// A stop, asked by the caller or found by the workers' own test, ends the run between torrents:
// the items taken are the first ones, each whole.
TEST_F(BatchConversionPoolTest, AStopEndsTheRunBetweenTorrents)
{
    const std::vector<BatchItem> items = Items(40);
    std::atomic<int> asked{0};
    BatchConversionPool::Options options;
    options.jobs = 2;
    options.stopRequested = [&asked] { return ++asked > 10; };
    BatchConversionPool pool(items, BatchRun(m_dest, items), options);
    const std::vector<ConversionOutcome> outcomes = Outcomes(pool);
    std::size_t taken = 0;
    while (taken < outcomes.size() && outcomes[taken] == ConversionOutcome::Converted)
        ++taken;
    EXPECT_GE(taken, 9u);
    EXPECT_LE(taken, 10u);
    for (std::size_t i = taken; i < outcomes.size(); ++i)
        EXPECT_FALSE(pool.IsReady(i)) << i;
    for (const auto& entry : fs::directory_iterator(m_temp.path / "dest"))
        EXPECT_EQ(entry.path().extension(), ".torrent") << "no temporary file: " << entry.path();
}

} // namespace
