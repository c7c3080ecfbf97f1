#include "JsonReader.h"
#include "samples/generator/TorrentBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string Torrent(const std::string& name, int64_t length) {
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example/announce";
    torrent.name = name;
    torrent.length = length;
    torrent.comment = "a comment";
    return BuildTorrent(torrent);
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelpmere-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        source_ = (root_ / "src").string();
        dest_ = (root_ / "dest").string();
        fs::create_directories(source_);
    }
    void TearDown() override { fs::remove_all(root_); }

    void Put(const std::string& relative, const std::string& bytes) {
        const fs::path path = source_ + "/" + relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // Runs the program with `args` in the "C" locale (whose code page is UTF-8), standard
    // output and error captured.
    CliRun Cli(const std::vector<std::string>& args) {
        const fs::path out = root_ / "stdout";
        const fs::path err = root_ / "stderr";
        const pid_t child = fork();
        if (child == 0) {
            const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(outFd, STDOUT_FILENO);
            dup2(errFd, STDERR_FILENO);
            setenv("LC_ALL", "C", 1);
            std::vector<char*> argv{const_cast<char*>(KELPMERE_CLI)};
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            execv(KELPMERE_CLI, argv.data());
            _exit(127);
        }
        CliRun run;
        int status = 0;
        waitpid(child, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadAll(out);
        run.err = ReadAll(err);
        return run;
    }

    static std::vector<JsonValue> JsonLines(const std::string& text) {
        std::vector<JsonValue> values;
        for (const std::string& line : Lines(text)) {
            values.emplace_back();
            EXPECT_TRUE(ParseJson(line, values.back())) << line;
        }
        return values;
    }

    fs::path root_;
    std::string source_;
    std::string dest_;
};

TEST_F(CliTest, WashConvertsEveryTorrentInScanOrderAndExitsZero) {
    Put("b.torrent", Torrent("b.mkv", 10));
    Put("种子/a.torrent", Torrent("a.mkv", 10));
    Put("notes.txt", "ignored");
    const CliRun run = Cli({"wash", source_, dest_});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], dest_ + "/b.torrent  保存转换的种子成功!");
    EXPECT_EQ(lines[1], dest_ + "/种子/a.torrent  保存转换的种子成功!");
    EXPECT_EQ(lines[2].rfind("2/2 converted, 0 failed", 0), 0u) << lines[2];
    EXPECT_TRUE(fs::is_regular_file(dest_ + "/种子/a.torrent"));
    EXPECT_TRUE(run.err.empty()) << "no progress bar when standard error is not a terminal";
}

TEST_F(CliTest, WashExitsOneWhenAnyTorrentFailsAndStillConvertsTheRest) {
    Put("a.torrent", Torrent("a.mkv", 10));
    Put("b.torrent", "not a torrent");
    Put("c.torrent", Torrent("README", 10));
    const CliRun run = Cli({"wash", "--jobs", "2", source_, dest_});
    EXPECT_EQ(run.status, 1);
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], dest_ + "/a.torrent  保存转换的种子成功!");
    EXPECT_EQ(lines[1], dest_ + "/b.torrent  种子文件分析失败 请检查种子文件!");
    EXPECT_EQ(lines[2], dest_ + "/c.torrent  清洗种子文件失败 请检查种子文件!");
    EXPECT_FALSE(fs::exists(dest_ + "/b.torrent"));
}

TEST_F(CliTest, WashJsonCarriesSourceOutputStateAndBothInfoHashesWithEveryNameEscaped) {
    TorrentDescription description;
    description.announce = "http://tracker.example/announce";
    description.name = "a.mkv";
    description.length = 10;
    Put("a.torrent", BuildTorrent(description));
    Put("bad\xff name.torrent", Torrent("b.mkv", 10));
    Put("quote\"tab\there.torrent", Torrent("c.mkv", 10));
    Put("zz.torrent", "d");
    const CliRun run = Cli({"wash", "--json", source_, dest_});
    EXPECT_EQ(run.status, 1);
    const auto values = JsonLines(run.out);
    ASSERT_EQ(values.size(), 4u);

    EXPECT_EQ(values[0]["source"].text, source_ + "/a.torrent");
    EXPECT_EQ(values[0]["output"].text, dest_ + "/a.torrent");
    EXPECT_EQ(values[0]["state"].text, "保存转换的种子成功!");
    EXPECT_TRUE(values[0]["converted"].boolean);
    EXPECT_EQ(values[0]["oldInfoHash"].text.size(), 40u);
    EXPECT_EQ(values[0]["newInfoHash"].text.size(), 40u);
    EXPECT_NE(values[0]["oldInfoHash"].text, values[0]["newInfoHash"].text);

    EXPECT_EQ(values[1]["source"].text, source_ + "/bad\xEF\xBF\xBD name.torrent");
    EXPECT_TRUE(values[1]["converted"].boolean);
    EXPECT_EQ(values[2]["source"].text, source_ + "/quote\"tab\there.torrent");

    EXPECT_EQ(values[3]["state"].text, "种子文件分析失败 请检查种子文件!");
    EXPECT_FALSE(values[3]["converted"].boolean);
    EXPECT_EQ(values[3]["oldInfoHash"].kind, JsonValue::Kind::Null);
    EXPECT_EQ(values[3]["newInfoHash"].kind, JsonValue::Kind::Null);

    // The new hash is the hash of what was saved: show reads it back from the output file.
    const CliRun shown = Cli({"show", "--json", dest_ + "/a.torrent"});
    JsonValue show;
    ASSERT_TRUE(ParseJson(shown.out, show)) << shown.out;
    EXPECT_EQ(show["infoHash"].text, values[0]["newInfoHash"].text);
    EXPECT_NE(run.err.find("3/4 converted, 1 failed"), std::string::npos) << run.err;
}

