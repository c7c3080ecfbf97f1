#include "cli/CommandLine.h"
#include "cli/ConsoleText.h"
#include "platform/AnsiCodePage.h"
#include "platform/TextEncoding.h"
#include "samples/generator/LegacyNames.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "support/ReloadedTorrent.h" // loads through a narrow path: POSIX only
#include "support/Unprivileged.h"

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The program's JSON output, members in the order written.
using Json = nlohmann::ordered_json;

// One JSON text; anything malformed (raw control characters or invalid UTF-8 included) fails.
Json ParsedJson(const std::string& text)
{
    Json value = Json::parse(text, nullptr, false);
    EXPECT_FALSE(value.is_discarded()) << text;
    return value;
}

std::vector<Json> JsonLines(const std::string& text)
{
    std::vector<Json> values;
    for (const std::string& line : Lines(text))
        values.push_back(ParsedJson(line));
    return values;
}

// A wash's output lines, the summary without its timings.
std::vector<std::string> Report(const std::string& out)
{
    std::vector<std::string> lines = Lines(out);
    if (!lines.empty())
        lines.back() = lines.back().substr(0, lines.back().rfind(", ", lines.back().find(" s, ")));
    return lines;
}

std::vector<std::string> Keys(const Json& object)
{
    std::vector<std::string> names;
    for (const auto& member : object.items())
        names.push_back(member.key());
    return names;
}

std::string Torrent(const std::string& name)
{
    return BuildTorrent(SingleFile(name, 10));
}

// A name the wash can't change without breaking what it serves (a web seed's URL): it is reported
// on standard error and in JSON, and the torrent still counts as converted.
std::string WebSeeded()
{
    TorrentDescription seeded = SingleFile("Kelp.Seed.mkv", 10);
    seeded.extraRoot["url-list"] = BencodeStringList({"http://seed.example/Kelp.Seed.mkv"});
    return BuildTorrent(seeded);
}

