#pragma once

#include "toolkit/UIDefs.h"
#include "toolkit/win32/Win32Scale.h"

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>

class CControlUI;
class CPaintManagerUI;
class CWebBrowserUI;
class Win32WebHost;

// The web panes of one window, one per browser control. A pane is made when its control is
// first shown and hidden, not destroyed, while its control is hidden (another tab), so that
// its page stays loaded.
class Win32WebMirror {
public:
    explicit Win32WebMirror(HWND window);
    ~Win32WebMirror();
    Win32WebMirror(const Win32WebMirror&) = delete;
    Win32WebMirror& operator=(const Win32WebMirror&) = delete;

    // Brings the panes in line with manager's tree (the layout must be current).
    void Sync(CPaintManagerUI& manager, Win32Scale scale);
    void Forget(const CControlUI& control);
    void Clear();
    void Navigate(const CWebBrowserUI& browser, const std::string& url);
    // The pane of browser, or null before it was first shown.
    Win32WebHost* HostOf(const CControlUI& browser) const;

private:
    HWND m_window;
    std::unordered_map<const CControlUI*, std::unique_ptr<Win32WebHost>> m_hosts;
};
