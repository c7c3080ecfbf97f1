#include "shell/PageParts.h"

#include "toolkit/CButtonUI.h"
#include "toolkit/CContainerUI.h"
#include "toolkit/CDialogBuilder.h"

CControlUI* BuildSkinInto(CContainerUI& page, const char* skinFile, CPaintManagerUI* manager)
{
    CDialogBuilder builder;
    CControlUI* root = builder.Create(skinFile, nullptr, nullptr, manager);
    if (root != nullptr && !page.Add(root)) {
        delete root; // never joined the page
        return nullptr;
    }
    return root;
}

void StyleButtons(std::initializer_list<CButtonUI*> buttons)
{
    for (CButtonUI* button : buttons) {
        if (button == nullptr)
            continue;
        button->SetHotBkColor(kHotColor);
        button->SetBorderSize(1);
    }
}
