#pragma once

#include "toolkit/UIDefs.h"
#include "toolkit/win32/Win32Scale.h"

#include <windows.h>

#include <unordered_map>
#include <vector>

class CControlUI;
class CEditUI;
class CPaintManagerUI;
class Win32TreePainter;

// Native EDIT controls over the tree's edits, so that typing, the input method, selection and
// the clipboard are the system's. Only edits in view get one: a row of a list that scrolls out
// of view loses its EDIT, and its text lives on in the control, which the EDIT reports every
// change to (CEditUI::UserEdited).
class Win32EditMirror {
public:
    Win32EditMirror(HWND window, Win32TreePainter& painter) : m_window(window), m_painter(painter) { }
    ~Win32EditMirror();
    Win32EditMirror(const Win32EditMirror&) = delete;
    Win32EditMirror& operator=(const Win32EditMirror&) = delete;

    // Brings the EDITs in line with manager's tree (the layout must be current), placed and
    // sized at the window's scale.
    void Sync(CPaintManagerUI& manager, Win32Scale scale);
    // control is being deleted: its EDIT goes too.
    void Forget(const CControlUI& control);
    void Clear();

    // The EDIT over control, or null.
    HWND EditOf(const CControlUI& control) const;
    // The edit control an EDIT stands for, or null.
    CEditUI* ControlOf(HWND edit) const;
    // The window's WM_COMMAND from one of the EDITs: a change of text goes to the tree.
    void HandleCommand(WPARAM wParam, LPARAM lParam);

private:
    struct Entry {
        HWND hwnd = nullptr;
        unsigned generation = 0;
        UIRect placed; // pixels, as last placed
        HFONT font = nullptr;
        bool readOnly = false;
        bool enabled = true;
    };
    // Hidden EDITs kept for reuse, at most this many.
    static constexpr std::size_t kSpareEdits = 64;

    void Place(CEditUI& edit, CPaintManagerUI& manager);
    void Retire(HWND edit);
    static LRESULT CALLBACK EditProc(
        HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR mirror);

    HWND m_window;
    Win32TreePainter& m_painter;
    Win32Scale m_scale;
    std::unordered_map<const CControlUI*, Entry> m_edits;
    std::vector<HWND> m_spare;
    HDWP m_moves = nullptr; // the moves of the pass under way
    unsigned m_generation = 0;
    bool m_settingText = false; // the mirror itself is changing an EDIT's text
};
