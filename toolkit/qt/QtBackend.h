#pragma once

#include "toolkit/IToolkitBackend.h"

#include <memory>
#include <string>

class QWidget;

// The Qt 6 backend: real windows and widgets that mirror the control tree, Qt timers, nested
// event loops for modal windows, file and folder dialogs and Qt WebEngine views. It owns the
// process's QApplication, so there is exactly one, created before any window.
//
// How a program's entry uses it:
//
//     int main(int argc, char** argv) {
//         QtBackend backend(argc, argv);          // first: creates the QApplication
//         CPaintManagerUI::SetBackend(&backend);  // before any window is created
//         ... SetResourcePath / SetResourceZip, create and show the main window ...
//         return CPaintManagerUI::MessageLoop();  // until CPaintManagerUI::PostQuit(code)
//     }                                           // backend's destructor closes what is left
//
// argc is taken by reference and must outlive the backend (main's own argc does). Nothing of
// Qt leaks out of this header. Web views run in a Chromium process that refuses to start as
// root unless the sandbox is turned off through the environment (QTWEBENGINE_DISABLE_SANDBOX=1);
// without it the web panes show a note and the program prints a one-line hint instead.
class QtBackend final : public IToolkitBackend {
public:
    QtBackend(int& argc, char** argv);
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    // The program's desktop entry, named without ".desktop": the window system matches the
    // program's windows with it (on Wayland it is their app id). Before the first window.
    static void SetDesktopEntryName(const std::string& name);
    // The top-level widget of a native window (for tests and screenshots); null when gone.
    static QWidget* WindowWidget(UIWindowHandle window);
    // The widget currently mirroring control, or null (hidden or out of view).
    QWidget* WidgetOf(const CControlUI& control) const;
    // Runs pending mirror updates now (they otherwise run when the event loop is next idle).
    void FlushUpdates();

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
    std::unique_ptr<Impl> m_impl;
};
