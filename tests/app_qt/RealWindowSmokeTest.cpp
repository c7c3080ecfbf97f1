// The real program started as root without the web engine's sandbox switch: it says so in one
// line and goes on. (The real-window runs in an X server are the batch and single page tests.)

#include "RealWindowSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using namespace realwindow;

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
