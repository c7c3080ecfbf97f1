#pragma once

#include "toolkit/CDuiString.h"
#include "toolkit/UIDefs.h"

#include <cstdint>
#include <optional>
#include <string>

class CControlUI;
class CPaintManagerUI;
class CWebBrowserUI;
class CWindowWnd;

// What a file dialog shows. Texts are active-code-page bytes.
struct FileDialogFilter {
    CDuiString description; // e.g. "torrent文件(*.torrent)"
    CDuiString patterns;    // ';'-separated patterns, e.g. "*.torrent"
};
struct FileDialogOptions {
    CDuiString title;            // empty: the backend's default title
    FileDialogFilter filter;     // empty patterns: all files
    CDuiString defaultExtension; // save dialog: appended when the user gives none (without '.')
    bool mustExist = false;      // open dialog: only existing files
    CDuiString initialFolder;    // where the dialog opens; empty: the user's home folder
};

// The platform side of the toolkit. One backend is chosen once per process with
// CPaintManagerUI::SetBackend: the Qt backend for the program on Linux (toolkit/qt/), the Win32
// backend for the program on Windows (toolkit/win32/), the headless backend for tests
// (toolkit/headless/).
//
// The core owns the control tree, the layout, the timer table and the notifications; a backend
// creates native windows, runs event loops, tells the time, wakes the core for due timers,
// shows dialogs and mirrors the tree. Every call happens on the UI thread.
class IToolkitBackend {
public:
    virtual ~IToolkitBackend() = default;

    // ---- windows ----
    // Creates the native window of window (not shown yet). rect is the requested outer rectangle.
    // The backend keeps the native object until it is destroyed.
    virtual UIWindowHandle CreateNativeWindow(CWindowWnd& window, UIWindowHandle parent, const CDuiString& title,
        std::uint32_t style, std::uint32_t exStyle, UIRect rect)
        = 0;
    // Asks for the window to be closed with result. The backend destroys it later, never inside
    // this call (the caller is usually a notification handler of that window): when it is gone it
    // calls CWindowWnd::HandleNativeDestroyed exactly once. A modal loop of the window returns result.
    virtual void CloseNativeWindow(UIWindowHandle window, int result) = 0;
    // The window object is being deleted while its native window still exists: destroy the
    // native window now, without calling HandleNativeDestroyed or OnFinalMessage (a native
    // window left behind would report to a deleted object).
    virtual void ForgetNativeWindow(UIWindowHandle window) = 0;
    virtual void ShowNativeWindow(UIWindowHandle window, bool show) = 0;
    // Minimises the window to the window system's task bar or dock, from where the user
    // restores it.
    virtual void MinimizeNativeWindow(UIWindowHandle window) = 0;
    virtual void MoveNativeWindow(UIWindowHandle window, UIRect rect) = 0;
    virtual UIRect GetNativeWindowRect(UIWindowHandle window) = 0;
    // Centres the window over its parent, or on the screen when it has none.
    virtual void CenterNativeWindow(UIWindowHandle window) = 0;
    virtual void SetNativeWindowTitle(UIWindowHandle window, const CDuiString& title) = 0;
    // iconImage names a picture in the skin archive (CPaintManagerUI::LoadResourceFile).
    virtual void SetNativeWindowIcon(UIWindowHandle window, const CDuiString& iconImage) = 0;
    // Whole-window opacity, 0 (invisible) .. 255 (opaque).
    virtual void SetNativeWindowOpacity(UIWindowHandle window, int alpha) = 0;

    // ---- loops ----
    // Runs until PostQuit; returns its exit code.
    virtual int RunMessageLoop() = 0;
    virtual void PostQuit(int exitCode) = 0;
    // Shows window modally over its parent and runs a nested loop until the window has closed;
    // returns the result given to CloseNativeWindow.
    virtual int RunModalLoop(UIWindowHandle window) = 0;

    // ---- time and timers ----
    // Milliseconds of the toolkit clock (monotonic).
    virtual std::uint64_t NowMs() = 0;
    // The earliest due time of the timer table changed: call CPaintManagerUI::FireDueTimers at
    // (or soon after) dueMs; nullopt: no timer is running.
    virtual void ScheduleTimerWake(std::optional<std::uint64_t> dueMs) = 0;

    // ---- dialogs (modal; paths in the active code page; nullopt when cancelled) ----
    virtual std::optional<std::string> ShowOpenFileDialog(UIWindowHandle owner, const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> ShowSaveFileDialog(UIWindowHandle owner, const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> ShowFolderDialog(
        UIWindowHandle owner, const CDuiString& title, const CDuiString& initialFolder)
        = 0;

    // ---- mirroring ----
    // Something in manager's tree changed since the backend last called ClearChanged
    // (called once per change batch). The backend updates at its next convenience:
    // manager.ClearChanged(), manager.UpdateLayout(), then mirror.
    virtual void TreeChanged(CPaintManagerUI& manager) = 0;
    // control is being deleted (called from its destructor: only its address still means
    // anything); drop anything that refers to it.
    virtual void ControlDestroyed(CPaintManagerUI& manager, CControlUI& control) = 0;
    // browser was sent to url (also before it has a widget: the widget loads GetUrl() when made).
    virtual void NavigateWebBrowser(CWebBrowserUI& browser, const CDuiString& url) = 0;
};
