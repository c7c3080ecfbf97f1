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
    CPaintManagerUI* manager = parent != nullptr ? parent->GetManager() : nullptr;
    if (manager == nullptr)
        return false;
    CDialogBuilder builder;
    CControlUI* root = builder.Create("SearchSkin.xml", nullptr, nullptr, manager);
    if (root == nullptr)
        return false;
    parent->Add(this);
    Add(root);
    browser = manager->FindSubControlByName<CWebBrowserUI>(root, "search_ie");
    if (browser != nullptr) {
        browser->SetWebBrowserEventHandler(&eventHandler);
        browser->NavigateUrl(CDuiString(ConfiguredSearchAddress()));
    }
    return true;
}
