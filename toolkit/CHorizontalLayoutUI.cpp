#include "toolkit/CHorizontalLayoutUI.h"

std::string_view CHorizontalLayoutUI::GetClass() const
{
    return "HorizontalLayout";
}
