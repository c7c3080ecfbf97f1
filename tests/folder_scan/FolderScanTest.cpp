#include "torrent/TorrentFolderScan.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FolderScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelpmere-scan-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(root_, fs::perms::all, ignored);
        for (const auto& entry : fs::recursive_directory_iterator(root_, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(root_, ignored);
    }

    void Touch(const std::string& relative) {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative) << "x";
    }

    std::vector<std::string> Scan(const std::string& pattern = ".torrent") {
        std::vector<BatchItem> items;
        ScanTorrentFolder(root_.string(), "", pattern.c_str(), items);
        return Describe(items);
    }

    static std::vector<std::string> Describe(const std::vector<BatchItem>& items) {
        std::vector<std::string> described;
        for (const BatchItem& item : items) {
            EXPECT_TRUE(item.sourceRoot.empty());
            described.push_back(item.relativeDir + "|" + item.fileName);
        }
        return described;
    }

    fs::path root_;
};

using Items = std::vector<std::string>;

TEST_F(FolderScanTest, TakesEveryFileWhosePathContainsThePatternCaseSensitively) {
    Touch("a.torrent");
    Touch("b.TORRENT");
    Touch("c.torrent.bak");
    Touch("d.txt");
    EXPECT_EQ(Scan(), (Items{"|a.torrent", "|c.torrent.bak"}));
}

TEST_F(FolderScanTest, ListsEachFolderInByteOrderDepthFirst) {
    Touch("b.torrent");
    Touch("Z.torrent");
    Touch("a/y.torrent");
    Touch("a/sub1/sub2/x.torrent");
    Touch("a/sub1/w.torrent");
    Touch("c/v.torrent");
    EXPECT_EQ(Scan(), (Items{"|Z.torrent", "/a/sub1/sub2|x.torrent", "/a/sub1|w.torrent", "/a|y.torrent",
                             "|b.torrent", "/c|v.torrent"}));
}

TEST_F(FolderScanTest, DescendsIntoAFolderNamedLikeATorrentAndTakesEverythingBelowIt) {
    Touch("new.torrent/readme.txt");
    Touch("new.torrent/inner/x.bin");
    Touch("plain/readme.txt");
    EXPECT_EQ(Scan(), (Items{"/new.torrent/inner|x.bin", "/new.torrent|readme.txt"}));
}

TEST_F(FolderScanTest, EndsOnASymbolicLinkLoopAndTakesEachFolderOnce) {
    Touch("a/x.torrent");
    fs::create_directory_symlink("..", root_ / "a" / "up");
    fs::create_directory_symlink(root_ / "a", root_ / "also-a");
    EXPECT_EQ(Scan(), (Items{"/a|x.torrent"}));
}

TEST_F(FolderScanTest, TakesLinksToRegularFilesButSkipsFifosAndDanglingLinks) {
    Touch("real.bin");
    fs::create_symlink(root_ / "real.bin", root_ / "link.torrent");
    ASSERT_EQ(mkfifo((root_ / "x.torrent").c_str(), 0644), 0);
    fs::create_symlink(root_ / "missing", root_ / "y.torrent");
    EXPECT_EQ(Scan(), (Items{"|link.torrent"}));
}

TEST_F(FolderScanTest, KeepsChineseNamesAsTheirBytes) {
    Touch("种子/电影 第1集.torrent");
    EXPECT_EQ(Scan(), (Items{"/种子|电影 第1集.torrent"}));
}

TEST_F(FolderScanTest, AMissingFolderOrAnEmptyOneYieldsNothing) {
    std::vector<BatchItem> items;
    ScanTorrentFolder((root_ / "nowhere").string(), "", ".torrent", items);
    EXPECT_TRUE(items.empty());
    EXPECT_TRUE(Scan().empty());
}

TEST_F(FolderScanTest, AppendsToTheCallersItemsWithTheGivenRelativeFolder) {
    Touch("x.torrent");
    std::vector<BatchItem> items(1);
    ScanTorrentFolder(root_.string() + "/", "/pre", ".torrent", items);
    EXPECT_EQ(Describe(items), (Items{"|", "/pre|x.torrent"}));
}

// Permission bits don't stop root, so the scan of an unreadable folder runs in a child
// process that has given up root first.
TEST_F(FolderScanTest, AnUnreadableFolderContributesNothingAndTheScanGoesOn) {
    Touch("a/x.torrent");
    Touch("b/secret.torrent");
    Touch("c/z.torrent");
    fs::permissions(root_, fs::perms::all);
    for (const char* folder : {"a", "b", "c"}) {
        fs::permissions(root_ / folder, fs::perms::all);
    }
    fs::permissions(root_ / "b", fs::perms::none);

    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(3);
        }
        std::vector<BatchItem> items;
        ScanTorrentFolder(root_.string(), "", ".torrent", items);
        std::string text;
        for (const BatchItem& item : items) {
            text += item.relativeDir + "|" + item.fileName + "\n";
        }
        _exit(write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 4);
    }
    close(channel[1]);
    std::string received;
    char chunk[256];
    for (ssize_t n = 0; (n = read(channel[0], chunk, sizeof chunk)) > 0;) {
        received.append(chunk, static_cast<std::size_t>(n));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) {
        GTEST_SKIP() << "this process may not give up root, so it can't meet an unreadable folder";
    }
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(received, "/a|x.torrent\n/c|z.torrent\n");
}

class FolderChainTest : public FolderScanTest {};

TEST_F(FolderChainTest, CreatesEveryMissingLevelOfAnAbsolutePathAndAppendsASeparator) {
    fs::create_directory(root_ / "out");
    std::string path = (root_ / "out" / "a" / "b").string();
    EXPECT_TRUE(CreateFolderChain(path));
    EXPECT_EQ(path, (root_ / "out" / "a" / "b").string() + "/");
    EXPECT_TRUE(fs::is_directory(root_ / "out" / "a" / "b"));

    std::string again = path;
    EXPECT_TRUE(CreateFolderChain(again));
    EXPECT_EQ(again, path);
}

TEST_F(FolderChainTest, AcceptsPathsLongerThanTheOldFixedBuffers) {
    std::string path = root_.string();
    for (int level = 0; level < 12; ++level) {
        path += "/" + std::string(40, static_cast<char>('a' + level));
    }
    ASSERT_GT(path.size(), 400u);
    EXPECT_TRUE(CreateFolderChain(path));
    EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(FolderChainTest, FailsWhenALevelExistsAsAFile) {
    Touch("blocker");
    std::string path = (root_ / "blocker" / "inner").string();
    EXPECT_FALSE(CreateFolderChain(path));
    EXPECT_TRUE(fs::is_regular_file(root_ / "blocker"));
    std::string last = (root_ / "blocker").string() + "/";
    EXPECT_FALSE(CreateFolderChain(last));
}

TEST_F(FolderChainTest, FollowsALinkToAFolderAndTakesChineseNames) {
    fs::create_directory(root_ / "target");
    fs::create_directory_symlink(root_ / "target", root_ / "link");
    std::string path = (root_ / "link" / "输出" / "子目录").string() + "/";
    EXPECT_TRUE(CreateFolderChain(path));
    EXPECT_TRUE(fs::is_directory(root_ / "target" / "输出" / "子目录"));
}

TEST_F(FolderChainTest, CreatesARelativePathBelowTheWorkingFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(root_);
    std::string path = "rel/one";
    const bool made = CreateFolderChain(path);
    fs::current_path(before);
    EXPECT_TRUE(made);
    EXPECT_EQ(path, "rel/one/");
    EXPECT_TRUE(fs::is_directory(root_ / "rel" / "one"));
}

}  // namespace