#ifndef _WIN32
std::string Quoted(const std::string& arg)
{ // for the shell
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Polls `done` until it holds, for at most two minutes.
template <class Condition>
bool PollUntil(Condition done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Starts the program with standard output and error going to files; returns its process id.
pid_t StartCli(std::vector<std::string> args, const fs::path& out, const fs::path& err)
{
    args.insert(args.begin(), KELPMERE_CLI);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFd < 0 || errFd < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0)
            _exit(127);
        std::signal(SIGINT, SIG_DFL); // as a terminal's foreground job has it, whatever the runner does
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// Makes the folder `name` in the folder `parent` (descriptors, so that no path length limits
// them) and returns it opened.
int MakeFolderAt(int parent, const std::string& name)
{
    if (mkdirat(parent, name.c_str(), 0755) != 0)
        return -1;
    return openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool WriteFileAt(int folder, const std::string& name, const std::string& bytes)
{
    const int fd = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return close(fd) == 0 && written;
}

// The shell prefix that runs the program as a user whom permission bits stop: root runs it as
// "nobody".
std::string AsUnprivilegedUser()
{
    return geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups env " : "";
}

// The program as a user whom permission bits stop can start it: a copy in `folder` when this
// process is root (the build may lie where "nobody" can't go), else the program itself; empty
// when that user can't start it.
std::string ProgramForUnprivilegedUser(const fs::path& folder)
{
    const std::string program = geteuid() == 0 ? TextOf(CopyForEveryUser(KELPMERE_CLI, folder)) : KELPMERE_CLI;
    const std::string probe = AsUnprivilegedUser() + Quoted(program) + " --version >/dev/null 2>&1";
    return !program.empty() && std::system(probe.c_str()) == 0 ? program : std::string();
}
#endif

class CliTest : public ::testing::Test {
protected:
    void Put(const std::string& relative, const std::string& bytes) { WriteFile(m_source + "/" + relative, bytes); }

    // Runs the program, its output captured: on Windows through the command interpreter in the
    // system's ANSI code page, elsewhere in the "C" locale (whose code page is UTF-8) after the
    // shell commands `setup`.
    CliRun Cli(const std::vector<std::string>& args, [[maybe_unused]] const std::string& setup = {},
        const std::string& program = KELPMERE_CLI)
    {
        const fs::path out = m_temp.path / "stdout", err = m_temp.path / "stderr";
#ifdef _WIN32
        std::wstring command = L"\"\"" + PathOf(program).wstring() + L"\"";
        for (const std::string& arg : args)
            command += L" \"" + PathOf(arg).wstring() + L"\"";
        command += L" >\"" + out.wstring() + L"\" 2>\"" + err.wstring() + L"\"\"";
        const int status = _wsystem(command.c_str());
        return {status, WithLineFeeds(ReadFile(out)), WithLineFeeds(ReadFile(err))};
#else
        std::string command = setup + "LC_ALL=C " + Quoted(program);
        for (const std::string& arg : args)
            command += " " + Quoted(arg);
        const int status = std::system((command + " >" + Quoted(out) + " 2>" + Quoted(err)).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
#endif
    }

#ifdef _WIN32
    // The console's text mode ends lines with "\r\n"; the checks compare lines.
    static std::string WithLineFeeds(std::string text)
    {
        for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; ++at)
            text.erase(at, 1);
        return text;
    }
#endif

    Json Show(const std::string& torrent)
    {
        return ParsedJson(Cli({"show", "--json", torrent}).out);
    }

    TempFolder m_temp;
    std::string m_source = TextOf(m_temp.path / "src");
    std::string m_dest = TextOf(m_temp.path / "dest");
};

// A text as the program prints it: in the code page it runs in.
#ifdef _WIN32
// Whether kelpmere-cli.exe runs in the UTF-8 code page its manifest declares (Windows 10 1903 and
// later honour it; older systems run it in their own code page): asked of the program once, by a
// message it prints.
bool CliRunsInUtf8()
{
    static const bool utf8 = [] {
        const fs::path said = fs::temp_directory_path() / "kelpmere-cli-code-page.txt";
        const std::wstring command
            = L"\"\"" + PathOf(KELPMERE_CLI).wstring() + L"\" wash . \"\" 2>\"" + said.wstring() + L"\"\"";
        _wsystem(command.c_str());
        const std::string text = ReadFile(said);
        fs::remove(said);
        return text.find("您还没有选择需要积存的种子路径") != std::string::npos;
    }();
    return utf8;
}
#endif

// What kelpmere-cli prints for a UTF-8 text: the text in the code page it runs in.
std::string Printed(const std::string& utf8)
{
#ifdef _WIN32
    if (CliRunsInUtf8())
        return utf8;
    const std::string saved = AnsiCodePageName();
    UseLocaleAnsiCodePage();
    std::string local = WideToAnsi(Utf8ToWide(utf8.c_str()).c_str());
    SetAnsiCodePage(saved.c_str());
    return local;
#else
    return utf8; // the "C" locale's code page is UTF-8
#endif
}

// Whether file names with Chinese characters can pass through the program's code page.
bool ChineseNamesFit()
{
#ifdef _WIN32
    const unsigned codePage = GetACP();
    return codePage == 936 || codePage == 54936 || codePage == CP_UTF8;
#else
    return true;
#endif
}

TEST_F(CliTest, AWashPrintsEachTorrentsStateInScanOrder)
{
    if (!ChineseNamesFit()) {
        GTEST_SKIP() << "this system's ANSI code page has no Chinese characters for the file names";
    }
    Put("b.torrent", WebSeeded());
    Put("c.torrent", "not a torrent");
    Put("d.torrent", BuildTorrent(MultiFile({{{"_____padding_file_0_"}, 10}}))); // loads, nothing to list
    Put("种子/a.torrent", Torrent("a.mkv"));
    Put("notes.txt", "ignored");
    const CliRun run = Cli({"wash", "--jobs", "2", m_source, m_dest});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(Report(run.out),
        (std::vector<std::string>{Printed(m_dest + SystemSeparators("/b.torrent") + "  保存转换的种子成功!"),
            Printed(m_dest + SystemSeparators("/c.torrent")
                + "  种子文件分析失败 请检查种子文件! (no bencoded dictionary)"),
            Printed(m_dest + SystemSeparators("/d.torrent") + "  获取种子信息失败 请检查种子文件!"),
            Printed(m_dest + SystemSeparators("/种子/a.torrent") + "  保存转换的种子成功!"),
            "2/4 converted, 2 failed, 0 unreadable"}));
    EXPECT_TRUE(fs::is_regular_file(PathOf(m_dest + "/种子/a.torrent")));
    EXPECT_FALSE(fs::exists(m_dest + "/c.torrent"));
    // No progress bar when standard error is not a terminal.
    EXPECT_EQ(run.err,
        "kelpmere-cli: " + m_dest + SystemSeparators("/b.torrent")
            + " keeps loaded names: url-list \"Kelp.Seed.mkv\"\n");
}

TEST_F(CliTest, WashJsonGivesEachTorrentsPathsStateAndInfoHashes)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names can't hold bytes that are invalid in their code page";
#endif
    Put("a.torrent", WebSeeded());
    Put("bad\xff name.torrent", Torrent("b.mkv"));
    Put("zz.torrent", "d");
    const CliRun run = Cli({"wash", "--json", m_source, m_dest});
    EXPECT_EQ(run.status, 1);
    const auto values = JsonLines(run.out);
    ASSERT_EQ(values.size(), 3u);
    // Every member in its place; the hashes, taken as given here, are checked after.
    EXPECT_EQ(values[0],
        (Json{{"source", m_source + SystemSeparators("/a.torrent")},
            {"output", m_dest + SystemSeparators("/a.torrent")}, {"state", "保存转换的种子成功!"}, {"converted", true},
            {"oldInfoHash", values[0].at("oldInfoHash")}, {"newInfoHash", values[0].at("newInfoHash")},
            {"namesLeft", Json::array({Json{{"key", "url-list"}, {"name", "Kelp.Seed.mkv"}}})}}));
    EXPECT_EQ(values[0].at("oldInfoHash").get<std::string>().size(), 40u);
    EXPECT_NE(values[0].at("oldInfoHash"), values[0].at("newInfoHash"));
    EXPECT_EQ(Show(m_dest + "/a.torrent").at("infoHash"), values[0].at("newInfoHash"));
    EXPECT_EQ(values[1].at("source"), m_source + SystemSeparators("/bad\xEF\xBF\xBD name.torrent"));
    EXPECT_EQ(values[2],
        (Json{{"source", m_source + SystemSeparators("/zz.torrent")},
            {"output", m_dest + SystemSeparators("/zz.torrent")}, {"state", "种子文件分析失败 请检查种子文件!"},
            {"converted", false}, {"oldInfoHash", nullptr}, {"newInfoHash", nullptr}, {"reason", "not-bencode"},
            {"detail", "the bencoded dictionary is broken"}}));
    EXPECT_NE(run.err.find("2/3 converted, 1 failed"), std::string::npos) << run.err;
}

// Each run seeds its numbers from the system's random source: two washes of one torrent, even in
// the same second, give its folders different numbers, so the copies can't be linked.
TEST_F(CliTest, TwoWashesOfOneTorrentInTheSameSecondShareNoFolderNumbers)
{
    Put("a.torrent", BuildTorrent(MultiFile({{{"S01", "e1.mkv"}, 9}, {{"S01", "e2.mkv"}, 9}, {{"S01", "e3.mkv"}, 9}})));
    // The draws of the three files: the same three twice would take the same seed.
    std::vector<std::string> draws[2];
    for (int run = 0; run < 2; ++run) {
        const std::string dest = m_dest + std::to_string(run);
        ASSERT_EQ(Cli({"wash", m_source, dest}).status, 0);
        const Json shown = Show(dest + "/a.torrent");
        for (const Json& file : shown.at("files")) {
            const std::string path = file.at("path");
            draws[run].push_back(path.substr(0, path.find('_')));
        }
    }
    ASSERT_EQ(draws[0].size(), 3u);
    EXPECT_NE(draws[0], draws[1]);
}

TEST_F(CliTest, ManyJobsGiveEveryTorrentItsOwnNames)
{
    for (int i = 0; i < 24; ++i)
        Put("t" + std::to_string(100 + i) + ".torrent", Torrent("same.mkv"));
    const CliRun run = Cli({"wash", "--json", "--jobs=4", m_source, m_dest});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto values = JsonLines(run.out);
    ASSERT_EQ(values.size(), 24u);
    std::set<std::string> names;
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(values[i].at("output"), m_dest + kPathSeparator + "t" + std::to_string(100 + i) + ".torrent");
        const Json shown = Show(values[i].at("output").get<std::string>());
        names.insert(shown.at("name").get<std::string>());
        // A parser reused for the next torrent reports the hash of what it saved for this one.
        EXPECT_EQ(shown.at("infoHash"), values[i].at("newInfoHash"));
    }
    EXPECT_EQ(names.size(), 24u);
}

TEST_F(CliTest, AUsageErrorExitsTwoSayingWhatIsWrong)
{
    fs::create_directories(m_source);
    const auto usage = [](const std::string& message) { return "kelpmere-cli: " + message + "\n" + UsageText(); };
    const std::string jobsRange = usage("--jobs takes a whole number from 1 to 1024");
    std::vector<std::pair<std::vector<std::string>, std::string>> cases{{{}, usage("no command given")},
        {{"frobnicate", "wash", m_source, m_dest}, usage("unknown command frobnicate")},
        {{"wash", m_source}, usage("wash takes SOURCE and DEST")},
        {{"wash", m_source, m_dest, "extra"}, usage("wash takes SOURCE and DEST")},
        {{"show"}, usage("show takes one or more torrent files")},
        {{"wash", "--bogus", m_source, m_dest}, usage("unknown option --bogus")},
        {{"--help", "--bogus"}, usage("unknown option --bogus")},
        {{"wash", "--jobs", "4x", m_source, m_dest}, jobsRange}, {{"wash", "--jobs=1025", m_source, m_dest}, jobsRange},
        {{"wash", "--jobs", "0", m_source, m_dest}, jobsRange},
        {{"wash", "--jobs", "0x4", m_source, m_dest}, jobsRange},
        {{"wash", "--jobs", "+4", m_source, m_dest}, jobsRange}, {{"--jobs", "--json", "show", "x"}, jobsRange},
        {{"wash", m_source, m_dest, "-j"}, usage("option -j needs a number")},
        {{"show", "--encoding", "KLINGON", "x"}, usage("unknown encoding KLINGON")},
        {{"show", "x", "--encoding"}, usage("option --encoding needs a code page")},
        {{"wash", "--encoding", "GBK", m_source, m_dest}, usage("--encoding is for show")},
        {{"wash", m_source + "/missing", m_dest}, "kelpmere-cli: not a folder: " + m_source + "/missing\n"},
        {{"wash", "", ""}, Printed("您还没有选择需要积存的种子路径 !\n")},
        {{"wash", m_source, m_source}, Printed("保存路径不能与原路径相同 !\n")},
        {{"wash", m_source, m_source + "/"}, Printed("保存路径不能与原路径相同 !\n")},
        {{"wash", m_source, m_source + "/."}, Printed("保存路径不能与原路径相同 !\n")}};
#ifndef _WIN32
    // A destination that is a link to the source is the source.
    fs::create_directory_symlink(m_source, m_temp.path / "link");
    cases.push_back({{"wash", m_source, TextOf(m_temp.path / "link")}, Printed("保存路径不能与原路径相同 !\n")});
#endif
    for (const auto& [args, err] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(fs::exists(m_dest));
}

TEST_F(CliTest, HelpOrVersionExitsZeroAndOptionsMayStandAnywhereBeforeADoubleDash)
{
    const CliRun help = Cli({"--help"});
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, UsageText());
    EXPECT_EQ(Cli({"show", "--help", "x"}).out, UsageText());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("kelpmere-cli ") + KELPMERE_VERSION + "\n");

    Put("a.torrent", Torrent("a.mkv"));
    const std::string torrent = m_source + "/a.torrent";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"--json", "show", torrent},
             {"show", torrent, "--jobs", "010", "--json"}, {"--json", "--", "show", torrent}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 0) << ::testing::PrintToString(args) << run.err;
        EXPECT_EQ(ParsedJson(run.out).at("file"), torrent) << ::testing::PrintToString(args);
    }
    // After "--" an option is an operand: a file that doesn't exist.
    const CliRun run = Cli({"show", "--", torrent, "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("--json: "), std::string::npos) << run.err;
}

// Scripts read the JSON lines: their keys keep their order, and strings are escaped as ever (DEL
// and every byte outside valid UTF-8 escaped, other UTF-8 as it is).
TEST_F(CliTest, ShowDescribesATorrentAsTextOrAsOneJsonLineWithItsKeysInOrder)
{
    TorrentDescription description = MultiFile(
        {{{"Season 1", "ep01.avi"}, 1610612736}, {{"ep02.avi"}, 1024}, {{"a.nfo"}, 1025}, {{"LICENSE"}, 24}});
    description.announceList = {{"http://tracker.example/announce"}, {"http://two.example/announce"}};
    description.createdBy = "maker";
    description.pieceLength = 1 << 22;
    description.comment = "x\x7f\xff\xe4\xb8 \xed\xa0\x80\"\\\t\x01 \xe7\xa7\x8d \xef\xbf\xbd";
    Put("x.torrent", BuildTorrent(description));
    const CliRun text = Cli({"show", m_source + "/x.torrent"});
    EXPECT_EQ(text.status, 0) << text.err;
    for (const char* line : {"name:          Show\n", "1.50G  Season 1/ep01.avi\n", "1024.00B  ep02.avi\n",
             "1.00K  a.nfo\n", "24.00B  LICENSE\n", "http://two.example/announce\n", "created by:    maker\n",
             "total size:    1610614809 (1.50G)\n"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;
    }
    const CliRun show = Cli({"show", "--json", m_source + "/x.torrent", m_source + "/missing.torrent"});
    EXPECT_EQ(show.status, 1);
    EXPECT_NE(show.out.find(R"("comment":"x\u007f\ufffd\ufffd\ufffd \ufffd\ufffd\ufffd\"\\\t\u0001 种 �",)"),
        std::string::npos)
        << show.out;
    const auto shown = JsonLines(show.out);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(Keys(shown[0]),
        (std::vector<std::string>{"file", "name", "nameSources", "infoHash", "pieceLength", "pieceCount", "totalSize",
            "trackers", "files", "comment", "createdBy", "publisher", "publisherUrl"}));
    EXPECT_EQ(shown[0].at("pieceLength"), 4194304);
    EXPECT_EQ(shown[0].at("totalSize"), 1610614809);
    EXPECT_EQ(shown[0].at("trackers").size(), 3u);
    ASSERT_EQ(shown[0].at("files").size(), 4u);
    EXPECT_EQ(
        shown[0].at("files").at(0), (Json{{"path", "Season 1/ep01.avi"}, {"length", 1610612736}, {"size", "1.50G"}}));
    EXPECT_EQ(shown[1],
        (Json{{"file", m_source + "/missing.torrent"}, {"error", "种子文件分析失败 请检查种子文件!"},
            {"reason", "unreadable"}, {"detail", "not a readable file of 1 byte to 2 GiB"}}));

    // Trackerless, with padding files; a torrent no client loads says why.
    FileDescription pad({".pad", "7"}, 7);
    pad.extra["attr"] = BencodeString("p");
    TorrentDescription trackerless = MultiFile({{{"a.mkv"}, 9}, pad, {{"b"}, 1}});
    trackerless.announce.reset();
    Put("y.torrent", BuildTorrent(trackerless));
    TorrentDescription broken = SingleFile("kelp.iso", 200000);
    broken.pieceLength = 32768;
    broken.piecesSize = 120;
    Put("z.torrent", BuildTorrent(broken));
    const CliRun more = Cli({"show", m_source + "/y.torrent", m_source + "/z.torrent"});
    EXPECT_EQ(more.status, 1);
    for (const char* line :
        {"trackers:      none\n", "  files:\n         9.00B  a.mkv\n         1.00B  b\n", "padding files: 1\n"})
        EXPECT_NE(more.out.find(line), std::string::npos) << line << more.out;
    EXPECT_EQ(more.err,
        m_source + "/z.torrent: " + Printed("种子文件分析失败 请检查种子文件!") + " (6 piece hashes for 7 pieces)\n");
    EXPECT_EQ(ParsedJson(Cli({"show", "--json", m_source + "/y.torrent"}).out).at("paddingFiles"), 1);
}

// A torrent whose "encoding" names the wrong code page reads right in the one the user names,
// which comes after the UTF-8 twins; JSON says where each torrent's names came from.
TEST_F(CliTest, ShowPrintsLegacyNamesSayingWhereTheyCameFrom)
{
    Put("wrong.torrent", BuildTorrent(LegacyTorrent(GbkNames(), "Shift_JIS", false)));
    Put("twins.torrent", BuildTorrent(LegacyTorrent(Big5Names(), "BIG5", true)));
    const CliRun text = Cli({"show", "--encoding", "gbk", m_source + "/wrong.torrent"});
    EXPECT_EQ(text.status, 0) << text.err;
    for (const char* page : {"windows-1250", "windows-1258", "CP1258"})
        EXPECT_EQ(Cli({"show", "--encoding", page, m_source + "/wrong.torrent"}).status, 0) << page;
    for (const char* line : {"name:          海底森林纪录片\n", "  第一季/第02集.mkv\n", "  字幕/简体中文.srt\n"})
        EXPECT_NE(text.out.find(Printed(line)), std::string::npos) << line << text.out;

    // "目录" in GBK is C4 BF C2 BC, valid UTF-8 too ("Ŀ¼"): the code page the user names wins.
    Put("both.torrent", BuildTorrent(MultiFile({{{"\xC4\xBF\xC2\xBC", "a.txt"}, 5}})));
    const auto shown = JsonLines(Cli({"show", "--json", "--encoding", "GBK", m_source + "/wrong.torrent",
                                         m_source + "/twins.torrent", m_source + "/both.torrent"})
                                     .out);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].at("files").at(0).at("path"), "目录/a.txt");
    EXPECT_EQ(
        ParsedJson(Cli({"show", "--json", m_source + "/both.torrent"}).out).at("files").at(0).at("path"), "Ŀ¼/a.txt");
    EXPECT_EQ(shown[0].at("nameSources"), Json::array({"declared GBK"}));
    EXPECT_EQ(shown[0].at("files").at(2).at("path"), "字幕/简体中文.srt");
    EXPECT_EQ(shown[1].at("name"), "海底森林紀錄片");
    EXPECT_EQ(shown[1].at("nameSources"), Json::array({"utf-8 twin"}));
}

