#include "ui/web/SearchControlUI.h"

#include "shell/PageParts.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "ui/web/WebAddresses.h"

SearchControlUI::~SearchControlUI()
{
    if (browser != nullptr)
        browser->SetWebBrowserEventHandler(nullptr);
}

bool SearchControlUI::CreatePage(CContainerUI& parent)
{
    CPaintManagerUI* manager = parent.GetManager();
    if (manager == nullptr)
        return false;
    CControlUI* root = BuildSkinInto(*this, "SearchSkin.xml", manager);
    if (root == nullptr)
        return false;
    browser = CPaintManagerUI::FindSubControlByName<CWebBrowserUI>(root, "search_ie");
    if (browser != nullptr) {
        browser->SetWebBrowserEventHandler(&eventHandler);
        browser->NavigateUrl(CDuiString(ConfiguredSearchAddress()));
    }
    return parent.Add(this);
}
