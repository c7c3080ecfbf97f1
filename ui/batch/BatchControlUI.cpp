#include "ui/batch/BatchControlUI.h"

#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"
#include "ui/batch/BatchListControl.h"

bool BatchControlUI::CreatePage(CContainerUI* parent)
{
    if (parent == nullptr || parent->GetManager() == nullptr)
        return false;
    CDialogBuilder builder;
    CControlUI* root = builder.Create("BatchSkin.xml");
    if (root == nullptr)
        return false;
    parent->Add(this);
    Add(root);

    // Without its layout the control still receives the timers; the page then keeps it hidden.
    listControl = new BatchListControl(this);
    auto* host = dynamic_cast<CContainerUI*>(FindSubControlByName(root, "TorrentListLayoutUI"));
    if (host != nullptr) {
        host->Add(listControl);
    } else {
        Add(listControl);
        listControl->SetVisible(false);
    }
    return true;
}

void BatchControlUI::ChooseSourceFolder() {}

void BatchControlUI::ChooseDestFolder() {}

void BatchControlUI::StartConversion() {}
