#include "ui/list/RerListBaseUI.h"

bool RerListBaseUI::AttachTo(CContainerUI* layout)
{
    if (layout == nullptr)
        return false;
    GetHeader()->SetVisible(false);
    SetChildPadding(m_rowSpacing);
    SetPadding(2, 2, 2, 2);
    EnableScrollBar(true, false);
    return layout->Add(this);
}
