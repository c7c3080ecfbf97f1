// The real program in a real X server (Xvfb), used with mouse and keyboard through xdotool as a
// person would. The single page: "单个种子", "打开种子", a path typed into the open dialog,
// "一键修改", "保存种子", an output path typed into the save dialog, the notice left to fade. The
// batch page: both folders typed into the folder dialogs, start, and start again once the run is
// over. These are skipped when Xvfb or xdotool is not installed. And as root without the web
// engine's sandbox switch the program says so in one line and goes on.

#include "RealWindowSession.h"

#include "support/ReloadedTorrent.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using namespace realwindow;

TEST(SingleRealWindowTest, AUserOpensATorrentGivesItNewNamesAndSavesIt)
{
    if (!XSession::Available())
        GTEST_SKIP() << "Xvfb or xdotool is not installed: the real-window test of the single page is skipped";
    TempFolder work;
    const fs::path source = work.path / "source.torrent";
    fs::copy_file(fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples" / "chinese-utf8-keys.torrent", source);
    const fs::path output = work.path / "washed.torrent";
    const ReloadedTorrent before(source);
    ASSERT_TRUE(before.loaded);

    RealProgram program(work.path / "run", "singleOption",
        {"singleOption", "btn_single_file", "btn_single_onekey_modify", "btn_single_save", "closebtn"});
    ASSERT_EQ(program.Problem(), "");
    const XSession& x = program.x;
    const auto dialogUp = [&](const char* title) { return [&x, title] { return !x.MappedWindows(title).empty(); }; };

    program.Click("singleOption");
    // The open dialog: a click that came before the window took input is simply repeated.
    ASSERT_TRUE(program.ClickUntil("btn_single_file", dialogUp("Open"), 10s)) << "the open dialog did not come up";
    x.Type(source.string());
    x.Key("Return");
    ASSERT_TRUE(x.WaitForWindowGone("Open"));

    // One-key modify, then save; a one-key click that came before the list was filled leaves the
    // old names in the file, and both are done again.
    std::optional<ReloadedTorrent> after;
    for (int attempt = 0; attempt < 3; ++attempt) {
        program.Click("btn_single_onekey_modify");
        ASSERT_TRUE(program.ClickUntil("btn_single_save", dialogUp("保存种子"), 10s))
            << "the save dialog did not come up";
        fs::remove(output);
        x.Type(output.string());
        x.Key("Return");
        ASSERT_TRUE(x.WaitForWindowGone("保存种子"));
        ASSERT_TRUE(WaitFor([&] { return fs::exists(output); }, 20s)) << "nothing was saved";
        // The notice fades by itself; the main window takes input again once it is gone.
        ASSERT_TRUE(x.WaitForOnlyWindow(program.window->id, 20s)) << "the notice box did not go";
        after.emplace(output);
        if (after->loaded && after->name != before.name)
            break;
    }
    ASSERT_TRUE(after.has_value() && after->loaded);
    EXPECT_TRUE(std::regex_match(after->name, std::regex("-?[0-9]+-[0-9]{1,3}"))) << after->name;
    ASSERT_EQ(after->fileNames.size(), before.fileNames.size());
    for (std::size_t i = 0; i < after->fileNames.size(); ++i) {
        EXPECT_TRUE(
            std::regex_match(after->fileNames[i], std::regex("[0-9a-f]{32}_" + std::to_string(i + 1) + "\\.[a-z]+")))
            << after->fileNames[i];
    }
    EXPECT_EQ(after->pieces, before.pieces);
    EXPECT_EQ(program.Close(), 0);
}

TEST(BatchRealWindowTest, FoldersTypedIntoTheDialogsAndStartWashEveryTorrentIntoTheDestinationTree)
{
    if (!XSession::Available())
        GTEST_SKIP() << "Xvfb or xdotool is not installed: the real-window batch test is skipped";
    TempFolder temp;
    const fs::path source = temp.path / "source";
    const fs::path dest = temp.path / "washed";
    const std::vector<std::string> converting{"a.torrent", "show/b.torrent", "show/season 1/c.torrent"};
    WriteFile(source / converting[0], BuildTorrent(SingleFile("movie.mkv", 3 << 20)));
    WriteFile(source / converting[1], BuildTorrent(MultiFile({{{"disc", "e1.mkv"}, 1 << 20}, {{"e2.mkv"}, 1 << 20}})));
    WriteFile(source / converting[2], BuildTorrent(SingleFile("c.iso", 5 << 20)));
    WriteFile(source / "broken.torrent", "no torrent in here");
    // The folder dialog chooses existing folders only.
    fs::create_directories(dest);

    RealProgram program(temp.path / "run", "batchOption",
        {"batchOption", "btn_batch_src", "btn_batch_des", "btn_batch_conver", "closebtn"});
    ASSERT_EQ(program.Problem(), "");
    EXPECT_EQ(program.window->width, 800);
    EXPECT_EQ(program.window->height, 600);
    const XSession& x = program.x;
    // Opens the folder dialog titled title with button, types folder into its name field once it
    // has the keyboard focus and accepts it with Return; true once the dialog has gone.
    const auto chooseFolder = [&](const char* button, const std::string& title, const fs::path& folder) {
        std::vector<std::string> dialogs;
        program.ClickUntil(
            button, [&] { return !(dialogs = x.MappedWindows(title)).empty(); }, 5s);
        if (dialogs.empty() || !x.WaitForFocus(dialogs.front()))
            return false;
        x.Key("ctrl+a");
        x.Type(folder.string());
        x.Key("Return");
        // A completion list open under the field takes the first Return.
        if (!x.WaitForWindowGone(title, 5s))
            x.Key("Return");
        return x.WaitForWindowGone(title, 20s);
    };

    program.Click("batchOption");
    ASSERT_TRUE(chooseFolder("btn_batch_src", "请选择需要转换的种子目录", source)) << "choosing the source failed";
    ASSERT_TRUE(chooseFolder("btn_batch_des", "请选择转换后种子存放目录", dest)) << "choosing the destination failed";

    const auto allWritten = [&] {
        return std::all_of(
            converting.begin(), converting.end(), [&](const std::string& name) { return fs::exists(dest / name); });
    };
    ASSERT_TRUE(program.ClickUntil("btn_batch_conver", allWritten, 10s)) << "the run did not write every output";
    EXPECT_FALSE(fs::exists(dest / "broken.torrent"));
    for (const std::string& name : converting) {
        const ReloadedTorrent before(source / name);
        const ReloadedTorrent after(dest / name);
        ASSERT_TRUE(before.loaded && after.loaded) << name;
        EXPECT_EQ(after.pieces, before.pieces) << name;
        EXPECT_NE(after.fileNames.at(0), before.fileNames.at(0)) << name;
    }

    // Once the run is over the button takes a click again: a second run rewrites the outputs
    // under new names.
    const std::string first = ReadFile(dest / converting[0]);
    EXPECT_TRUE(program.ClickUntil(
        "btn_batch_conver", [&] { return allWritten() && ReadFile(dest / converting[0]) != first; }, 5s))
        << "start could not be clicked again after the run";
    EXPECT_EQ(program.Close(), 0);
}

TEST(BatchRealWindowTest, TheSourceTypedAsDestinationIsRefusedAndADestinationInsideItIsNeverWashedAgain)
{
    if (!XSession::Available())
        GTEST_SKIP() << "Xvfb or xdotool is not installed: the real-window batch test is skipped";
    TempFolder temp;
    const fs::path source = temp.path / "nest";
    const fs::path out = source / "out";
    WriteFile(source / "a.torrent", BuildTorrent(SingleFile("movie.mkv", 3 << 20)));
    WriteFile(source / "sub" / "b.torrent", BuildTorrent(SingleFile("c.iso", 1 << 20)));
    const std::string sourceA = ReadFile(source / "a.torrent");
    const std::string sourceB = ReadFile(source / "sub" / "b.torrent");

    RealProgram program(temp.path / "run", "batchOption",
        {"batchOption", "btn_batch_src", "edit_batch_des", "btn_batch_conver", "closebtn"});
    ASSERT_EQ(program.Problem(), "");
    const XSession& x = program.x;
    const auto chooseSource = [&] {
        std::vector<std::string> dialogs;
        program.ClickUntil(
            "btn_batch_src", [&] { return !(dialogs = x.MappedWindows("请选择需要转换的种子目录")).empty(); }, 5s);
        if (dialogs.empty() || !x.WaitForFocus(dialogs.front()))
            return false;
        x.Key("ctrl+a");
        x.Type(source.string());
        x.Key("Return");
        if (!x.WaitForWindowGone("请选择需要转换的种子目录", 5s))
            x.Key("Return");
        return x.WaitForWindowGone("请选择需要转换的种子目录", 20s);
    };
    const auto typeDestination = [&](const std::string& text) {
        program.Click("edit_batch_des");
        x.Key("ctrl+a");
        x.Type(text);
    };
    const auto noticeUp = [&] { return Lines(x.Xdotool("search --onlyvisible --class '^kelpmere$'")).size() > 1; };

    program.Click("batchOption");
    ASSERT_TRUE(chooseSource()) << "choosing the source failed";
    // The source with a trailing slash is the same folder: a notice, and no source is touched.
    typeDestination(source.string() + "/");
    ASSERT_TRUE(program.ClickUntil("btn_batch_conver", noticeUp, 5s)) << "no notice refused the source as destination";
    ASSERT_TRUE(x.WaitForOnlyWindow(program.window->id, 20s)) << "the notice box did not go";
    EXPECT_EQ(ReadFile(source / "a.torrent"), sourceA);
    EXPECT_EQ(ReadFile(source / "sub" / "b.torrent"), sourceB);
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(source), {}), 3) << "a.torrent, sub and sub/b.torrent";

    // A destination inside the source, three runs, the source chosen again before each: the rows
    // of earlier output are left alone, and sub/b.torrent, the last row, ends each run.
    typeDestination(out.string());
    std::string last;
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(run == 0 || chooseSource()) << "choosing the source again failed";
        const auto runOver
            = [&] { return fs::exists(out / "sub" / "b.torrent") && ReadFile(out / "sub" / "b.torrent") != last; };
        ASSERT_TRUE(program.ClickUntil("btn_batch_conver", runOver, 10s)) << "the run did not write its outputs";
        last = ReadFile(out / "sub" / "b.torrent");
        EXPECT_TRUE(fs::exists(out / "a.torrent"));
        EXPECT_FALSE(fs::exists(out / "out"));
    }
    EXPECT_EQ(ReadFile(source / "a.torrent"), sourceA);
    EXPECT_EQ(program.Close(), 0);
}

TEST(RealWindowSmokeTest, AsRootWithoutTheSandboxSwitchTheProgramSaysSoInOneLineAndKeepsRunning)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root needs the sandbox switch";
    const fs::path program = fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "kelpmere";
    ASSERT_TRUE(fs::exists(program)) << program;
    const fs::path errors = fs::temp_directory_path() / ("kelpmere-stderr-" + std::to_string(::getpid()));
    {
        Child app({program.string()},
            {{"QT_QPA_PLATFORM", "offscreen"}, {"QTWEBENGINE_DISABLE_SANDBOX", ""}, {"QTWEBENGINE_CHROMIUM_FLAGS", ""}},
            program.parent_path(), errors);
        std::this_thread::sleep_for(3s);
        EXPECT_TRUE(app.Running()) << "the program ended instead of going on without its web panes";
    }
    std::ifstream in(errors);
    std::string line;
    int hints = 0;
    while (std::getline(in, line))
        hints += line.find("QTWEBENGINE_DISABLE_SANDBOX=1") != std::string::npos;
    fs::remove(errors);
    EXPECT_EQ(hints, 1);
}

} // namespace
