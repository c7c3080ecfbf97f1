#include "toolkit/CWebBrowserUI.h"

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/IToolkitBackend.h"

std::string_view CWebBrowserUI::GetClass() const
{
    return "WebBrowser";
}

void CWebBrowserUI::NavigateUrl(const CDuiString& url)
{
    m_url = url;
    Invalidate();
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend())
        backend->NavigateWebBrowser(*this, url);
}

void CWebBrowserUI::SetWebBrowserEventHandler(CWebBrowserEventHandler* handler)
{
    m_handler = handler;
}

void CWebBrowserUI::SetAttribute(std::string_view name, std::string_view value)
{
    if (name == "url" || name == "homepage") {
        m_url = CDuiString(value);
        Invalidate();
    } else if (name == "userstyle") {
        SetUserStyle(CDuiString(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}
