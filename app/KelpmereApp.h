#pragma once

#include "toolkit/CDuiString.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CMainFrameWnd;
class IToolkitBackend;

// The program's start-up and run, shared by the entry point (on the Qt backend) and the tests
// (on the headless backend).

inline constexpr const char* kSkinArchiveName = "kelpmeres.zip";
inline constexpr const char* kMainFrameTitle = "Kelpmere";
inline constexpr std::uint32_t kMainFrameStyle = 0x10CF0000u; // visible, overlapped window
inline constexpr int kMainFrameWidth = 800;
inline constexpr int kMainFrameHeight = 600;
inline constexpr int kMainFrameIcon = 102;

// The folder "Skin" beside the executable.
CDuiString DefaultSkinFolder();

// Points the toolkit at the program's resources: the instance, the skin folder and the skin
// archive in it.
void SetUpToolkit(void* instance, const CDuiString& skinFolder);

// Creates the main window (800 x 600, titled "Kelpmere", with its icon), centres and shows it.
// Null when the window object or its window can't be made.
CMainFrameWnd* CreateMainFrame();

// The whole program on backend: toolkit set-up, main window, message loop until the window's
// close button or its closing ends it. onShown, when given, runs once the main window is shown,
// before the loop (tests use it to script the run). `arguments` are the command line's, without
// the program: exactly one is a torrent to open in the single page (as "Open with" of a file
// manager gives it); any other count is ignored. Returns the exit code, which is always 0.
int RunKelpmere(IToolkitBackend& backend, void* instance, const CDuiString& skinFolder,
    const std::function<void(CMainFrameWnd&)>& onShown = {}, const std::vector<std::string>& arguments = {});
