#include "ui/list/RerListControlUI.h"

#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"
#include "ui/list/RerListBaseUI.h"
#include "ui/list/RerListElementUI.h"

#include <memory>

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
        if (row->CreateIn(target))
            row->SetVisible(false);
        else
            delete row; // never joined the list
    }
    return true;
}

bool RerListControlUI::BuildInto(CContainerUI& host, CPaintManagerUI& manager)
{
    FillNames();
    CDialogBuilder builder;
    CControlUI* root = builder.Create(GetControlSkin());
    if (root == nullptr)
        return false;
    SetInset(0, 0, 0, 0);
    SetName(Name(kControlNameKey));
    Add(root);

    auto* layout = CPaintManagerUI::FindSubControlByName<CContainerUI>(root, Name(kListLayoutKey));
    std::unique_ptr<RerListBaseUI> made(layout != nullptr ? CreateList() : nullptr);
    if (made == nullptr || !made->AttachTo(layout))
        return false;
    list = made.release(); // the layout owns it now
    CreateElements(list);
    OnCreated(&manager);
    return host.Add(this);
}
