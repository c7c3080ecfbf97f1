#include "toolkit/CVerticalLayoutUI.h"

std::string_view CVerticalLayoutUI::GetClass() const
{
    return "VerticalLayout";
}