TEST_F(CliTest, ATorrentThatRunsOutOfMemoryFailsAlone)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit this test sets";
#elif defined(_WIN32)
    GTEST_SKIP() << "Windows has no address-space limit (ulimit -v) to make one torrent run out of memory";
#else
    // Four million empty lists: well inside the value budget, far beyond the address space the
    // run is given, so decoding this one torrent throws std::bad_alloc.
    std::string lists = "l";
    for (int i = 0; i < 4'000'000; ++i)
        lists += "le";
    Put("a.torrent", lists + "e");
    Put("b.torrent", Torrent("b.mkv"));
    const CliRun run = Cli({"wash", "--jobs", "1", m_source, m_dest}, "ulimit -v 262144; ");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_EQ(Report(run.out),
        (std::vector<std::string>{m_dest + SystemSeparators("/a.torrent") + "  种子文件分析失败 请检查种子文件!",
            m_dest + SystemSeparators("/b.torrent") + "  保存转换的种子成功!",
            "1/2 converted, 1 failed, 0 unreadable"}));
#endif
}

TEST_F(CliTest, ControlCharactersFromTorrentsAndFileNamesArePrintedEscaped)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names can't hold control characters";
#endif
    TorrentDescription description = MultiFile({{{"dir\x1b[2J", "clip\x1b]0;owned\x07.mkv"}, 5}});
    description.name = "name\xc2\x9b"
                       "31m"; // U+009B, the one-character CSI
    description.comment = "line\rover\x7f\xff";
    description.announce = "http://t.example/\xc2\x9b"
                           "1m";
    Put("evil\x1b[31m.torrent", BuildTorrent(description));
    const std::string shown = Cli({"show", m_source + "/evil\x1b[31m.torrent"}).out;
    const std::string washed = Cli({"wash", m_source, m_dest}).out;
    for (const std::string& text : {shown, washed}) {
        EXPECT_EQ(text.find_first_of(std::string("\x1b\x07\x7f\x9b\r", 5)), std::string::npos) << text;
        EXPECT_EQ(text.find("\xc2\x9b"), std::string::npos) << text;
    }
    for (const char* escaped : {"evil\\x1B[31m.torrent\n", "dir\\x1B[2J/clip\\x1B]0;owned\\x07.mkv\n", "name\\x9B31m\n",
             "line\\x0Dover\\x7F\\xFF\n", "http://t.example/\\x9B1m\n"}) {
        EXPECT_NE(shown.find(escaped), std::string::npos) << escaped << "\n" << shown;
    }
    EXPECT_NE(washed.find(m_dest + kPathSeparator + "evil\\x1B[31m.torrent  "), std::string::npos) << washed;
    // JSON escapes in its own way and keeps the text itself.
    EXPECT_EQ(
        Show(m_source + "/evil\x1b[31m.torrent").at("files").at(0).at("path"), "dir\x1b[2J/clip\x1b]0;owned\x07.mkv");
}

