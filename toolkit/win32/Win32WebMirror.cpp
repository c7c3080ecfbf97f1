#include "toolkit/win32/Win32WebMirror.h"

#include "toolkit/CContainerUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/win32/Win32WebHost.h"

#include <algorithm>
#include <vector>

Win32WebMirror::Win32WebMirror(HWND window) : m_window(window) { }

Win32WebMirror::~Win32WebMirror() = default;

namespace {

// The browser controls shown now. Lists are not entered: their rows hold no web views, and a
// long list would cost a walk over every row.
void CollectShown(CControlUI& control, std::vector<CWebBrowserUI*>& shown)
{
    if (!control.IsVisible())
        return;
    if (auto* browser = dynamic_cast<CWebBrowserUI*>(&control)) {
        if (!browser->GetPos().IsEmpty())
            shown.push_back(browser);
        return;
    }
    if (dynamic_cast<CListUI*>(&control) != nullptr)
        return;
    if (auto* container = dynamic_cast<CContainerUI*>(&control)) {
        for (int i = 0; i < container->GetCount(); ++i) {
            if (CControlUI* child = container->GetItemAt(i))
                CollectShown(*child, shown);
        }
    }
}

} // namespace

void Win32WebMirror::Sync(CPaintManagerUI& manager, Win32Scale scale)
{
    std::vector<CWebBrowserUI*> shown;
    if (CControlUI* root = manager.GetRoot())
        CollectShown(*root, shown);
    for (auto& [control, host] : m_hosts) {
        if (std::find(shown.begin(), shown.end(), control) == shown.end())
            host->Show(false);
    }
    for (CWebBrowserUI* browser : shown) {
        auto found = m_hosts.find(browser);
        if (found == m_hosts.end())
            found = m_hosts.emplace(browser, std::make_unique<Win32WebHost>(m_window, *browser)).first;
        found->second->Place(scale.ToPixels(browser->GetPos()));
        found->second->Show(true);
    }
}

void Win32WebMirror::Forget(const CControlUI& control)
{
    m_hosts.erase(&control);
}

void Win32WebMirror::Clear()
{
    m_hosts.clear();
}

void Win32WebMirror::Navigate(const CWebBrowserUI& browser, const std::string& url)
{
    if (Win32WebHost* host = HostOf(browser))
        host->Navigate(url);
}

Win32WebHost* Win32WebMirror::HostOf(const CControlUI& browser) const
{
    auto found = m_hosts.find(&browser);
    return found != m_hosts.end() ? found->second.get() : nullptr;
}
