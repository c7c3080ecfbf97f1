#include "platform/PathText.h"
#include "support/TempFolder.h"
#include "support/Unprivileged.h"
#include "torrent/TorrentFolderScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

using Items = std::vector<std::string>;

class FolderScanTest : public ::testing::Test {
protected:
    void Touch(const std::string& relative) { WriteFile(m_root / PathOf(relative), "x"); }

    Items Scan(const std::string& folder, const char* relativeDir = "", std::vector<BatchItem> items = {},
        const char* skip = nullptr)
    {
        ScanTorrentFolder(folder, relativeDir, ".torrent", items, skip);
        Items described;
        for (const BatchItem& item : items) {
            EXPECT_TRUE(item.sourceRoot.empty());
            // Folders described with "/" on every system.
            std::string folder = item.relativeDir;
            std::replace(folder.begin(), folder.end(), kPathSeparator, '/');
            described.push_back(folder + "|" + item.fileName);
        }
        return described;
    }
    Items Scan() { return Scan(TextOf(m_root)); }

    TempFolder m_temp;
    fs::path m_root = m_temp.path;
};

// Everything below a folder named like a torrent is taken too.
TEST_F(FolderScanTest, TakesPathsContainingThePatternCaseSensitivelyFolderByFolderInByteOrder)
{
    for (const char* name : {"b.torrent", "Z.torrent", "B.TORRENT", "c.torrent.bak", "d.txt", "a/y.torrent",
             "a/sub1/sub2/x.torrent", "a/sub1/w.torrent", "种子/电影 第1集.torrent", "new.torrent/readme.txt",
             "new.torrent/inner/x.bin", "plain/readme.txt"}) {
        Touch(name);
    }
    EXPECT_EQ(Scan(),
        (Items{"|Z.torrent", "/a/sub1/sub2|x.torrent", "/a/sub1|w.torrent", "/a|y.torrent", "|b.torrent",
            "|c.torrent.bak", "/new.torrent/inner|x.bin", "/new.torrent|readme.txt", "/种子|电影 第1集.torrent"}));
}

TEST_F(FolderScanTest, EveryFolderOfANestedTreeIsScannedAndNoneTwice)
{
    // Sibling folders alike in shape and depth: each must count as a folder of its own.
    Items expected;
    for (const std::string dir : {"/p/m", "/p/n", "/q/m", "/q/n"}) {
        for (const std::string item : {"|u.torrent", "/x|t.torrent", "/y|t.torrent"}) {
            expected.push_back(dir + item);
            std::string file = expected.back().substr(1);
            file[file.find('|')] = '/';
            Touch(file);
        }
    }
    EXPECT_EQ(Scan(), expected);
}

TEST_F(FolderScanTest, TakesOnlyFilesThroughLinksWithoutLooping)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs, and symbolic links need a privilege the test can't count on";
#else
    Touch("a/x.torrent");
    Touch("real.bin");
    fs::create_directory_symlink("..", m_root / "a" / "up");
    fs::create_directory_symlink(m_root / "a", m_root / "also-a");
    fs::create_symlink(m_root / "real.bin", m_root / "link.torrent");
    ASSERT_EQ(mkfifo((m_root / "x.torrent").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((m_root / "pipe").c_str(), 0644), 0);
    fs::create_symlink(m_root / "pipe", m_root / "to-pipe.torrent"); // a link to a FIFO is no file either
    fs::create_symlink(m_root / "missing", m_root / "y.torrent");
    EXPECT_EQ(Scan(), (Items{"/a|x.torrent", "|link.torrent"}));
#endif
}

TEST_F(FolderScanTest, LeavesOutTheSkippedFolderHoweverItIsReached)
{
    Touch("a.torrent");
    Touch("out/a.torrent");
    Touch("out/deeper/b.torrent");
    Touch("sub/c.torrent");
#ifndef _WIN32
    fs::create_directory_symlink(m_root / "out", m_root / "sub" / "out-link");
#endif
    const std::string skip = TextOf(m_root) + "/sub/../out/"; // another spelling of the same folder
    EXPECT_EQ(Scan(TextOf(m_root), "", {}, skip.c_str()), (Items{"|a.torrent", "/sub|c.torrent"}));
    EXPECT_EQ(Scan(TextOf(m_root), "", {}, TextOf(m_root / "not-there").c_str()).size(), 4u)
        << "a folder that doesn't exist skips nothing";
}

TEST_F(FolderScanTest, AppendsToTheCallersItems)
{
    EXPECT_TRUE(Scan().empty());
    EXPECT_TRUE(Scan(TextOf(m_root / "nowhere")).empty());
    Touch("x.torrent");
    EXPECT_EQ(Scan(TextOf(m_root) + "/", "/pre", std::vector<BatchItem>(1)), (Items{"|", "/pre|x.torrent"}));
}

