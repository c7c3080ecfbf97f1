// A batch run of the real program in a real X server (Xvfb), done the way a person does it with
// xdotool: the batch tab, both folders typed into the folder dialogs, start, and start again once
// the run is over. Skipped when Xvfb or xdotool is not installed.

#include "RealWindowSession.h"

#include "support/ReloadedTorrent.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

using namespace realwindow;

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

} // namespace
