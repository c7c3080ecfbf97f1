#pragma once

#include "toolkit/AccessibleElements.h"
#include "toolkit/win32/Win32Scale.h"

#include <windows.h>

#include <oleacc.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

class CControlUI;
class CPaintManagerUI;
class Win32AccessibleObject;
class Win32EditMirror;
class Win32WindowInput;

// What one window tells assistive technology through MSAA: the window's client object (an
// IAccessible, Win32AccessibleObject) whose children are the tree's accessible elements in
// reading order, child ids 1..n. Windows' UI Automation reaches it through its MSAA proxy.
//
// Nothing is read until a client first asks (WM_GETOBJECT): a window no screen reader looks at
// costs nothing. From then on every mirror pass takes a new snapshot and raises the focus, name,
// value and state events of what changed. Presses asked for by a client run from the window's
// own message queue, never inside the client's call.
class Win32AccessibleWindow {
public:
    Win32AccessibleWindow(HWND window, const Win32WindowInput& input) : m_window(window), m_input(input) { }
    ~Win32AccessibleWindow();
    Win32AccessibleWindow(const Win32AccessibleWindow&) = delete;
    Win32AccessibleWindow& operator=(const Win32AccessibleWindow&) = delete;

    // The message a press asked for by a client comes back as (to the window).
    static constexpr UINT kPressMessage = WM_APP + 40;

    // WM_GETOBJECT: the client object for OBJID_CLIENT; nothing for other objects.
    std::optional<LRESULT> Answer(WPARAM wParam, LPARAM lParam, CPaintManagerUI* manager, Win32Scale scale);
    // After a mirror pass (the layout is current) or a move of the keyboard focus. The native
    // EDITs keep their own accessibility; each is given its edit's name (the label beside it).
    void Update(CPaintManagerUI& manager, Win32Scale scale, const Win32EditMirror& edits);
    // The window was painted (as it is after every move of the keyboard focus): a move is announced.
    void FocusShown();
    // kPressMessage arrived: clicks what the client pressed, if it is still there.
    void RunPresses();
    // control is being deleted.
    void Forget(const CControlUI& control);

    // ---- for Win32AccessibleObject ----
    HWND Window() const { return m_window; }
    const std::vector<UIAccessibleElement>& Elements() const { return m_elements; }
    // 1-based child id of the focused element, or 0.
    long FocusedChild() const;
    // A rectangle of the tree in screen pixels.
    RECT ScreenRect(const UIRect& bounds) const;
    // The element under a screen point (the last one in reading order, which paints on top), or 0.
    long ChildAt(POINT screen) const;
    // Asks for child's press later (a button, option or tab); false when it takes none.
    bool Press(long child);
    // Puts text into an edit as if typed; false when child is no writable edit.
    bool SetEditText(long child, const CDuiString& text);

private:
    void Snapshot(CPaintManagerUI& manager, Win32Scale scale);
    void RaiseChanges(const std::vector<UIAccessibleElement>& before);
    const UIAccessibleElement* At(long child) const;
    void NameEdits(const Win32EditMirror& edits);

    HWND m_window;
    const Win32WindowInput& m_input;           // knows the keyboard focus
    Win32AccessibleObject* m_object = nullptr; // made at the first WM_GETOBJECT
    std::vector<UIAccessibleElement> m_elements;
    std::vector<CControlUI*> m_pressed; // presses waiting for the message queue
    CControlUI* m_focusAnnounced = nullptr;
    Win32Scale m_scale;
    IAccPropServices* m_annotations = nullptr; // made when an EDIT is first named
    bool m_annotationsTried = false;
    std::map<HWND, std::wstring> m_editNames; // as last given
};
