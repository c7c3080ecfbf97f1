#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeString.h"
#include "samples/generator/SampleSet.h"
#include "samples/generator/TorrentBuilder.h"
#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

fs::path SamplesFolder()
{
    return fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples";
}

std::string SmallTorrent(const std::string& name = "clip.mp4")
{
    TorrentDescription d;
    d.announce = "http://tracker.test/announce";
    d.name = name;
    d.length = 4096;
    d.pieceLength = 16384;
    return BuildTorrent(d);
}

// Names in `folder` other than `keep`: leftovers such as temporary files.
std::vector<std::string> OtherEntries(const fs::path& folder, const std::string& keep)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != keep)
            names.push_back(entry.path().filename().string());
    return names;
}

class TorrentDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "kelpmere-doc-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override
    {
        if (mounted)
            ::umount2(mountPoint.c_str(), MNT_DETACH);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Mounts a tmpfs of `bytes` at a fresh folder; false where mounting isn't allowed.
    bool MountSmallFileSystem(std::size_t bytes)
    {
        mountPoint = folder / "mnt";
        fs::create_directory(mountPoint);
        const std::string options = "size=" + std::to_string(bytes);
        mounted = ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, options.c_str()) == 0;
        return mounted;
    }
    bool RemountReadOnly()
    {
        return ::mount("tmpfs", mountPoint.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    std::string Path(const char* name) const { return (folder / name).string(); }

    fs::path folder;
    fs::path mountPoint;
    bool mounted = false;
    CTorrentParser doc;
};

}  // namespace

// ---- samples ------------------------------------------------------------------------------

TEST_F(TorrentDocument, EverySampleTorrentSavesBackByteForByte)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(SamplesFolder())) {
        if (entry.path().extension() != ".torrent")
            continue;
        SCOPED_TRACE(entry.path().string());
        ++count;
        ASSERT_TRUE(doc.LoadFromFile(entry.path().c_str()));
        std::string out;
        ASSERT_TRUE(doc.SaveToFile(out, Path("copy.torrent").c_str()));
        const std::string original = ReadFile(entry.path());
        EXPECT_EQ(out, original);
        EXPECT_EQ(ReadFile(Path("copy.torrent")), original);
    }
    EXPECT_GE(count, 5);
}

TEST_F(TorrentDocument, TheGeneratorStillWritesTheCommittedSamples)
{
    for (const SampleTorrent& sample : BuildSampleSet()) {
        SCOPED_TRACE(sample.fileName);
        EXPECT_EQ(ReadFile(SamplesFolder() / sample.fileName), sample.bytes);
    }
}

// ---- loading ------------------------------------------------------------------------------

