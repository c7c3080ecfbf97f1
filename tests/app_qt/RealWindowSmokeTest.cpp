// One run of the real program in a real X server (Xvfb): the window comes up, a click on its
// close button with xdotool ends the program with exit code 0. Skipped when Xvfb or xdotool is
// not installed.

#include "ControlPlaces.h"
#include "RealWindowSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using namespace realwindow;

fs::path BinaryDir()
{
    return fs::path(KELPMERE_TEST_BINARY_DIR);
}

TEST(RealWindowSmokeTest, ClickingCloseInARealXServerEndsTheProgramWithZero)
{
    if (!XSession::Available()) {
        GTEST_SKIP() << "Xvfb or xdotool is not installed: the real-window smoke test is skipped";
    }
    const fs::path program = BinaryDir() / "bin" / "kelpmere";
    ASSERT_TRUE(fs::exists(program)) << program;
    const std::map<std::string, UIPoint> at = ControlCentres(nullptr, {"closebtn"});
    ASSERT_EQ(at.count("closebtn"), 1u) << "no closebtn in the main skin";

    XSession x;
    ASSERT_TRUE(x.Started()) << "Xvfb did not start";
    Child app({program.string()}, x.ProgramEnvironment(), program.parent_path());

    const std::optional<WindowGeometry> window = x.WaitForStableWindow("Kelpmere", app);
    ASSERT_TRUE(window.has_value()) << "the main window did not appear"
                                    << (app.Running() ? "" : " (the program ended early)");
    EXPECT_EQ(window->width, 800);
    EXPECT_EQ(window->height, 600);
    EXPECT_EQ(x.MappedWindows("Kelpmere").size(), 1u) << "only the main window carries the title";
    ASSERT_TRUE(app.Running());
    const int x0 = window->x;
    const int y0 = window->y;

    const int clickX = x0 + at.at("closebtn").x;
    const int clickY = y0 + at.at("closebtn").y;
    // On a loaded machine the first click can come before the window takes input: click again
    // while the program still runs.
    int status = -1;
    for (int attempt = 0; attempt < 6 && status == -1; ++attempt) {
        x.Click(clickX, clickY);
        status = app.WaitForExit(5s);
    }
    EXPECT_EQ(status, 0);
}

TEST(RealWindowSmokeTest, AsRootWithoutTheSandboxSwitchTheProgramSaysSoInOneLineAndKeepsRunning)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root needs the sandbox switch";
    const fs::path program = BinaryDir() / "bin" / "kelpmere";
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
