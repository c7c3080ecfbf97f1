#include "ui/list/RerListElementUI.h"

#include "toolkit/CDialogBuilder.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "ui/list/RerListControlUI.h"

#include <string>

bool RerListElementUI::CreateIn(CListUI* list)
{
    if (list == nullptr || owner == nullptr)
        return false;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(GetElementSkin());
    if (root == nullptr)
        return false;
    SetName(CDuiString(owner->Name(RerListControlUI::kRowPrefixKey) + std::to_string(index)));
    Add(root);
    return InitElement(root) && list->Add(this);
}