TEST_F(TorrentDocument, AReadOnlyTorrentLoadsForAnUnprivilegedUser)
{
    const std::string path = Path("readonly.torrent");
    WriteFile(path, SmallTorrent());
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    // In a child without root's override of permissions, so that opening for update would fail.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::_Exit(3);
            CTorrentParser child;
            std::_Exit(child.LoadFromFile(path.c_str()) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(TorrentDocument, ATorrentOnAReadOnlyFileSystemLoads)
{
    if (!MountSmallFileSystem(1 << 20))
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    const fs::path path = mountPoint / "a.torrent";
    WriteFile(path, SmallTorrent());
    ASSERT_TRUE(RemountReadOnly());
    EXPECT_TRUE(doc.LoadFromFile(path.c_str()));
}

TEST_F(TorrentDocument, AFifoAFolderOrADeviceGivesFalseWithoutBlocking)
{
    const std::string fifo = Path("pipe.torrent");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ::alarm(20);  // a load that blocks on the FIFO ends the test run instead of hanging it
    EXPECT_FALSE(doc.LoadFromFile(fifo.c_str()));
    EXPECT_FALSE(doc.LoadFromFile(folder.c_str()));
    EXPECT_FALSE(doc.LoadFromFile("/dev/zero"));
    ::alarm(0);
    EXPECT_EQ(doc.buffer, nullptr);
}

TEST_F(TorrentDocument, AFileBeyondTheSigned32BitSizeGivesFalseWithoutBeingRead)
{
    const std::string path = Path("huge.torrent");
    WriteFile(path, SmallTorrent());
    ASSERT_EQ(::truncate(path.c_str(), (int64_t{1} << 31)), 0);  // sparse: nothing is written
    EXPECT_FALSE(doc.LoadFromFile(path.c_str()));
    EXPECT_EQ(doc.buffer, nullptr);
    EXPECT_EQ(doc.bufferLength, 0);
}

TEST_F(TorrentDocument, AMissingOrEmptyFileGivesFalseAndKeepsThePath)
{
    const std::string missing = Path("missing.torrent");
    EXPECT_FALSE(doc.LoadFromFile(missing.c_str()));
    EXPECT_EQ(doc.sourcePath, missing);
    const std::string empty = Path("empty.torrent");
    WriteFile(empty, "");
    EXPECT_FALSE(doc.LoadFromFile(empty.c_str()));
    EXPECT_EQ(doc.sourcePath, empty);
    EXPECT_EQ(doc.root, nullptr);
}

TEST_F(TorrentDocument, TheFirstDictionaryIsTheRootWhateverPrecedesIt)
{
    const std::string torrent = SmallTorrent();
    WriteFile(Path("list-first.torrent"), "li1ee" + torrent);
    ASSERT_TRUE(doc.LoadFromFile(Path("list-first.torrent").c_str()));
    EXPECT_EQ(doc.root->rawStart, doc.buffer.get() + 5);
    EXPECT_EQ(doc.bufferLength, static_cast<int32_t>(torrent.size() + 5));
    EXPECT_EQ(doc.buffer[doc.bufferLength], '\0');
}

TEST_F(TorrentDocument, AnnounceAndInfoOnlyHaveToBePresent)
{
    const std::string loose = "d8:announcei5e4:infoi0ee";
    EXPECT_TRUE(doc.LoadFromMemory(loose.data(), loose.size()));
    const std::string noInfo = "d8:announce3:urle";
    EXPECT_FALSE(doc.LoadFromMemory(noInfo.data(), noInfo.size()));
    ASSERT_NE(doc.root, nullptr);  // the decoded values stay
    EXPECT_NE(doc.root->Find("announce"), nullptr);
}

TEST_F(TorrentDocument, ATruncatedTorrentStillFindsItsRootInThePartialTree)
{
    TorrentDescription d;
    d.announce = "http://tracker.test/announce";
    d.name = "clip.mp4";
    d.length = 4096;
    d.extraRoot["url-list"] = BencodeString("http://mirror.test/clip.mp4");  // sorted after "info"
    const std::string torrent = BuildTorrent(d);
    const std::string truncated = torrent.substr(0, torrent.size() - 3);
    WriteFile(Path("cut.torrent"), truncated);
    EXPECT_TRUE(doc.LoadFromFile(Path("cut.torrent").c_str()));
    ASSERT_NE(doc.root, nullptr);
    EXPECT_EQ(doc.root->errorCode, kBEncodeDict);
    EXPECT_LE(doc.root->rawLength, static_cast<int32_t>(truncated.size()));
}

TEST_F(TorrentDocument, LoadingASecondTorrentDropsEverythingOfTheFirst)
{
    WriteFile(Path("first.torrent"), SmallTorrent("first.mkv"));
    WriteFile(Path("second.torrent"), SmallTorrent("second.mkv"));
    ASSERT_TRUE(doc.LoadFromFile(Path("first.torrent").c_str()));
    doc.trackers.push_back("stale");
    ASSERT_TRUE(doc.LoadFromFile(Path("second.torrent").c_str()));
    EXPECT_TRUE(doc.trackers.empty());
    EXPECT_EQ(doc.sourcePath, Path("second.torrent"));
    EXPECT_EQ(doc.codec.values.size(), 1u);
    std::string name;
    auto* info = static_cast<CBEncodeDict*>(doc.root->Find("info"));
    static_cast<CBEncodeString*>(info->Find("name"))->GetString(name);
    EXPECT_EQ(name, "second.mkv");
}

// ---- saving -------------------------------------------------------------------------------

TEST_F(TorrentDocument, SavedEditsAppearInTheWrittenFile)
{
    const std::string torrent = SmallTorrent("old.mkv");
    ASSERT_TRUE(doc.LoadFromMemory(torrent.data(), torrent.size()));
    auto* info = static_cast<CBEncodeDict*>(doc.root->Find("info"));
    static_cast<CBEncodeString*>(info->Find("name"))->SetString("brand-new.mkv");
    std::string out;
    ASSERT_TRUE(doc.SaveToFile(out, Path("edited.torrent").c_str()));
    EXPECT_EQ(ReadFile(Path("edited.torrent")), SmallTorrent("brand-new.mkv"));
}

TEST_F(TorrentDocument, SavingWithoutARootIntoAMissingFolderOrOverAFolderGivesFalse)
{
    std::string out;
    EXPECT_FALSE(doc.SaveToFile(out, Path("none.torrent").c_str()));
    EXPECT_FALSE(fs::exists(Path("none.torrent")));
    const std::string torrent = SmallTorrent();
    ASSERT_TRUE(doc.LoadFromMemory(torrent.data(), torrent.size()));
    EXPECT_FALSE(doc.SaveToFile(out, Path("no-such-folder/a.torrent").c_str()));
    fs::create_directory(Path("taken.torrent"));
    out.clear();
    EXPECT_FALSE(doc.SaveToFile(out, Path("taken.torrent").c_str()));
    EXPECT_TRUE(fs::is_directory(Path("taken.torrent")));
    EXPECT_EQ(OtherEntries(folder, "taken.torrent"), std::vector<std::string>{});
}

TEST_F(TorrentDocument, AWriteThatFailsHalfwayKeepsTheOldBytesAndLeavesNoTemporaryFile)
{
    TorrentDescription big;
    big.announce = "http://tracker.test/announce";
    big.name = "big.bin";
    big.length = 1 << 30;
    big.pieceLength = 16384;  // 65536 pieces: 1.3 MB of piece hashes
    const std::string torrent = BuildTorrent(big);
    ASSERT_TRUE(doc.LoadFromMemory(torrent.data(), torrent.size()));
    const std::string target = Path("old.torrent");
    WriteFile(target, "old bytes");

    // A file-size limit makes the write fail part way, like a disk that fills up.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string out;
    const bool saved_ok = doc.SaveToFile(out, target.c_str());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadFile(target), "old bytes");
    EXPECT_EQ(OtherEntries(folder, "old.torrent"), std::vector<std::string>{});
}

TEST_F(TorrentDocument, SavingOntoAFullFileSystemKeepsTheOldBytes)
{
    if (!MountSmallFileSystem(64 * 1024))
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    const fs::path target = mountPoint / "old.torrent";
    WriteFile(target, "old bytes");
    WriteFile(mountPoint / "filler", std::string(256 * 1024, 'x'));  // fills what is left
    const std::string torrent = SmallTorrent();
    ASSERT_TRUE(doc.LoadFromMemory(torrent.data(), torrent.size()));
    std::string out;
    EXPECT_FALSE(doc.SaveToFile(out, target.c_str()));
    EXPECT_EQ(ReadFile(target), "old bytes");
    EXPECT_EQ(OtherEntries(mountPoint, "old.torrent"), std::vector<std::string>{"filler"});
}

TEST_F(TorrentDocument, SavingIntoAReadOnlyFolderKeepsTheOldBytes)
{
    if (!MountSmallFileSystem(1 << 20))
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    const fs::path target = mountPoint / "old.torrent";
    WriteFile(target, "old bytes");
    ASSERT_TRUE(RemountReadOnly());
    const std::string torrent = SmallTorrent();
    ASSERT_TRUE(doc.LoadFromMemory(torrent.data(), torrent.size()));
    std::string out;
    EXPECT_FALSE(doc.SaveToFile(out, target.c_str()));
    EXPECT_EQ(ReadFile(target), "old bytes");
}

TEST_F(TorrentDocument, SavingKeepsTheModeOfAnOldFileAndGivesANewOneTheUmaskDefault)
{
    const std::string torrent = SmallTorrent();
    ASSERT_TRUE(doc.LoadFromMemory(torrent.data(), torrent.size()));
    const std::string old = Path("private.torrent");
    WriteFile(old, "old");
    ASSERT_EQ(::chmod(old.c_str(), 0600), 0);
    std::string out;
    ASSERT_TRUE(doc.SaveToFile(out, old.c_str()));
    struct stat info {};
    ASSERT_EQ(::stat(old.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    const mode_t previous = ::umask(027);
    out.clear();
    const bool savedNew = doc.SaveToFile(out, Path("new.torrent").c_str());
    ::umask(previous);
    ASSERT_TRUE(savedNew);
    ASSERT_EQ(::stat(Path("new.torrent").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(TorrentDocument, SavingThroughASymbolicLinkReplacesItsTarget)
{
    const std::string torrent = SmallTorrent();
    ASSERT_TRUE(doc.LoadFromMemory(torrent.data(), torrent.size()));
    fs::create_directory(folder / "real");
    WriteFile(folder / "real" / "a.torrent", "old");
    fs::create_symlink("real/a.torrent", folder / "link.torrent");
    std::string out;
    ASSERT_TRUE(doc.SaveToFile(out, Path("link.torrent").c_str()));
    EXPECT_TRUE(fs::is_symlink(folder / "link.torrent"));
    EXPECT_EQ(ReadFile(folder / "real" / "a.torrent"), torrent);
}
