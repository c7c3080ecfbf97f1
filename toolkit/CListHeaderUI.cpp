#include "toolkit/CListHeaderUI.h"

CListHeaderUI::CListHeaderUI()
{
    SetFixedHeight(24);
}

std::string_view CListHeaderUI::GetClass() const
{
    return "ListHeader";
}
