#include "ui/single/SingleControlUI.h"

#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"

bool SingleControlUI::CreatePage(CContainerUI* tabLayout)
{
    if (tabLayout == nullptr || tabLayout->GetManager() == nullptr)
        return false;
    CDialogBuilder builder;
    CControlUI* root = builder.Create("SingleSkin.xml");
    if (root == nullptr)
        return false;
    tabLayout->Add(this);
    Add(root);
    return true;
}

void SingleControlUI::OnOpenFile() {}

void SingleControlUI::OnSave() {}

void SingleControlUI::OnOneKeyModify() {}
