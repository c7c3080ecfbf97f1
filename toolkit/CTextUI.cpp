#include "toolkit/CTextUI.h"

CTextUI::CTextUI()
{
    SetTextStyle(kAlignLeft | kAlignTop | kAlignWordBreak);
}

std::string_view CTextUI::GetClass() const
{
    return "Text";
}