TEST_F(FolderScanTest, AnUnreadableFolderIsReportedInsteadOfScanned)
{
#ifdef _WIN32
    GTEST_SKIP() << "an unreadable folder takes an access-control list, which the test has no second user for";
#else
    for (const char* name : {"a/x.torrent", "b/secret.torrent", "c/z.torrent"})
        Touch(name);
    fs::permissions(m_root, fs::perms::all);
    for (const char* folder : {"a", "c"})
        fs::permissions(m_root / folder, fs::perms::all);
    fs::permissions(m_root / "b", fs::perms::none);
    if (!ChildCanBeUnprivilegedIn(m_root)) {
        GTEST_SKIP() << "this process can't scan " << m_root << " without root's override of permission bits";
    }
    EXPECT_EXIT(
        {
            std::vector<BatchItem> items;
            std::vector<UnreadablePath> unreadable;
            if (BecomeUnprivileged())
                ScanTorrentFolder(TextOf(m_root), "", ".torrent", items, nullptr, &unreadable);
            const bool reported = unreadable.size() == 1 && unreadable[0].relativePath == "/b"
                && unreadable[0].reason == std::strerror(EACCES);
            std::_Exit(items.size() == 2 && items[1].relativeDir == "/c" && reported ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(FolderScanTest, CreateFolderChainMakesEveryMissingLevel)
{
    std::string path = TextOf(m_root / "out" / "a" / "b");
    EXPECT_TRUE(CreateFolderChain(path));
    EXPECT_EQ(path, TextOf(m_root / "out" / "a" / "b") + kPathSeparator);
    EXPECT_TRUE(fs::is_directory(path));
    const std::string again = path;
    EXPECT_TRUE(CreateFolderChain(path));
    EXPECT_EQ(path, again);

    std::string longPath = TextOf(m_root); // longer than the old fixed buffers
    for (int level = 0; level < 12; ++level)
        longPath += "/" + std::string(40, static_cast<char>('a' + level));
    EXPECT_TRUE(CreateFolderChain(longPath));
    EXPECT_TRUE(fs::is_directory(longPath));

#ifndef _WIN32
    fs::create_directory(m_root / "target");
    fs::create_directory_symlink(m_root / "target", m_root / "link");
    std::string throughLink = (m_root / "link" / "输出" / "子目录").string() + "/";
    EXPECT_TRUE(CreateFolderChain(throughLink));
    EXPECT_TRUE(fs::is_directory(m_root / "target" / "输出" / "子目录"));
#endif
    std::string chinese = TextOf(m_root) + "/输出/子目录";
    EXPECT_TRUE(CreateFolderChain(chinese));
    EXPECT_TRUE(fs::is_directory(m_root / PathOf("输出/子目录")));

    const fs::path before = fs::current_path();
    fs::current_path(m_root);
    std::string relative = "rel/one";
    const bool made = CreateFolderChain(relative);
    fs::current_path(before);
    EXPECT_TRUE(made);
    EXPECT_EQ(relative, "rel/one" + std::string(1, kPathSeparator));
    EXPECT_TRUE(fs::is_directory(m_root / "rel" / "one"));

    // A level that is a file fails the chain and stays a file.
    Touch("blocker");
    for (std::string blocked : {TextOf(m_root / "blocker" / "inner"), TextOf(m_root / "blocker") + "/"}) {
        EXPECT_FALSE(CreateFolderChain(blocked)) << blocked;
        EXPECT_TRUE(fs::is_regular_file(m_root / "blocker"));
    }
}

#ifdef _WIN32
TEST_F(FolderScanTest, BackslashesDrivesAndNetworkSharesAreUnderstood)
{
    Touch("a/b/x.torrent");
    std::string backslashed = TextOf(m_root);
    for (char& c : backslashed) {
        if (c == '/')
            c = '\\';
    }
    EXPECT_EQ(Scan(backslashed + "\\a"), (Items{"/b|x.torrent"}));
    EXPECT_EQ(Scan(backslashed + "\\a\\"), (Items{"/b|x.torrent"}));

    std::string mixed = backslashed + "\\made/in\\mixed";
    EXPECT_TRUE(CreateFolderChain(mixed));
    EXPECT_EQ(mixed, backslashed + "\\made/in\\mixed\\");
    EXPECT_TRUE(fs::is_directory(m_root / "made" / "in" / "mixed"));
    std::string ending = backslashed + "\\ends\\";
    EXPECT_TRUE(CreateFolderChain(ending));
    EXPECT_EQ(ending, backslashed + "\\ends\\") << "a path that ends with either separator gets no other";

    // The drive root exists and is never created; a share that isn't there can't be reached.
    const std::string drive = backslashed.substr(0, 3);
    ASSERT_EQ(drive[1], ':');
    std::string root = drive;
    EXPECT_TRUE(CreateFolderChain(root));
    EXPECT_EQ(root, drive);
    std::string onDrive = TextOf(m_root) + "/drive-level";
    EXPECT_TRUE(CreateFolderChain(onDrive));
    std::string share = "\\\\no-such-server\\share\\out";
    EXPECT_FALSE(CreateFolderChain(share));
}
#endif

} // namespace
