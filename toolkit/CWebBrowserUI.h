#pragma once

#include "toolkit/CControlUI.h"

class CWebBrowserEventHandler;

// An embedded web view. The tree keeps the address; the backend shows the page (Qt WebEngine)
// and reports its events to the event handler.
class CWebBrowserUI : public CControlUI {
public:
    std::string_view GetClass() const override;

    // Sends the browser to url (a web address or a local file path); the backend loads it.
    void NavigateUrl(const CDuiString& url);
    // The address last given to NavigateUrl (or the skin's "url"/"homepage").
    const CDuiString& GetUrl() const { return m_url; }
    // Borrowed; null for none. The handler must outlive the browser or be reset first.
    void SetWebBrowserEventHandler(CWebBrowserEventHandler* handler);
    CWebBrowserEventHandler* GetWebBrowserEventHandler() const { return m_handler; }
    // A style sheet laid over every page the browser shows (skin attribute "userstyle"): the
    // browser around a page may settle how it looks in the pane without changing the page.
    const CDuiString& GetUserStyle() const { return m_userStyle; }
    void SetUserStyle(const CDuiString& css) { m_userStyle = css; }

    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    CDuiString m_url;
    CDuiString m_userStyle;
    CWebBrowserEventHandler* m_handler = nullptr;
};
