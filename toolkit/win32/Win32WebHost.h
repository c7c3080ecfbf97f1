#pragma once

#include "toolkit/UIDefs.h"

#include <windows.h>

#include <string>

class CWebBrowserUI;
class Win32WebSite;
struct IConnectionPoint;
struct IOleObject;
struct IWebBrowser2;

// One web pane: a child window over the browser control's place that holds the system's
// WebBrowser control, embedded in place through COM. Where the system has no HTML engine (the
// document object can't be made), the pane shows a note instead and the rest of the window
// works as usual.
class Win32WebHost {
public:
    Win32WebHost(HWND parent, CWebBrowserUI& browser);
    ~Win32WebHost();
    Win32WebHost(const Win32WebHost&) = delete;
    Win32WebHost& operator=(const Win32WebHost&) = delete;

    // Whether an HTML engine is there (asked of the system once). When it is, the program's
    // pages are shown in the engine's modern document mode: the per-user setting that chooses
    // it for this executable is written then.
    static bool EngineAvailable();
    // The note a pane without an engine shows.
    static constexpr const wchar_t* kNote = L"Web view unavailable";

    void Place(const UIRect& rect);
    void Show(bool show);
    void Navigate(const std::string& url);
    HWND Window() const { return m_window; }
    bool Embedded() const { return m_web != nullptr; }

private:
    void Embed();
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    CWebBrowserUI& m_browser;
    Win32WebSite* m_site = nullptr;
    IOleObject* m_object = nullptr;
    IWebBrowser2* m_web = nullptr;
    IConnectionPoint* m_events = nullptr;
    DWORD m_eventsCookie = 0;
};
