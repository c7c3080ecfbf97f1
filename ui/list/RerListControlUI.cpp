#include "ui/list/RerListControlUI.h"

#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"
#include "ui/list/RerListBaseUI.h"
#include "ui/list/RerListElementUI.h"

const std::string& RerListControlUI::Name(std::int32_t key) const
{
    static const std::string empty;
    const auto found = names.find(key);
    return found != names.end() ? found->second : empty;
}

bool RerListControlUI::CreateElements(RerListBaseUI* target)
{
    for (std::int32_t index = 1; index <= kPooledRows; ++index) {
        RerListElementUI* row = CreateElement(index);
        if (row == nullptr)
            continue;
        row->CreateIn(target);
        row->SetVisible(false);
        // A row that could not join the list has no owner in the tree: it goes now.
        if (row->GetParent() == nullptr)
            delete row;
    }
    return true;
}

bool RerListControlUI::BuildInto(CContainerUI* host)
{
    FillNames();
    CPaintManagerUI* manager = host != nullptr ? host->GetManager() : nullptr;
    if (manager == nullptr)
        return false;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(GetControlSkin());
    if (root == nullptr)
        return false;
    SetInset(0, 0, 0, 0);
    SetName(Name(kControlNameKey));
    Add(root);
    host->Add(this);

    auto* layout = manager->FindControl<CContainerUI>(Name(kListLayoutKey));
    if (layout == nullptr)
        return false;
    list = CreateList();
    if (list == nullptr)
        return false;
    if (!list->AttachTo(layout)) {
        delete list;
        list = nullptr;
        return false;
    }
    CreateElements(list);
    OnCreated(manager);
    return true;
}
