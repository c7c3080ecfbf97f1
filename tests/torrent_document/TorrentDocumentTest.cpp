#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeString.h"
#include "samples/generator/SampleSet.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "support/Unprivileged.h"
#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const std::string kTorrent = BuildTorrent(SingleFile("clip.mp4", 4096));

// 65536 pieces (1.3 MB of piece hashes) and a long string beside the info dictionary.
TorrentDescription BigTorrent()
{
    TorrentDescription big = MultiFile({{{"a", "x.bin"}, 1 << 30}, {{"y.bin"}, 5}});
    big.pieceLength = 16384;
    big.extraRoot["x-long"] = BencodeString(std::string(70000, 'L'));
    return big;
}

// `torrent`, made from BigTorrent(), with a second "pieces" as long as "x-long" at the end of its
// info dictionary: washing drops it, which the long strings written after it must allow for.
std::string WithRepeatedPieces(std::string torrent)
{
    torrent.insert(torrent.find("6:x-long") - 1, "6:pieces" + BencodeString(std::string(70000, 'P')));
    return torrent;
}

// How many entries `folder` holds: a failed save leaves no temporary file behind.
std::ptrdiff_t Entries(const fs::path& folder)
{
    return std::distance(fs::directory_iterator(folder), {});
}

class TorrentDocument : public ::testing::Test {
protected:
#ifndef _WIN32
    void TearDown() override
    {
        if (m_mounted)
            umount2(m_mountPoint.c_str(), MNT_DETACH);
    }

