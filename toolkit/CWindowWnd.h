#pragma once

#include "toolkit/CDuiString.h"
#include "toolkit/UIDefs.h"

#include <cstdint>
#include <string>
#include <vector>

class CPaintManagerUI;

// A top-level window. The native window comes from the backend; GetHWND is its opaque handle.
// When the native window is gone the backend calls HandleNativeDestroyed, which runs
// OnFinalMessage exactly once; a subclass that lives on the heap deletes itself there.
class CWindowWnd {
public:
    CWindowWnd() = default;
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    UIWindowHandle GetHWND() const { return m_hWnd; }
    virtual const char* GetWindowClassName() const;
    // The paint manager of a skinned window (null for a plain window).
    virtual CPaintManagerUI* GetPaintManager();

    // Creates the native window with the outer rectangle x, y, cx, cy (a skin size, when the
    // window has one, replaces cx, cy), then runs OnCreate. Style kWindowStyleVisible shows it.
    // Null when there is no backend or the window already exists. menu is accepted and ignored.
    UIWindowHandle Create(UIWindowHandle parent, const CDuiString& title, std::uint32_t style, std::uint32_t exStyle,
        int x, int y, int cx, int cy, void* menu = nullptr);
    void ShowWindow(bool show = true);
    // Minimises the window; the window system restores it.
    void Minimize();
    // Shows the window modally over its parent; returns the result given to Close once it has
    // closed. The window may be deleted when this returns (OnFinalMessage).
    int ShowModal();
    // Closes the window; a modal loop of it returns result. The native window is destroyed after
    // the current notification has returned.
    void Close(int result = 0);
    void CenterWindow();
    // Icon resource number; the picture is "icon<number>.png" in the skin archive.
    void SetIcon(int resourceId);
    // Whole-window opacity, 0 (invisible) .. 255 (opaque); values outside are clamped.
    void SetOpacity(int alpha);
    void SetTitle(const CDuiString& title);
    const CDuiString& GetTitle() const { return m_title; }
    UIRect GetWindowRect() const;
    void MoveWindow(UIRect rect);

    // ---- called by backends ----
    // The native window has been destroyed: forgets the handle, runs OnFinalMessage.
    void HandleNativeDestroyed();
    // The native window's client area changed size.
    virtual void HandleNativeResized(UISize clientSize);
    // Whether files dragged from elsewhere may be dropped on the window (asked once, when the
    // native window is made); those dropped arrive at OnFilesDropped, as active-code-page paths.
    virtual bool AcceptsDroppedFiles() const { return false; }
    virtual void OnFilesDropped(const std::vector<std::string>& paths) { (void)paths; }

protected:
    // The native window exists (GetHWND is set); skinned windows load their skin here.
    virtual void OnCreate();
    // Last call for this window object, once its native window is gone.
    virtual void OnFinalMessage(UIWindowHandle hWnd);
    // Destroys the native window at once without OnFinalMessage (for destructors).
    void DetachNativeWindow();

private:
    UIWindowHandle m_hWnd = nullptr;
    CDuiString m_title;
    bool m_closing = false;
};
