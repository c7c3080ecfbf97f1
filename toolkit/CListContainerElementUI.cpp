#include "toolkit/CListContainerElementUI.h"

std::string_view CListContainerElementUI::GetClass() const
{
    return "ListContainerElement";
}
