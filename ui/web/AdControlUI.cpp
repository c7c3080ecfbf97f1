#include "ui/web/AdControlUI.h"

#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"

bool AdControlUI::CreatePage(CContainerUI* parent)
{
    if (parent == nullptr || parent->GetManager() == nullptr)
        return false;
    CDialogBuilder builder;
    CControlUI* root = builder.Create("ADSkin.xml", nullptr, nullptr, parent->GetManager());
    if (root == nullptr)
        return false;
    parent->Add(this);
    Add(root);
    browser = dynamic_cast<CWebBrowserUI*>(FindSubControlByName(root, "ad_ie"));
    return true;
}