// In a code page of one byte per character, 0x80 to 0x9F are the C1 controls themselves.
TEST(PrintableTextTest, EscapesC1ControlsInACodePageOtherThanUtf8)
{
    const std::string saved = AnsiCodePageName();
    ASSERT_TRUE(SetAnsiCodePage("ISO-8859-1"));
    const std::string printed = PrintableText("\x1b[1m\x9b"
                                              "31m\x85\xe9");
    SetAnsiCodePage(saved.c_str());
    EXPECT_EQ(printed, "\\x1B[1m\\x9B31m\\x85\xe9");
}

TEST_F(CliTest, PathsPastPathMaxAreReportedAsUnreadable)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs POSIX calls for paths past PATH_MAX";
#else
    Put("a.torrent", Torrent("a.mkv"));
    // Levels of folders until one more would pass PATH_MAX; in the last one, a folder and a
    // torrent whose paths pass it.
    const std::string level(250, 'd');
    const std::string longName = std::string(242, 'f') + ".torrent";
    std::string deepest = m_source;
    std::vector<int> folders{open(m_source.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    while (deepest.size() + 1 + level.size() < PATH_MAX && folders.back() >= 0) {
        folders.push_back(MakeFolderAt(folders.back(), level));
        deepest += "/" + level;
    }
    const int tooDeep = MakeFolderAt(folders.back(), level);
    EXPECT_TRUE(WriteFileAt(tooDeep, "c.torrent", Torrent("c.mkv")));
    EXPECT_TRUE(WriteFileAt(folders.back(), longName, Torrent("f.mkv")));
    close(tooDeep);
    const CliRun text = Cli({"wash", m_source, m_dest});
    const CliRun json = Cli({"wash", "--json", m_source, m_dest + "-json"});
    // Shorter paths again, for the temporary folder's removal.
    renameat(folders[folders.size() / 2], level.c_str(), folders[0], "shorter");
    for (const int folder : folders)
        close(folder);

    const std::string tooLong = std::strerror(ENAMETOOLONG);
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(Lines(text.err),
        (std::vector<std::string>{"kelpmere-cli: cannot read " + deepest + "/" + level + ": " + tooLong,
            "kelpmere-cli: cannot read " + deepest + "/" + longName + ": " + tooLong}));
    EXPECT_EQ(Report(text.out),
        (std::vector<std::string>{m_dest + SystemSeparators("/a.torrent") + "  保存转换的种子成功!",
            "1/1 converted, 0 failed, 2 unreadable"}));
    EXPECT_EQ(json.status, 1);
    const auto values = JsonLines(json.out);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[1],
        (Json{{"source", deepest + "/" + longName},
            {"output", m_dest + "-json" + deepest.substr(m_source.size()) + "/" + longName}, {"state", "unreadable"},
            {"converted", false}, {"oldInfoHash", nullptr}, {"newInfoHash", nullptr}, {"error", tooLong}}));
    EXPECT_NE(json.err.find("1/1 converted, 0 failed, 2 unreadable"), std::string::npos) << json.err;
#endif
}

