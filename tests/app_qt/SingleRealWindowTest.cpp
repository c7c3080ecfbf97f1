// The single-torrent page in the real program in a real X server, used with mouse and keyboard
// as a person would: "单个种子", "打开种子", a path typed into the open dialog, "一键修改",
// "保存种子", an output path typed into the save dialog, the notice left to fade. Skipped when
// Xvfb or xdotool is not installed.

#include "RealWindowSession.h"
#include "support/ReloadedTorrent.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>

namespace fs = std::filesystem;
using namespace realwindow;

namespace {

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

} // namespace
