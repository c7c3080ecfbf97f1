#include "ui/web/SearchControlUI.h"

#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "ui/web/WebAddresses.h"

SearchControlUI::~SearchControlUI()
{
    if (browser != nullptr)
        browser->SetWebBrowserEventHandler(nullptr);
}

bool SearchControlUI::CreatePage(CContainerUI* parent)
{
    if (parent == nullptr || parent->GetManager() == nullptr)
        return false;
    CDialogBuilder builder;
    CControlUI* root = builder.Create("SearchSkin.xml", nullptr, nullptr, parent->GetManager());
    if (root == nullptr)
        return false;
    parent->Add(this);
    Add(root);
    browser = dynamic_cast<CWebBrowserUI*>(FindSubControlByName(root, "search_ie"));
    if (browser != nullptr) {
        browser->SetWebBrowserEventHandler(&eventHandler);
        browser->NavigateUrl(CDuiString(ConfiguredSearchAddress()));
    }
    return true;
}
