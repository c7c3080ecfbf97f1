// A batch run of the real program in a real X server (Xvfb), done the way a person does it with
// xdotool: the batch tab, both folders typed into the folder dialogs, start, and start again once
// the run is over. Skipped when Xvfb or xdotool is not installed.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "toolkit/CControlUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/headless/CHeadlessBackend.h"
#include "torrent/CTorrentParser.h"

#include "RealWindowSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using namespace realwindow;

fs::path BinaryDir() { return fs::path(KELPMERE_TEST_BINARY_DIR); }

// Where the controls the test clicks sit in the main window, from the skins laid out at
// 800 x 600 with the batch tab shown.
std::map<std::string, UIRect> BatchControlRects() {
  std::map<std::string, UIRect> rects;
  CHeadlessBackend backend;
  CPaintManagerUI::SetBackend(&backend);
  SetUpToolkit(nullptr, CDuiString((BinaryDir() / "bin" / "Skin").string()));
  if (CMainFrameWnd* frame = CreateMainFrame()) {
    CPaintManagerUI& manager = *frame->GetPaintManager();
    if (CHeadlessBackend::Click(manager, "batchOption")) {
      manager.UpdateLayout();
      for (const char* name : {"batchOption", "btn_batch_src", "btn_batch_des", "btn_batch_conver", "closebtn"}) {
        if (CControlUI* control = manager.FindControl(name)) rects[name] = control->GetPos();
      }
    }
    frame->Close(0);
    backend.FlushClosedWindows();
  }
  CPaintManagerUI::SetBackend(nullptr);
  return rects;
}

// Polls until done() holds or timeout passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(100ms);
  }
  return done();
}

class BatchRealWindowTest : public ::testing::Test {
protected:
  void ClickControl(const char* name) {
    const UIRect& r = rects.at(name);
    // A synchronous move to where the pointer already is waits for a motion that never comes:
    // the pointer goes to the window's bottom-left corner (no control there) first.
    x.Xdotool("mousemove " + std::to_string(window.x + 2) + " " + std::to_string(window.y + window.height - 2));
    x.Click(window.x + (r.left + r.right) / 2, window.y + (r.top + r.bottom) / 2);
  }

  // Clicks button until the folder dialog titled title is up, types folder into its name field
  // and accepts it with Return; true once the dialog has gone.
  bool ChooseFolder(const char* button, const std::string& title, const fs::path& folder) {
    std::optional<std::string> dialog;
    // The first click may come before the tab has switched; a repeated click only reaches the
    // main window, which ignores input while the dialog is up.
    for (int attempt = 0; attempt < 6 && !dialog; ++attempt) {
      ClickControl(button);
      dialog = x.WaitForWindow(title, 5s);
    }
    if (!dialog) return false;
    // The name field holds the keyboard focus once the dialog is active: wait for that.
    const auto dialogHasFocus = [&] {
      std::string focus = x.Xdotool("getwindowfocus");
      focus.erase(focus.find_last_not_of("\n") + 1);
      return focus == *dialog;
    };
    if (!WaitUntil(dialogHasFocus, 10s)) {
      ADD_FAILURE() << "the folder dialog never took the keyboard focus";
      return false;
    }
    x.Key("ctrl+a");
    x.Type(folder.string());
    x.Key("Return");
    // A completion list open under the field takes the first Return.
    if (!x.WaitForWindowGone(title, 5s)) x.Key("Return");
    return x.WaitForWindowGone(title, 20s);
  }

  static std::string Read(const fs::path& path) {
    return fs::exists(path) ? ReadFile(path) : std::string();
  }

  XSession x;
  WindowGeometry window;
  std::map<std::string, UIRect> rects;
};

TEST_F(BatchRealWindowTest, FoldersTypedIntoTheDialogsAndStartWashEveryTorrentIntoTheDestinationTree) {
  if (!XSession::Available()) {
    GTEST_SKIP() << "Xvfb or xdotool is not installed: the real-window batch test is skipped";
  }
  const fs::path program = BinaryDir() / "bin" / "kelpmere";
  ASSERT_TRUE(fs::exists(program)) << program;
  rects = BatchControlRects();
  ASSERT_EQ(rects.size(), 5u) << "the batch skin lacks a control the test clicks";

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
  ASSERT_TRUE(x.Started()) << "Xvfb did not start";
  // The program runs in a working folder of its own with Ad/images, as the launcher starts it.
  fs::create_directories(temp.path / "run" / "Ad");
  fs::copy(BinaryDir() / "bin" / "Ad" / "images", temp.path / "run" / "Ad" / "images", fs::copy_options::recursive);
  Child app({program.string()}, x.ProgramEnvironment(), temp.path / "run");
  const std::optional<WindowGeometry> found = x.WaitForStableWindow("Kelpmere", app);
  ASSERT_TRUE(found.has_value()) << "the main window did not appear" << (app.Running() ? "" : " (the program ended)");
  window = *found;

  ClickControl("batchOption");
  ASSERT_TRUE(ChooseFolder("btn_batch_src", "请选择需要转换的种子目录", source)) << "choosing the source failed";
  ASSERT_TRUE(ChooseFolder("btn_batch_des", "请选择转换后种子存放目录", dest)) << "choosing the destination failed";

  // Start; the counter reaches N/N in the step that writes the last output.
  const auto allWritten = [&] {
    for (const std::string& name : converting)
      if (!fs::exists(dest / name)) return false;
    return true;
  };
  for (int attempt = 0; attempt < 6 && !allWritten(); ++attempt) {
    ClickControl("btn_batch_conver");
    WaitUntil(allWritten, 10s);
  }
  ASSERT_TRUE(allWritten()) << "the run did not write every output";
  EXPECT_FALSE(fs::exists(dest / "broken.torrent"));
  for (const std::string& name : converting) {
    SCOPED_TRACE(name);
    CTorrentParser before;
    CTorrentParser after;
    ASSERT_TRUE(before.LoadFromFile((source / name).c_str()) && before.Analyze());
    ASSERT_TRUE(after.LoadFromFile((dest / name).c_str()) && after.Analyze());
    EXPECT_EQ(after.pieceCount, before.pieceCount);
    EXPECT_NE(after.files.at(0).name.text, before.files.at(0).name.text);
  }

  // Once the run is over the button takes a click again: a second run rewrites the outputs
  // under new names.
  const std::string first = Read(dest / converting[0]);
  const auto rewritten = [&] { return Read(dest / converting[0]) != first && allWritten(); };
  for (int attempt = 0; attempt < 6 && !rewritten(); ++attempt) {
    ClickControl("btn_batch_conver");
    WaitUntil(rewritten, 5s);
  }
  EXPECT_TRUE(rewritten()) << "start could not be clicked again after the run";

  if (OnPath("import")) {
    const fs::path shots = BinaryDir() / "screenshots";
    fs::create_directories(shots);
    std::this_thread::sleep_for(1s);
    Capture("DISPLAY=" + x.Display() + " import -window root -crop 800x600+" + std::to_string(window.x) + "+" +
            std::to_string(window.y) + " " + (shots / "batch-real-window.png").string() + " 2>/dev/null");
  }

  int status = -1;
  for (int attempt = 0; attempt < 6 && status == -1; ++attempt) {
    ClickControl("closebtn");
    status = app.WaitForExit(5s);
  }
  EXPECT_EQ(status, 0);
}

}  // namespace
