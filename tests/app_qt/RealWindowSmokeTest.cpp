// One run of the real program in a real X server (Xvfb): the window comes up, a click on its
// close button with xdotool ends the program with exit code 0. Skipped when Xvfb or xdotool is
// not installed.

#include "toolkit/CControlUI.h"
#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/headless/CHeadlessBackend.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

fs::path BinaryDir() { return fs::path(KELPMERE_TEST_BINARY_DIR); }

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Output of a shell command (stdout only), or empty.
std::string Capture(const std::string& command) {
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) output += buffer.data();
    ::pclose(pipe);
  }
  return output;
}

// A child process started with extra environment variables; killed if still running at the end.
class Child {
public:
  // env: variables to set; a variable given an empty value is removed instead. errors: the
  // file that receives the child's stderr (default: discarded, like its stdout).
  Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
        const fs::path& workingDir = {}, const fs::path& errors = {}) {
    m_pid = ::fork();
    if (m_pid != 0) return;
    for (const auto& [name, value] : env) {
      if (value.empty()) {
        ::unsetenv(name.c_str());
      } else {
        ::setenv(name.c_str(), value.c_str(), 1);
      }
    }
    if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0) ::_exit(126);
    const int devNull = ::open("/dev/null", O_WRONLY);
    const int errorFile = errors.empty() ? devNull : ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (devNull >= 0) ::dup2(devNull, STDOUT_FILENO);
    if (errorFile >= 0) ::dup2(errorFile, STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ~Child() {
    if (m_pid > 0 && !m_reaped) {
      ::kill(m_pid, SIGTERM);
      ::waitpid(m_pid, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // The exit status once the process has ended within timeout; -1 when it did not end in time
  // or did not exit normally.
  int WaitForExit(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(50ms);
    }
    return -1;
  }
  bool Running() {
    int status = 0;
    return !m_reaped && ::waitpid(m_pid, &status, WNOHANG) == 0;
  }

private:
  pid_t m_pid = -1;
  bool m_reaped = false;
};

// Where "closebtn" sits in the main window, from the main skin laid out at 800 x 600.
UIRect CloseButtonRect() {
  CHeadlessBackend backend;
  CPaintManagerUI::SetBackend(&backend);
  CPaintManagerUI::SetResourcePath(CDuiString((BinaryDir() / "bin" / "Skin").string()));
  CPaintManagerUI::SetResourceZip("kelpmeres.zip");
  UIRect rect;
  {
    CPaintManagerUI manager;
    CDialogBuilder builder;
    CControlUI* root = builder.Create("MainFrame.xml", nullptr, nullptr, &manager);
    if (root && manager.AttachDialog(root)) {
      manager.SetClientSize(UISize{800, 600});
      manager.UpdateLayout();
      if (CControlUI* close = manager.FindControl("closebtn")) rect = close->GetPos();
    }
  }
  CPaintManagerUI::SetBackend(nullptr);
  return rect;
}

int Field(const std::string& shell, const std::string& name) {
  std::istringstream lines(shell);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(name + "=", 0) == 0) return std::atoi(line.c_str() + name.size() + 1);
  }
  return -1;
}

TEST(RealWindowSmokeTest, ClickingCloseInARealXServerEndsTheProgramWithZero) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) {
    GTEST_SKIP() << "Xvfb or xdotool is not installed: the real-window smoke test is skipped";
  }
  const fs::path program = BinaryDir() / "bin" / "kelpmere";
  ASSERT_TRUE(fs::exists(program)) << program;
  const UIRect close = CloseButtonRect();
  ASSERT_FALSE(close.IsEmpty()) << "no closebtn in the main skin";

  // An X server of our own on a free display: Xvfb writes the number it chose to the pipe.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  Child server({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x900x24", "-nolisten", "tcp"}, {});
  ::close(fds[1]);
  std::string number;
  pollfd ready{fds[0], POLLIN, 0};
  char c = 0;
  while (::poll(&ready, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  ASSERT_FALSE(number.empty()) << "Xvfb did not start";
  const std::string display = ":" + number;

  Child app({program.string()},
            {{"DISPLAY", display},
             {"QT_QPA_PLATFORM", "xcb"},
             {"QTWEBENGINE_DISABLE_SANDBOX", "1"},
             {"QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu"}},
            program.parent_path());

  const std::string xdotool = "DISPLAY=" + display + " timeout 30 xdotool ";
  std::string window;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (window.empty() && app.Running() && std::chrono::steady_clock::now() < deadline) {
    window = Capture(xdotool + "search --onlyvisible --name '^Kelpmere$' 2>/dev/null | head -n 1");
    if (window.empty()) std::this_thread::sleep_for(200ms);
  }
  ASSERT_FALSE(window.empty()) << "the main window did not appear"
                               << (app.Running() ? "" : " (the program ended early)");
  window.erase(window.find_last_not_of(" \n") + 1);
  const std::string geometry = Capture(xdotool + "getwindowgeometry --shell " + window);
  const int x = Field(geometry, "X");
  const int y = Field(geometry, "Y");
  ASSERT_GE(x, 0) << geometry;
  EXPECT_EQ(Field(geometry, "WIDTH"), 800);
  EXPECT_EQ(Field(geometry, "HEIGHT"), 600);
  std::this_thread::sleep_for(1s);   // let the first frame settle before clicking
  ASSERT_TRUE(app.Running());

  const int clickX = x + (close.left + close.right) / 2;
  const int clickY = y + (close.top + close.bottom) / 2;
  // On a loaded machine the first click can come before the window takes input: click again
  // while the program still runs.
  int status = -1;
  for (int attempt = 0; attempt < 6 && status == -1; ++attempt) {
    Capture(xdotool + "mousemove --sync " + std::to_string(clickX) + " " + std::to_string(clickY) + " click 1");
    status = app.WaitForExit(5s);
  }
  EXPECT_EQ(status, 0);
}

TEST(RealWindowSmokeTest, AsRootWithoutTheSandboxSwitchTheProgramSaysSoInOneLineAndKeepsRunning) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root needs the sandbox switch";
  const fs::path program = BinaryDir() / "bin" / "kelpmere";
  ASSERT_TRUE(fs::exists(program)) << program;
  const fs::path errors = fs::temp_directory_path() / ("kelpmere-stderr-" + std::to_string(::getpid()));
  {
    Child app({program.string()},
              {{"QT_QPA_PLATFORM", "offscreen"}, {"QTWEBENGINE_DISABLE_SANDBOX", ""},
               {"QTWEBENGINE_CHROMIUM_FLAGS", ""}},
              program.parent_path(), errors);
    std::this_thread::sleep_for(3s);
    EXPECT_TRUE(app.Running()) << "the program ended instead of going on without its web panes";
  }
  std::ifstream in(errors);
  std::string line;
  int hints = 0;
  while (std::getline(in, line)) hints += line.find("QTWEBENGINE_DISABLE_SANDBOX=1") != std::string::npos;
  fs::remove(errors);
  EXPECT_EQ(hints, 1);
}

}  // namespace