    // Mounts a tmpfs of `bytes` at m_mountPoint; false where mounting isn't allowed.
    bool Mount(std::size_t bytes)
    {
        fs::create_directory(m_mountPoint);
        m_mounted = mount("tmpfs", m_mountPoint.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) == 0;
        return m_mounted;
    }
    bool RemountReadOnly()
    {
        return mount("tmpfs", m_mountPoint.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
#endif
    bool Save(const fs::path& path)
    {
        std::string out;
        return m_doc.SaveToFile(out, TextOf(path).c_str());
    }
    // Loads `path` and saves it to copy.torrent: both the text and the file are `bytes`.
    void ExpectSavedBack(const fs::path& path, const std::string& bytes)
    {
        ASSERT_TRUE(m_doc.LoadFromFile(TextOf(path).c_str()));
        EXPECT_EQ(m_doc.bufferLength, static_cast<int>(bytes.size()));
        std::string out;
        ASSERT_TRUE(m_doc.SaveToFile(out, TextOf(m_folder / "copy.torrent").c_str()));
        EXPECT_EQ(out, bytes);
        EXPECT_EQ(ReadFile(m_folder / "copy.torrent"), bytes);
    }
    bool LoadSmall()
    {
        return m_doc.LoadFromMemory(kTorrent.data(), kTorrent.size());
    }

    TempFolder m_temp;
    fs::path m_folder = m_temp.path;
    fs::path m_mountPoint = m_folder / "mnt";
    bool m_mounted = false;
    CTorrentParser m_doc;
};

TEST_F(TorrentDocument, EverySampleSavesBackByteForByte)
{
    const fs::path samples = fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples";
    const auto generated = BuildSampleSet();
    ASSERT_GE(generated.size(), 5u);
    const auto committed = std::count_if(
        fs::directory_iterator(samples), {}, [](const auto& e) { return e.path().extension() == ".torrent"; });
    EXPECT_EQ(static_cast<std::size_t>(committed), generated.size())
        << "every committed sample comes from the generator";
    std::vector<std::string> refused;
    for (const SampleTorrent& sample : generated) {
        SCOPED_TRACE(sample.fileName);
        EXPECT_EQ(ReadFile(samples / sample.fileName), sample.bytes);
        if (m_doc.LoadFromFile(TextOf(samples / sample.fileName).c_str()))
            ExpectSavedBack(samples / sample.fileName, sample.bytes);
        else
            refused.push_back(sample.fileName);
    }
    // The one sample no client loads, on purpose.
    EXPECT_EQ(refused, std::vector<std::string>{"wrong-piece-count.torrent"});
}

TEST_F(TorrentDocument, AReadOnlyTorrentLoadsForAUserWhoCannotWriteIt)
{
    const fs::path path = m_folder / "readonly.torrent";
    WriteFile(path, kTorrent);
#ifdef _WIN32
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_TRUE(m_doc.LoadFromFile(TextOf(path).c_str()));
#else
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(chmod(m_folder.c_str(), 0755), 0);
    if (!ChildCanBeUnprivilegedIn(m_folder)) {
        GTEST_SKIP() << "this process can't read in " << m_folder << " without root's override of permission bits";
    }
    EXPECT_EXIT(std::_Exit(BecomeUnprivileged() && CTorrentParser().LoadFromFile(path.c_str()) ? 0 : 1),
        ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(TorrentDocument, OnlyARegularFileOfAcceptedSizeLoads)
{
#ifdef _WIN32
    EXPECT_FALSE(m_doc.LoadFromFile("NUL"));
#else
    const fs::path fifo = m_folder / "pipe.torrent";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    alarm(20); // a load that blocks on the FIFO ends the test run instead of hanging it
    EXPECT_FALSE(m_doc.LoadFromFile(fifo.c_str()));
    EXPECT_FALSE(m_doc.LoadFromFile("/dev/zero"));
    alarm(0);
#endif
    EXPECT_FALSE(m_doc.LoadFromFile(TextOf(m_folder).c_str()));
    const fs::path huge = m_folder / "huge.torrent";
    WriteFile(huge, kTorrent);
    fs::resize_file(huge, std::uintmax_t{1} << 31); // sparse where the file system allows
    EXPECT_FALSE(m_doc.LoadFromFile(TextOf(huge).c_str()));
    EXPECT_EQ(m_doc.buffer, nullptr);
    EXPECT_EQ(m_doc.bufferLength, 0);
    const std::string missing = TextOf(m_folder / "missing.torrent");
    EXPECT_FALSE(m_doc.LoadFromFile(missing.c_str()));
    EXPECT_EQ(m_doc.sourcePath, missing);
    WriteFile(m_folder / "empty.torrent", "");
    EXPECT_FALSE(m_doc.LoadFromFile(TextOf(m_folder / "empty.torrent").c_str()));
    EXPECT_EQ(m_doc.root, nullptr);
}

// A sysfs attribute is a regular file of 4096 bytes that reads as a few: every time, what a file
// that shrinks while it is read does once. The bytes never read are not taken.
TEST_F(TorrentDocument, AFileThatReadsShorterThanItsSizeIsNotLoaded)
{
    const char* const attribute = "/sys/devices/system/cpu/online";
    std::error_code error;
    if (!fs::is_regular_file(attribute, error)
        || fs::file_size(attribute, error) <= ReadFile(fs::path(attribute)).size()) {
        GTEST_SKIP() << attribute << " is not a file that reads shorter than its size here";
    }
    EXPECT_FALSE(m_doc.LoadFromFile(attribute));
    EXPECT_EQ(m_doc.buffer, nullptr);
    EXPECT_EQ(m_doc.bufferLength, 0);
}

TEST_F(TorrentDocument, EveryByteValueAndNegativeNumbersSurviveALoadAndASave)
{
    // Line feeds, carriage returns and 0x1A (end of file for a text-mode read) among the rest.
    std::string every;
    for (int value = 0; value < 256; ++value)
        every += static_cast<char>(value);
    const std::string pieces = every + every.substr(0, 4); // 13 pieces of 20 bytes
    // Negative numbers too, where no client reads them: they load and stay as they were.
    const std::string torrent = "d8:announce4:\n\r\x1A"
                                "a7:comment256:"
        + every + "4:infod6:lengthi212992e4:name3:\x1A\n\r12:piece lengthi16384e6:pieces"
        + std::to_string(pieces.size()) + ":" + pieces
        + "10:x-priorityi-42ee6:x-listli-1eli-22eei3ee5:x-negi-9223372036854775808ee";
    WriteFile(m_folder / "bytes.torrent", torrent);
    ExpectSavedBack(m_folder / "bytes.torrent", torrent);
}

TEST_F(TorrentDocument, TheRootIsTheFirstDictionary)
{
    const struct {
        std::string bytes;
        bool loads;
        std::ptrdiff_t rootAt;
    } cases[] = {
        {"li1ee" + kTorrent, true, 5},
        {"d8:announcei5e4:infoi0ee", false, 0}, // no "info" dictionary: the decoded values stay
        {"d8:announce3:urle", false, 0},
        {kTorrent + "5garbage", true, 0}, // bytes after a complete root may fail to decode
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        WriteFile(m_folder / "a.torrent", c.bytes);
        EXPECT_EQ(m_doc.LoadFromFile(TextOf(m_folder / "a.torrent").c_str()), c.loads);
        ASSERT_NE(m_doc.root, nullptr);
        EXPECT_EQ(m_doc.root->rawStart, m_doc.buffer.get() + c.rootAt);
        EXPECT_EQ(m_doc.root->errorCode, 0);
        EXPECT_EQ(m_doc.buffer[m_doc.bufferLength], '\0');
    }
}

TEST_F(TorrentDocument, ARootThatStoppedAtAnErrorIsRefusedEvenWithAnnounceAndInfoSeen)
{
    TorrentDescription cut = SingleFile("clip.mp4", 4096);
    cut.extraRoot["url-list"] = BencodeString("http://mirror.test/clip.mp4"); // sorted after "info"
    const std::string whole = BuildTorrent(cut);
    for (const std::string& broken :
        {whole.substr(0, whole.size() - 3), whole.substr(0, whole.size() - 1), // only the final "e" missing
            std::string(whole).insert(whole.find("8:url-list"), "i-0e")}) {
        SCOPED_TRACE(broken);
        EXPECT_FALSE(m_doc.LoadFromMemory(broken.data(), broken.size()));
        ASSERT_NE(m_doc.root, nullptr); // the partial tree stays for inspection
        EXPECT_EQ(m_doc.root->errorCode, kBEncodeDict);
        EXPECT_NE(m_doc.root->Find("info"), nullptr);
    }
}

TEST_F(TorrentDocument, LoadingASecondTorrentDropsEverythingOfTheFirst)
{
    ASSERT_TRUE(LoadSmall());
    m_doc.trackers.push_back("stale");
    WriteFile(m_folder / "second.torrent", BuildTorrent(SingleFile("old.mkv", 4096)));
    ASSERT_TRUE(m_doc.LoadFromFile(TextOf(m_folder / "second.torrent").c_str()));
    EXPECT_TRUE(m_doc.trackers.empty());
    EXPECT_EQ(m_doc.codec.values.size(), 1u);
    auto* name = static_cast<CBEncodeString*>(static_cast<CBEncodeDict*>(m_doc.root->Find("info"))->Find("name"));
    std::string text;
    name->GetString(text);
    EXPECT_EQ(text, "old.mkv");
}

TEST_F(TorrentDocument, WriteToFileWritesWhatSaveToFileWritesWithoutCopyingLongStrings)
{
    std::string text;
    EXPECT_FALSE(m_doc.WriteToFile(text, TextOf(m_folder / "none.torrent").c_str())); // nothing loaded
    TorrentDescription big = BigTorrent();
    big.extraRoot["x-replaced"] = BencodeString(std::string(70000, 'R'));
    const std::string bytes = WithRepeatedPieces(BuildTorrent(big));
    ASSERT_TRUE(m_doc.LoadFromMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(m_doc.Analyze());
    ASSERT_TRUE(m_doc.Wash("1-2-3"));
    static_cast<CBEncodeString*>(m_doc.root->Find("x-replaced"))->SetString("short now");
    ASSERT_TRUE(m_doc.WriteToFile(text, TextOf(m_folder / "ranges.torrent").c_str()));
    std::string whole;
    ASSERT_TRUE(m_doc.SaveToFile(whole, TextOf(m_folder / "whole.torrent").c_str()));
    EXPECT_EQ(ReadFile(m_folder / "ranges.torrent"), ReadFile(m_folder / "whole.torrent"));
    EXPECT_EQ(text.size() + static_cast<std::size_t>(m_doc.pieceCount) * 20 + 70000,
        whole.size()); // "pieces" and the long string stayed out
    EXPECT_EQ(whole.find("PPPP"), std::string::npos);

    const std::string small = kTorrent; // no long string at all
    ASSERT_TRUE(m_doc.LoadFromMemory(small.data(), small.size()));
    text = "kept ";
    ASSERT_TRUE(m_doc.WriteToFile(text, TextOf(m_folder / "small.torrent").c_str()));
    EXPECT_EQ(ReadFile(m_folder / "small.torrent"), kTorrent);
    EXPECT_EQ(text, "kept " + kTorrent);
}

// Long strings of a torrent loaded from a file may be copied from that file when written; what
// is written must still be the bytes that were loaded, whatever became of the file since: the
// same bytes as the encoding made in memory.
TEST_F(TorrentDocument, LongStringsWrittenFromTheLoadedFileAreTheLoadedBytesEvenAfterTheFileChanged)
{
    const TorrentDescription big = BigTorrent();
    const fs::path source = m_folder / "source.torrent";
    const auto washAndWrite = [&](const char* name) {
        std::string text;
        std::string whole;
        EXPECT_TRUE(m_doc.Analyze() && m_doc.Wash("1-2-3"));
        EXPECT_TRUE(m_doc.WriteToFile(text, TextOf(m_folder / name).c_str()));
        EXPECT_TRUE(m_doc.SaveToFile(whole, TextOf(m_folder / "whole.torrent").c_str()));
        EXPECT_EQ(ReadFile(m_folder / name), whole) << name;
    };

    WriteFile(source, WithRepeatedPieces(BuildTorrent(big)));
    ASSERT_TRUE(m_doc.LoadFromFile(TextOf(source).c_str()));
#ifdef __linux__
    // Nothing stays open between loading and saving: the source's volume can be unmounted.
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        EXPECT_NE(fs::read_symlink(fd.path(), error), source);
    }
#endif
    washAndWrite("unchanged.torrent");

    // Rewritten in place with other bytes of the same length, its modification time put back.
    ASSERT_TRUE(m_doc.LoadFromFile(TextOf(source).c_str()));
    const auto modified = fs::last_write_time(source);
    std::string other = ReadFile(source);
    std::replace(other.begin() + 200, other.end() - 200, 'L', 'M');
    std::fill(other.end() - 90000, other.end() - 80000, '\x5A');
    {
        std::fstream rewrite(source, std::ios::in | std::ios::out | std::ios::binary);
        rewrite.write(other.data(), static_cast<std::streamsize>(other.size()));
    }
    fs::last_write_time(source, modified);
    washAndWrite("changed.torrent");

    // Removed, or cut short.
    ASSERT_TRUE(m_doc.LoadFromFile(TextOf(m_folder / "unchanged.torrent").c_str()));
    fs::remove(m_folder / "unchanged.torrent");
    washAndWrite("removed.torrent");
    WriteFile(source, WithRepeatedPieces(BuildTorrent(big)));
    ASSERT_TRUE(m_doc.LoadFromFile(TextOf(source).c_str()));
    fs::resize_file(source, 1000);
    washAndWrite("shortened.torrent");
}

// About 11 million values: a folder and a name in both "path" and "path.utf-8" for each file.
TEST_F(TorrentDocument, ATorrentOfAMillionFilesIsAnalysed)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer takes many times the memory and time of 11 million values";
#else
    constexpr std::size_t kFiles = 1'000'000;
    const std::string file = "d6:lengthi1e4:pathl1:a3:b.ce10:path.utf-8l1:a3:b.cee";
    std::string bytes = "d8:announce3:url4:infod5:filesl";
    bytes.reserve(bytes.size() + kFiles * file.size() + 100);
    for (std::size_t i = 0; i < kFiles; ++i)
        bytes += file;
    bytes += "e4:name1:n12:piece lengthi1048576e6:pieces20:" + std::string(20, 'p') + "ee";
    const auto loads = [&] {
        return m_doc.LoadFromMemory(bytes.data(), bytes.size()) && m_doc.Analyze(false) && m_doc.files.size() == kFiles
            && m_doc.files.back().nameUtf8.text == "b.c";
    };
#ifdef _WIN32
    EXPECT_TRUE(loads());
#else
    // In a child process, which ends without handing 11 million values back one by one.
    EXPECT_EXIT(std::_Exit(loads() ? 0 : 1), ::testing::ExitedWithCode(0), "");
#endif
#endif
}

// Where no file can be written, or the write fails part way, a save fails and leaves whatever
// was at the path as it was, and no temporary file.
TEST_F(TorrentDocument, ASaveThatCannotBeWrittenFailsLeavingWhatWasThere)
{
    EXPECT_FALSE(Save(m_folder / "none.torrent")); // nothing loaded
    EXPECT_FALSE(fs::exists(m_folder / "none.torrent"));
    ASSERT_TRUE(LoadSmall());
    EXPECT_FALSE(Save(m_folder / "no-such-folder" / "a.torrent"));
    fs::create_directory(m_folder / "taken.torrent");
    EXPECT_FALSE(Save(m_folder / "taken.torrent"));
    EXPECT_TRUE(fs::is_directory(m_folder / "taken.torrent"));
#ifndef _WIN32
    const fs::path fifo = m_folder / "pipe.torrent"; // only a file or a link is ever replaced
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_FALSE(Save(fifo));
    EXPECT_TRUE(fs::is_fifo(fifo));

    const std::string bigTorrent = BuildTorrent(BigTorrent());
    ASSERT_TRUE(m_doc.LoadFromMemory(bigTorrent.data(), bigTorrent.size()));
    WriteFile(m_folder / "old.torrent", "old bytes");
    rlimit saved{}; // a file-size limit makes the write fail part way, like a disk that fills up
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedBig = Save(m_folder / "old.torrent");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(savedBig);
    EXPECT_EQ(ReadFile(m_folder / "old.torrent"), "old bytes");
    EXPECT_EQ(Entries(m_folder), 3);
#else
    EXPECT_EQ(Entries(m_folder), 1);
#endif
}

#ifndef _WIN32
TEST_F(TorrentDocument, ASaveOntoAFullOrReadOnlyFileSystemLeavesTheOldFileIntactAndLoadsStillWork)
{
    if (!Mount(64 * 1024)) {
        GTEST_SKIP() << "mounting a tmpfs takes root, which this process doesn't have";
    }
    ASSERT_TRUE(LoadSmall());
    WriteFile(m_mountPoint / "old.torrent", "old bytes");
    WriteFile(m_mountPoint / "filler", std::string(256 * 1024, 'x')); // fills what is left
    EXPECT_FALSE(Save(m_mountPoint / "old.torrent"));
    EXPECT_EQ(ReadFile(m_mountPoint / "old.torrent"), "old bytes");
    EXPECT_EQ(Entries(m_mountPoint), 2);
    fs::remove(m_mountPoint / "filler");
    WriteFile(m_mountPoint / "a.torrent", kTorrent);
    ASSERT_TRUE(RemountReadOnly());
    EXPECT_FALSE(Save(m_mountPoint / "old.torrent"));
    EXPECT_EQ(ReadFile(m_mountPoint / "old.torrent"), "old bytes");
    EXPECT_TRUE(m_doc.LoadFromFile(TextOf(m_mountPoint / "a.torrent").c_str())); // loading writes nothing
}
#endif

#ifdef _WIN32
TEST_F(TorrentDocument, SavingReplacesAnOldFileWholeAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(LoadSmall());
    WriteFile(m_folder / "old.torrent", std::string(100000, 'o')); // longer than the new content
    ASSERT_TRUE(Save(m_folder / "old.torrent"));
    EXPECT_EQ(ReadFile(m_folder / "old.torrent"), kTorrent);
    ASSERT_TRUE(Save(m_folder / "old.torrent"));
    EXPECT_EQ(ReadFile(m_folder / "old.torrent"), kTorrent);
    ASSERT_TRUE(Save((m_folder / "old.torrent").make_preferred())); // backslashes only
    EXPECT_EQ(Entries(m_folder), 1);
}
#else
TEST_F(TorrentDocument, SavingKeepsTheModeOfAnOldFileAndReplacesALinkRatherThanItsTarget)
{
    ASSERT_TRUE(LoadSmall());
    WriteFile(m_folder / "private.torrent", "old");
    ASSERT_EQ(chmod(TextOf(m_folder / "private.torrent").c_str(), 0600), 0);
    ASSERT_TRUE(Save(m_folder / "private.torrent"));
    EXPECT_EQ(fs::status(m_folder / "private.torrent").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    const mode_t previous = umask(027);
    const bool savedNew = Save(m_folder / "new.torrent");
    umask(previous);
    ASSERT_TRUE(savedNew);
    EXPECT_EQ(fs::status(m_folder / "new.torrent").permissions(), fs::perms(0640));

    // A link is replaced like a new file, whatever it points to: the link's target keeps its
    // mode and the new file doesn't take it.
    WriteFile(m_folder / "real" / "a.torrent", "old");
    ASSERT_EQ(chmod(TextOf(m_folder / "real" / "a.torrent").c_str(), 0400), 0);
    fs::create_symlink("real/a.torrent", m_folder / "link.torrent");
    fs::create_symlink(m_folder / "real" / "missing.torrent", m_folder / "dangling.torrent");
    fs::create_directory_symlink(m_folder / "real", m_folder / "folder-link.torrent");
    fs::create_directory_symlink(m_folder / "real", m_folder / "through");
    const mode_t before = umask(027);
    const bool savedLinks = Save(m_folder / "link.torrent") && Save(m_folder / "dangling.torrent")
        && Save(m_folder / "folder-link.torrent");
    umask(before);
    ASSERT_TRUE(savedLinks);
    ASSERT_TRUE(Save(m_folder / "through" / "b.torrent")); // a linked folder on the way is followed
    for (const char* name : {"link.torrent", "dangling.torrent", "folder-link.torrent"}) {
        EXPECT_FALSE(fs::is_symlink(m_folder / name)) << name;
        EXPECT_EQ(ReadFile(m_folder / name), kTorrent) << name;
        EXPECT_EQ(fs::status(m_folder / name).permissions(), fs::perms(0640)) << name;
    }
    EXPECT_EQ(ReadFile(m_folder / "real" / "a.torrent"), "old");
    EXPECT_EQ(fs::status(m_folder / "real" / "a.torrent").permissions(), fs::perms::owner_read);
    EXPECT_FALSE(fs::exists(m_folder / "real" / "missing.torrent"));
    EXPECT_EQ(ReadFile(m_folder / "real" / "b.torrent"), kTorrent);
}
#endif

} // namespace
