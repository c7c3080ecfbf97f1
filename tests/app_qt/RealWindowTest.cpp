// The real program in a real X server (Xvfb), used with mouse and keyboard through xdotool; skipped
// when Xvfb or xdotool is not installed.

#include "RealWindowSession.h"

#include "support/ReloadedTorrent.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

using namespace realwindow;

const char* const kNoX = "Xvfb or xdotool is not installed: the real-window tests are skipped";

TEST(SingleRealWindowTest, AUserOpensATorrentGivesItNewNamesAndSavesIt)
{
    if (!RealProgram::Available())
        GTEST_SKIP() << kNoX;
    TempFolder work;
    const fs::path source = work.path / "source.torrent";
    // The most common shape: dotted release folders, a README without an extension, an empty .nfo.
    fs::copy_file(fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples" / "scene-release.torrent", source);
    const fs::path output = work.path / "washed.torrent";
    const ReloadedTorrent before(source);
    ASSERT_TRUE(before.loaded);

    RealProgram program(
        work.path / "run", "singleOption", {"btn_single_file", "btn_single_onekey_modify", "btn_single_save"});
    ASSERT_EQ(program.Problem(), "");
    ASSERT_TRUE(program.AnswerDialog("btn_single_file", "Open", source)) << "the open dialog did not take the file";

    // A one-key click that came before the list was filled leaves the old names in the file: both
    // are done again.
    std::optional<ReloadedTorrent> after;
    for (int attempt = 0; attempt < 3; ++attempt) {
        program.Click("btn_single_onekey_modify");
        fs::remove(output);
        ASSERT_TRUE(program.AnswerDialog("btn_single_save", "保存种子", output))
            << "the save dialog did not take the name";
        ASSERT_TRUE(WaitFor([&] { return fs::exists(output); }, 20s)) << "nothing was saved";
        // The notice fades by itself; the main window takes input again once it is gone.
        ASSERT_TRUE(program.WaitForOnlyMainWindow()) << "the notice box did not go";
        after.emplace(output);
        if (after->loaded && after->name != before.name)
            break;
    }
    // What the saved torrent holds, the single page's and the core's tests check.
    ASSERT_TRUE(after.has_value() && after->loaded);
    EXPECT_NE(after->name, before.name);
    EXPECT_NE(after->fileNames, before.fileNames);
    EXPECT_EQ(program.Close(), 0);
}

TEST(RealWindowSmokeTest, AsRootWithoutTheSandboxSwitchTheProgramSaysSoInOneLineAndKeepsRunning)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root needs the sandbox switch";
    const fs::path program = fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "kelpmere";
    const fs::path errors = fs::temp_directory_path() / ("kelpmere-stderr-" + std::to_string(::getpid()));
    const auto hints = [&] {
        std::ifstream in(errors);
        int count = 0;
        for (std::string line; std::getline(in, line);)
            count += line.find("QTWEBENGINE_DISABLE_SANDBOX=1") != std::string::npos;
        return count;
    };
    Child app({program.string()},
        {{"QT_QPA_PLATFORM", "offscreen"}, {"QTWEBENGINE_DISABLE_SANDBOX", ""}, {"QTWEBENGINE_CHROMIUM_FLAGS", ""}},
        program.parent_path(), errors);
    // The hint comes as the web panes are set up; the program then goes on without them.
    ASSERT_TRUE(WaitFor([&] { return hints() > 0; }, 60s)) << "the program gave no hint";
    EXPECT_FALSE(WaitFor([&] { return !app.Running(); }, 2s))
        << "the program ended instead of going on without its web panes";
    EXPECT_EQ(hints(), 1);
    fs::remove(errors);
}

} // namespace
