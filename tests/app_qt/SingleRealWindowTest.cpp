// The single-torrent page in the real program in a real X server, used with mouse and keyboard
// as a person would: "单个种子", "打开种子", a path typed into the open dialog, "一键修改",
// "保存种子", an output path typed into the save dialog, the notice left to fade. Skipped when
// Xvfb or xdotool is not installed.

#include "ControlPlaces.h"
#include "RealWindowSession.h"
#include "support/ReloadedTorrent.h"

#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>

namespace fs = std::filesystem;
using namespace realwindow;

namespace {

fs::path BinaryDir()
{
    return fs::path(KELPMERE_TEST_BINARY_DIR);
}

TEST(SingleRealWindowTest, AUserOpensATorrentGivesItNewNamesAndSavesIt)
{
    if (!XSession::Available())
        GTEST_SKIP() << "Xvfb or xdotool is not installed: the real-window test of the single page is skipped";
    const fs::path program = BinaryDir() / "bin" / "kelpmere";
    ASSERT_TRUE(fs::exists(program)) << program;
    const std::map<std::string, UIPoint> at = ControlCentres(
        "singleOption", {"singleOption", "btn_single_file", "btn_single_onekey_modify", "btn_single_save", "closebtn"});
    ASSERT_EQ(at.size(), 5u) << "the skins lack a control the test clicks";

    const fs::path work = fs::temp_directory_path() / ("kelpmere-single-real-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    const fs::path source = work / "source.torrent";
    fs::copy_file(fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples" / "chinese-utf8-keys.torrent", source);
    const fs::path output = work / "washed.torrent";
    const ReloadedTorrent before(source);
    ASSERT_TRUE(before.loaded);

    XSession x;
    ASSERT_TRUE(x.Started()) << "Xvfb did not start";
    // The program runs in a working folder of its own with Ad/images, as the launcher starts it.
    fs::create_directories(work / "run" / "Ad");
    fs::copy(BinaryDir() / "bin" / "Ad" / "images", work / "run" / "Ad" / "images", fs::copy_options::recursive);
    Child app({program.string()}, x.ProgramEnvironment(), work / "run");
    const std::optional<WindowGeometry> window = x.WaitForStableWindow("Kelpmere", app);
    ASSERT_TRUE(window.has_value()) << "the main window did not appear";
    const auto click = [&](const char* name) { x.Click(window->x + at.at(name).x, window->y + at.at(name).y); };

    click("singleOption");
    // The open dialog: a click that came before the window took input is simply repeated.
    std::optional<std::string> dialog;
    for (int attempt = 0; attempt < 5 && !dialog; ++attempt) {
        click("btn_single_file");
        dialog = x.WaitForWindow("Open", 10s);
    }
    ASSERT_TRUE(dialog.has_value()) << "the open dialog did not come up";
    x.Type(source.string());
    x.Key("Return");
    ASSERT_TRUE(x.WaitForWindowGone("Open"));

    // One-key modify, then save; a one-key click that came before the list was filled leaves the
    // old names in the file, and both are done again.
    std::optional<ReloadedTorrent> after;
    for (int attempt = 0; attempt < 3; ++attempt) {
        click("btn_single_onekey_modify");
        std::optional<std::string> save;
        for (int tries = 0; tries < 5 && !save; ++tries) {
            click("btn_single_save");
            save = x.WaitForWindow("保存种子", 10s);
        }
        ASSERT_TRUE(save.has_value()) << "the save dialog did not come up";
        fs::remove(output);
        x.Type(output.string());
        x.Key("Return");
        ASSERT_TRUE(x.WaitForWindowGone("保存种子"));
        const auto deadline = Clock::now() + 20s;
        while (!fs::exists(output) && Clock::now() < deadline)
            std::this_thread::sleep_for(100ms);
        ASSERT_TRUE(fs::exists(output)) << "nothing was saved";
        // The notice fades by itself; the main window takes input again once it is gone.
        ASSERT_TRUE(x.WaitForOnlyWindow(window->id, 20s)) << "the notice box did not go";
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

    int status = -1;
    for (int attempt = 0; attempt < 6 && status == -1; ++attempt) {
        click("closebtn");
        status = app.WaitForExit(5s);
    }
    EXPECT_EQ(status, 0);
    fs::remove_all(work);
}

} // namespace
