#pragma once

#include "toolkit/IToolkitBackend.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class CControlUI;
class CPaintManagerUI;

// Thrown when a loop could never end (nothing to run, no timer, no close or quit), when a
// dialog is shown without a queued answer, or when a loop exceeds its turn limit.
class HeadlessStuck : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A backend without windows for tests: a manual clock, scripted dialogs and scripted user
// actions, and a record of what a real backend would have shown.
//
// Loops (RunMessageLoop, RunModalLoop) repeat turns until they are done (quit posted / the
// window closed): each turn first destroys windows that were closed, then runs the next queued
// action if there is one, else advances the clock to the next due timer and fires it. With
// neither, or after the turn limit, the loop throws HeadlessStuck instead of hanging.
class CHeadlessBackend : public IToolkitBackend {
public:
    // What became of one native window (kept after the window is destroyed).
    struct WindowRecord {
        std::string className;
        std::string title;
        UIRect rect;
        UIWindowHandle parent = nullptr;
        bool visible = false;
        int minimized = 0; // how often MinimizeNativeWindow was asked
        bool centered = false;
        bool modal = false;
        bool closed = false;    // Close was asked for
        bool destroyed = false; // HandleNativeDestroyed has run
        int closeResult = 0;
        std::string icon;
        std::vector<int> opacityHistory; // every SetOpacity, in order
    };
    enum class DialogKind { Open, Save, Folder };
    struct DialogRecord {
        DialogKind kind = DialogKind::Open;
        std::string title;
        std::string filterDescription;
        std::string filterPatterns;
        std::string defaultExtension;
        std::string initialFolder;
        bool hadOwner = false;
    };
    struct Navigation {
        std::string browserName;
        std::string url;
    };

    CHeadlessBackend();
    ~CHeadlessBackend() override;

    // ---- clock ----
    // Moves the clock forward by ms, firing every timer that falls due on the way at its due time,
    // in order. Closed windows are destroyed after each timer.
    void AdvanceClock(std::uint64_t ms);
    std::uint64_t Clock() const { return m_now; }

    // ---- scripting ----
    // An action run by the next loop turn (FIFO; loops started inside an action take the next).
    void QueueAction(std::function<void()> action);
    std::size_t PendingActions() const { return m_actions.size(); }
    // Forgets the actions no loop has run yet.
    void ClearActions() { m_actions.clear(); }
    // Answers for the next dialogs of each kind (nullopt = the user cancels).
    void QueueOpenFileAnswer(std::optional<std::string> path);
    void QueueSaveFileAnswer(std::optional<std::string> path);
    void QueueFolderAnswer(std::optional<std::string> path);
    // Most timer firings / actions one loop may run before it is taken to be stuck.
    void SetLoopTurnLimit(std::size_t turns) { m_turnLimit = turns; }
    // Destroys the windows that were closed (as the next loop turn would).
    void FlushClosedWindows();

    // Convenience for tests: the control named name in manager's window; clicks it (Activate)
    // and returns whether it was there, enabled and visible. Like a real window system, input
    // to a window below an open modal window is refused (false).
    static bool Click(CPaintManagerUI& manager, const char* name);
    // Types text into the edit named name ("textchanged"); false when there is no such edit or
    // a modal window above manager's window takes the input.
    static bool TypeText(CPaintManagerUI& manager, const char* name, const char* text);
    // Whether user input may reach manager's window now: no modal window is open, or the
    // innermost one is this window or one of its owners.
    bool AcceptsInput(const CPaintManagerUI& manager) const;
    // The window system closes window (like Alt+F4): Close(0) then destruction.
    void SimulateWindowSystemClose(UIWindowHandle window);
    // The user drops files on window: false, with nothing delivered, when the window takes none
    // or a modal window above it takes the input.
    bool DropFiles(UIWindowHandle window, const std::vector<std::string>& paths);

    // ---- records ----
    const std::deque<WindowRecord>& Windows() const { return m_records; }
    // Last record of a window with that class name, or null.
    const WindowRecord* FindWindow(const std::string& className) const;
    const WindowRecord* RecordOf(UIWindowHandle window) const;
    // The newest window of that class whose native window still exists, or null.
    CWindowWnd* LiveWindow(const std::string& className) const;
    const std::vector<DialogRecord>& Dialogs() const { return m_dialogs; }
    const std::vector<Navigation>& Navigations() const { return m_navigations; }
    std::size_t TreeChangeCount() const { return m_treeChanges; }
    bool QuitPosted() const { return m_quitPosted; }
    int ModalDepth() const { return m_modalDepth; }

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
    std::uint64_t NowMs() override { return m_now; }
    void ScheduleTimerWake(std::optional<std::uint64_t> dueMs) override { m_wake = dueMs; }
    std::optional<std::string> ShowOpenFileDialog(UIWindowHandle owner, const FileDialogOptions& options) override;
    std::optional<std::string> ShowSaveFileDialog(UIWindowHandle owner, const FileDialogOptions& options) override;
    std::optional<std::string> ShowFolderDialog(
        UIWindowHandle owner, const CDuiString& title, const CDuiString& initialFolder) override;
    void TreeChanged(CPaintManagerUI& manager) override;
    void ControlDestroyed(CPaintManagerUI& manager, CControlUI& control) override;
    void NavigateWebBrowser(CWebBrowserUI& browser, const CDuiString& url) override;

    // The screen the headless windows are centred on.
    static constexpr UIRect kScreen{0, 0, 1920, 1080};

private:
    class HeadlessWindow;
    HeadlessWindow* Native(UIWindowHandle window) const;
    WindowRecord& Record(UIWindowHandle window);
    // One loop turn; false when there was nothing to do.
    bool Turn(const char* loopName, std::size_t& turns);
    std::optional<std::string> Answer(std::deque<std::optional<std::string>>& queue, DialogKind kind,
        UIWindowHandle owner, const FileDialogOptions& options);

    std::uint64_t m_now = 0;
    std::optional<std::uint64_t> m_wake;
    std::deque<std::function<void()>> m_actions;
    std::deque<std::optional<std::string>> m_openAnswers;
    std::deque<std::optional<std::string>> m_saveAnswers;
    std::deque<std::optional<std::string>> m_folderAnswers;
    std::deque<WindowRecord> m_records;
    std::vector<std::unique_ptr<HeadlessWindow>> m_windows;
    std::vector<DialogRecord> m_dialogs;
    std::vector<Navigation> m_navigations;
    std::size_t m_treeChanges = 0;
    std::size_t m_turnLimit = 1000000;
    bool m_quitPosted = false;
    int m_exitCode = 0;
    int m_modalDepth = 0;
    std::vector<UIWindowHandle> m_modalWindows; // innermost last
};
