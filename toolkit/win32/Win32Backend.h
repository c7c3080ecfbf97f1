#pragma once

#include "toolkit/IToolkitBackend.h"

#include <windows.h>

#include <memory>
#include <string>

// The Win32 backend: a top-level window per toolkit window whose client area the backend
// paints from the control tree, timers on a hidden message window, nested message loops for
// modal windows, and the system's file and folder dialogs.
//
// How a program's entry uses it:
//
//     int main() {
//         Win32Backend backend;                   // first: registers the window classes
//         CPaintManagerUI::SetBackend(&backend);  // before any window is created
//         ... SetResourcePath / SetResourceZip, create and show the main window ...
//         return CPaintManagerUI::MessageLoop();  // until CPaintManagerUI::PostQuit(code)
//     }                                           // backend's destructor closes what is left
//
// Everything runs on the thread that made the backend. Nothing of the backend's own classes
// leaks out of this header.
class Win32Backend final : public IToolkitBackend {
public:
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    // Why the backend could not start (its window classes or its timer window refused), as said
    // on standard error; empty when it started. A backend that failed makes no windows.
    const std::string& StartFailure() const;
    // The HWND of a native window (for tests and screenshots); null when gone.
    static HWND WindowHandle(UIWindowHandle window);
    // Runs pending tree updates now (they otherwise run when the message queue is next served).
    void FlushUpdates();
    // A picture of the window's client area as the backend paints it (screenshots); the caller
    // deletes it. Null when the window is gone.
    HBITMAP PaintWindowBitmap(UIWindowHandle window);
    // The native EDIT over an edit control, or null (hidden or out of view).
    HWND EditOf(const CControlUI& control) const;
    // The web pane of a browser control (a child window), or null before it was first shown.
    HWND WebPaneOf(const CControlUI& browser) const;

    // ---- IToolkitBackend ----
    UIWindowHandle CreateNativeWindow(CWindowWnd& window, UIWindowHandle parent, const CDuiString& title,
        std::uint32_t style, std::uint32_t exStyle, UIRect rect) override;
    void CloseNativeWindow(UIWindowHandle window, int result) override;
    void ForgetNativeWindow(UIWindowHandle window) override;
    void ShowNativeWindow(UIWindowHandle window, bool show) override;
    void MinimizeNativeWindow(UIWindowHandle window) override;
    void MoveNativeWindow(UIWindowHandle window, UIRect rect) override;
    UIRect GetNativeWindowRect(UIWindowHandle window) override;
    void CenterNativeWindow(UIWindowHandle window) override;
    void SetNativeWindowTitle(UIWindowHandle window, const CDuiString& title) override;
    void SetNativeWindowIcon(UIWindowHandle window, const CDuiString& iconImage) override;
    void SetNativeWindowOpacity(UIWindowHandle window, int alpha) override;
    int RunMessageLoop() override;
    void PostQuit(int exitCode) override;
    int RunModalLoop(UIWindowHandle window) override;
    std::uint64_t NowMs() override;
    void ScheduleTimerWake(std::optional<std::uint64_t> dueMs) override;
    std::optional<std::string> ShowOpenFileDialog(UIWindowHandle owner, const FileDialogOptions& options) override;
    std::optional<std::string> ShowSaveFileDialog(UIWindowHandle owner, const FileDialogOptions& options) override;
    std::optional<std::string> ShowFolderDialog(
        UIWindowHandle owner, const CDuiString& title, const CDuiString& initialFolder) override;
    void TreeChanged(CPaintManagerUI& manager) override;
    void ControlDestroyed(CPaintManagerUI& manager, CControlUI& control) override;
    void NavigateWebBrowser(CWebBrowserUI& browser, const CDuiString& url) override;

private:
    class Impl;
    friend class Win32NativeWindow; // points back to the Impl that serves its window procedure
    std::unique_ptr<Impl> m_impl;
};
