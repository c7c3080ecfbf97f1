#include "ui/web/AdControlUI.h"

#include "platform/PathText.h"
#include "shell/PageParts.h"
#include "shell/StartDirectory.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "ui/web/AdPage.h"

AdControlUI::~AdControlUI()
{
    if (browser != nullptr)
        browser->SetWebBrowserEventHandler(nullptr);
}

std::string AdControlUI::PagePath()
{
    return JoinPath(JoinPath(startDirectory, "Ad"), "ad.html");
}

bool AdControlUI::CreatePage(CContainerUI& parent)
{
    CPaintManagerUI* manager = parent.GetManager();
    if (manager == nullptr)
        return false;
    // Without a recorded start directory the path would point at the root folder.
    if (startDirectory[0] == '\0')
        return false;
    const std::string path = PagePath();
    if (!WriteAdPage(path.c_str()))
        return false;
    CControlUI* root = BuildSkinInto(*this, "ADSkin.xml", manager);
    if (root == nullptr)
        return false;
    browser = CPaintManagerUI::FindSubControlByName<CWebBrowserUI>(root, "ad_ie");
    if (browser != nullptr) {
        browser->SetWebBrowserEventHandler(&eventHandler);
        browser->NavigateUrl(CDuiString(path));
    }
    return parent.Add(this);
}