TEST_F(CliTest, AFolderWithoutReadPermissionIsReportedAsUnreadable)
{
#ifdef _WIN32
    GTEST_SKIP() << "an unreadable folder takes an access-control list, which the test has no second user for";
#else
    Put("a.torrent", Torrent("a.mkv"));
    Put("locked/b.torrent", Torrent("b.mkv"));
    fs::permissions(m_source + "/locked", fs::perms::none);
    fs::permissions(m_temp.path, fs::perms::all);
    const std::string program = ProgramForUnprivilegedUser(m_temp.path / "bin");
    if (program.empty()) {
        GTEST_SKIP() << "this process can't run the program as a user whom permission bits stop";
    }
    const CliRun run = Cli({"wash", m_source, m_dest}, AsUnprivilegedUser(), program);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kelpmere-cli: cannot read " + m_source + "/locked: " + std::strerror(EACCES) + "\n");
    const std::vector<std::string> report = Report(run.out);
    ASSERT_FALSE(report.empty()) << run.err;
    EXPECT_EQ(report.back(), "1/1 converted, 0 failed, 1 unreadable");
#endif
}

TEST_F(CliTest, SigintOrSigtermStopsTheWashBetweenTorrents)
{
#ifdef _WIN32
    GTEST_SKIP() << "a console control event can't be sent to one program that shares the test's console";
#else
    // A megabyte of piece hashes in each of 2000 torrents: most of the run is spent saving, so
    // the signal comes while saves are under way.
    const int count = 2000;
    Put("t0.torrent", BuildTorrent(SingleFile("a.mkv", int64_t{50000} * 262144)));
    for (int i = 1; i < count; ++i)
        fs::create_hard_link(m_source + "/t0.torrent", m_source + "/t" + std::to_string(i) + ".torrent");
    const fs::path out = m_temp.path / "stdout", err = m_temp.path / "stderr";
    // The first signal decides the exit status; a second one 10 ms later changes nothing.
    for (const auto& [signal, second] : {std::pair{SIGINT, 0}, {SIGTERM, 0}, {SIGINT, SIGTERM}}) {
        SCOPED_TRACE(std::string(strsignal(signal)) + (second != 0 ? " then " + std::string(strsignal(second)) : ""));
        const std::string dest = m_dest + std::to_string(signal) + "-" + std::to_string(second);
        const auto outputs = [&dest](const std::string& ending) {
            std::vector<fs::path> found;
            std::error_code error;
            for (fs::directory_iterator it(dest, error), end; !error && it != end; it.increment(error)) {
                if (it->path().extension() == ending)
                    found.push_back(it->path());
            }
            return found;
        };
        const pid_t child = StartCli({"wash", "--jobs", "4", m_source, dest}, out, err);
        ASSERT_GT(child, 0);
        int status = -1;
        const auto exited = [&] { return waitpid(child, &status, WNOHANG) == child; };
        ASSERT_TRUE(PollUntil([&] { return !outputs(".torrent").empty() || exited(); }));
        ASSERT_EQ(status, -1) << "the wash ended before the signal";
        kill(child, signal);
        if (second != 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            kill(child, second);
        }
        if (!PollUntil(exited)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << "the wash didn't stop";
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal) << status;
        EXPECT_EQ(outputs(".tmp"), std::vector<fs::path>{});
        const std::vector<fs::path> washed = outputs(".torrent");
        for (const fs::path& torrent : washed)
            EXPECT_EQ(ReloadedTorrent(torrent).pieces.size(), 50000u * 20) << torrent;
        // One line for each torrent washed, and the summary.
        EXPECT_EQ(Lines(ReadFile(out)).size(), washed.size() + 1);
        EXPECT_LT(washed.size(), static_cast<std::size_t>(count));
        EXPECT_NE(
            ReadFile(err).find(std::string("kelpmere-cli: interrupted by SIG") + (signal == SIGINT ? "INT" : "TERM")),
            std::string::npos);
    }
#endif
}

} // namespace
