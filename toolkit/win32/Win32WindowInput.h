#pragma once

#include "toolkit/UIDefs.h"
#include "toolkit/win32/Win32TreePainter.h"

#include <windows.h>

class CControlUI;
class CListUI;
class CPaintManagerUI;
class Win32EditMirror;

// The pointer and the keyboard of one window, turned into what the tree understands: the
// control under the pointer is hot, a press and release on the same button clicks it
// (Activate), the wheel and the scroll bar scroll lists, Tab walks the focus through the
// buttons, options and edits in tree order, and Space or Enter click the focused button.
class Win32WindowInput {
public:
    Win32WindowInput(HWND window, Win32EditMirror& edits) : m_window(window), m_edits(edits) { }

    const Win32PointerState& Pointer() const { return m_pointer; }

    void MouseMove(CPaintManagerUI& manager, UIPoint point);
    void MouseLeave();
    void ButtonDown(CPaintManagerUI& manager, UIPoint point);
    void ButtonUp(CPaintManagerUI& manager, UIPoint point);
    // delta in wheel units (120 a notch), positive away from the user.
    void Wheel(CPaintManagerUI& manager, UIPoint point, int delta);
    // Tab, Space and Enter; false for other keys.
    bool KeyDown(CPaintManagerUI& manager, WPARAM key, bool repeated);
    void MoveFocus(CPaintManagerUI& manager, bool backwards);
    // An EDIT took the keyboard: its control is the focused one now.
    void EditFocused(CControlUI* edit);
    // control is being deleted.
    void Forget(const CControlUI& control);

private:
    void Redraw() const { InvalidateRect(m_window, nullptr, FALSE); }

    HWND m_window;
    Win32EditMirror& m_edits;
    Win32PointerState m_pointer;
    CListUI* m_dragList = nullptr; // the list whose scroll thumb the pointer holds
    int m_grabOffset = 0;          // where in the thumb it was taken
};