TEST_F(CliTest, ManyJobsGiveEveryTorrentItsOwnNames) {
    for (int i = 0; i < 24; ++i) {
        Put("t" + std::to_string(100 + i) + ".torrent", Torrent("same.mkv", 10));
    }
    const CliRun run = Cli({"wash", "--json", "--jobs=4", source_, dest_});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto values = JsonLines(run.out);
    ASSERT_EQ(values.size(), 24u);
    std::set<std::string> names;
    std::set<std::string> hashes;
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i]["output"].text, dest_ + "/t" + std::to_string(100 + i) + ".torrent");
        hashes.insert(values[i]["newInfoHash"].text);
        JsonValue show;
        ASSERT_TRUE(ParseJson(Cli({"show", "--json", values[i]["output"].text}).out, show));
        names.insert(show["name"].text);
    }
    EXPECT_EQ(names.size(), 24u);
    EXPECT_EQ(hashes.size(), 24u);
}

TEST_F(CliTest, UsageErrorsExitTwoWithTheBatchPagesMessages) {
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"frobnicate"}).status, 2);
    EXPECT_EQ(Cli({"wash", source_}).status, 2);
    EXPECT_EQ(Cli({"wash", "--bogus", source_, dest_}).status, 2);
    EXPECT_EQ(Cli({"wash", "--jobs", "0", source_, dest_}).status, 2);
    EXPECT_EQ(Cli({"show"}).status, 2);
    EXPECT_EQ(Cli({"wash", (root_ / "missing").string(), dest_}).status, 2);

    const CliRun empty = Cli({"wash", "", ""});
    EXPECT_EQ(empty.status, 2);
    EXPECT_NE(empty.err.find("您还没有选择需要积存的种子路径 !"), std::string::npos) << empty.err;

    for (const std::string& same : {source_, source_ + "/", source_ + "/."}) {
        const CliRun run = Cli({"wash", source_, same});
        EXPECT_EQ(run.status, 2) << same;
        EXPECT_NE(run.err.find("保存路径不能与原路径相同 !"), std::string::npos) << same;
    }
    EXPECT_FALSE(fs::exists(dest_));
}

TEST_F(CliTest, HelpAndVersionExitZero) {
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("kelpmere-cli wash"), std::string::npos);
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("kelpmere-cli ") + KELPMERE_VERSION + "\n");
}

TEST_F(CliTest, ShowListsFilesWithTheirSizesAndDescriptiveTexts) {
    TorrentDescription description;
    description.announce = "http://one.example/announce";
    description.announceList = {{"http://one.example/announce"}, {"http://two.example/announce"}};
    description.name = "Show";
    description.comment = "hello";
    description.createdBy = "maker";
    description.pieceLength = 1 << 22;
    description.files = {{{"Season 1", "ep01.avi"}, 1610612736}, {{"ep02.avi"}, 1024}, {{"a.nfo"}, 1025}};
    Put("x.torrent", BuildTorrent(description));
    const std::string file = source_ + "/x.torrent";

    const CliRun text = Cli({"show", file});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("name:          Show\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("1.50G  Season 1/ep01.avi\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("1024.00B  ep02.avi\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("1.00K  a.nfo\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("http://two.example/announce\n"), std::string::npos);
    EXPECT_NE(text.out.find("comment:       hello\n"), std::string::npos);

    const CliRun json = Cli({"show", "--json", file, source_ + "/missing.torrent"});
    EXPECT_EQ(json.status, 1);
    const auto values = JsonLines(json.out);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0]["name"].text, "Show");
    EXPECT_EQ(values[0]["pieceLength"].number, 4194304.0);
    EXPECT_EQ(values[0]["totalSize"].number, 1610612736.0 + 1024 + 1025);
    ASSERT_EQ(values[0]["files"].items.size(), 3u);
    EXPECT_EQ(values[0]["files"].items[0]["path"].text, "Season 1/ep01.avi");
    EXPECT_EQ(values[0]["files"].items[0]["size"].text, "1.50G");
    EXPECT_EQ(values[0]["trackers"].items.size(), 3u);
    EXPECT_EQ(values[0]["createdBy"].text, "maker");
    EXPECT_EQ(values[1]["error"].text, "种子文件分析失败 请检查种子文件!");
}

}  // namespace
