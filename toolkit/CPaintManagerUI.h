#pragma once

#include "toolkit/CDuiString.h"
#include "toolkit/TNotifyUI.h"
#include "toolkit/UIDefs.h"
#include "toolkit/UIFont.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CControlUI;
class COptionUI;
class CWindowWnd;
class INotifyUI;
class IToolkitBackend;

// One per window (owned by the window): the window's control tree, notifications, fonts,
// window attributes from the skin, layout and timers. Its static part holds what is process-wide:
// the backend, the resource folder and skin archive, the message loop and the timer table.
class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // ================= process-wide =================
    static void SetInstance(void* instance);
    static void* GetInstance();
    // The folder of the running executable, with a trailing '/'.
    static CDuiString GetInstancePath();
    // Folder that holds the skin archive (or, without archive, the skin files themselves).
    static void SetResourcePath(const CDuiString& path);
    static const CDuiString& GetResourcePath();
    // Skin archive (a zip) in the resource folder; an empty name reads files from the folder.
    // cached: keep the archive open between reads. Changing path or archive drops parsed skins.
    static void SetResourceZip(const CDuiString& zipName, bool cached = false);
    static const CDuiString& GetResourceZip();
    // Reads one resource (skin file or picture) whole; '\' in name counts as '/'.
    static std::optional<std::string> LoadResourceFile(std::string_view name);

    // The backend of this process (borrowed; set once by the entry point or the test).
    static void SetBackend(IToolkitBackend* backend);
    static IToolkitBackend* GetBackend();
    // Runs the backend's message loop until PostQuit; returns the exit code given to PostQuit.
    static int MessageLoop();
    static void PostQuit(int exitCode = 0);
    // The toolkit clock in milliseconds (the backend's; 0 without backend).
    static std::uint64_t Now();
    // Backends call this when the wake asked for by ScheduleTimerWake is reached: every due
    // timer fires once, in order of due time (then of arming), as a "timer" notification.
    static void FireDueTimers();
    // Due time of the earliest running timer.
    static std::optional<std::uint64_t> NextTimerDue();

    // ================= per window =================
    void Init(CWindowWnd* window);
    CWindowWnd* GetPaintWindow() const { return m_window; }
    UIWindowHandle GetPaintWindowHandle() const;

    // Makes root the window's tree (owned from now on; an earlier root is deleted).
    bool AttachDialog(CControlUI* root);
    CControlUI* GetRoot() const { return m_root.get(); }
    // First control of the window's tree with that name (depth first), or null.
    CControlUI* FindControl(std::string_view name) const;
    // The control with that name in parent's subtree (parent included), in a window or not yet.
    static CControlUI* FindSubControlByName(CControlUI* parent, std::string_view name);
    // Typed look-ups: the control with that name when it is a T, else null.
    template <class T>
    T* FindControl(std::string_view name) const
    {
        return dynamic_cast<T*>(FindControl(name));
    }
    template <class T>
    static T* FindSubControlByName(CControlUI* parent, std::string_view name)
    {
        return dynamic_cast<T*>(FindSubControlByName(parent, name));
    }

    // Receivers of this window's notifications (borrowed; the window itself registers).
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    // Delivers a notification to every receiver, synchronously, on the UI thread.
    void SendNotify(TNotifyUI& msg);
    void SendNotify(CControlUI* control, const char* type, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // Starts (or restarts) timer id of control: every elapseMs milliseconds a "timer"
    // notification with that control as sender and wParam = id. False for null control,
    // a control of another window, or elapseMs 0.
    bool SetTimer(CControlUI* control, std::uint32_t id, std::uint32_t elapseMs);
    // Stops timer id of control; false if it wasn't running.
    bool KillTimer(CControlUI* control, std::uint32_t id);
    // Stops every timer of control.
    void KillTimer(CControlUI* control);
    // Stops every timer of this window.
    void KillAllTimers();

    // Font table of the window; GetFont gives the default font for unknown indices.
    void AddFont(int id, const UIFont& font);
    const UIFont& GetFont(int id) const;
    const UIFont& GetDefaultFont() const { return m_defaultFont; }
    void SetDefaultFont(const UIFont& font);
    const std::map<int, UIFont>& GetFonts() const { return m_fonts; }
    UIColor GetDefaultTextColor() const { return m_defaultTextColor; }
    void SetDefaultTextColor(UIColor color) { m_defaultTextColor = color; }

    // Window attributes from the skin's <Window> element.
    UISize GetInitSize() const { return m_initSize; } // "size"; 0,0 when not given
    void SetInitSize(UISize size) { m_initSize = size; }
    UIRect GetCaptionRect() const { return m_captionRect; }     // "caption": drag strip; bottom/right
    void SetCaptionRect(UIRect rect) { m_captionRect = rect; }  // measured from the top-left corner
    UIColor GetFocusColor() const { return m_focusColor; }      // "focuscolor": the keyboard focus ring;
    void SetFocusColor(UIColor color) { m_focusColor = color; } // 0: a dotted ring in the text colour
    UISize GetMinInfo() const { return m_minInfo; }             // "mininfo": smallest size
    void SetMinInfo(UISize size) { m_minInfo = size; }
    void SetWindowAttribute(std::string_view name, std::string_view value);

    // Size of the window's client area; the root fills it.
    UISize GetClientSize() const { return m_clientSize; }
    void SetClientSize(UISize size);

    // Layout: NeedUpdate marks it dirty; UpdateLayout lays the tree out if dirty.
    void NeedUpdate();
    bool IsLayoutDirty() const { return m_layoutDirty; }
    void UpdateLayout();
    // Change tracking for backends: set by any change, cleared by the backend when it mirrors.
    void Invalidate();
    bool IsChanged() const { return m_changed; }
    void ClearChanged() { m_changed = false; }

    // Option groups (kept by COptionUI).
    void AddOptionGroup(const CDuiString& group, COptionUI* option);
    void RemoveOptionGroup(const CDuiString& group, COptionUI* option);
    const std::vector<COptionUI*>* GetOptionGroup(const CDuiString& group) const;

    // A control of this window is being deleted: its timers stop and the backend is told.
    void ReapObjects(CControlUI* control);

private:
    CWindowWnd* m_window = nullptr;
    std::unique_ptr<CControlUI> m_root;
    std::vector<INotifyUI*> m_notifiers;
    std::map<int, UIFont> m_fonts;
    UIFont m_defaultFont;
    UIColor m_defaultTextColor = 0xFF000000;
    UIColor m_focusColor = 0;
    UISize m_initSize;
    UIRect m_captionRect;
    UISize m_minInfo;
    UISize m_clientSize;
    std::map<CDuiString, std::vector<COptionUI*>> m_optionGroups;
    bool m_layoutDirty = true;
    bool m_changed = false;
    bool m_inLayout = false;
};
