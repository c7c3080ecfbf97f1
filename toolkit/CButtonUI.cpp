#include "toolkit/CButtonUI.h"

#include "toolkit/SkinValue.h"

CButtonUI::CButtonUI()
{
    SetTextStyle(kAlignCenter | kAlignVCenter);
}

std::string_view CButtonUI::GetClass() const
{
    return "Button";
}

bool CButtonUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    SendNotify("click");
    return true;
}

void CButtonUI::SetHotBkColor(UIColor color)
{
    if (m_hotBkColor == color)
        return;
    m_hotBkColor = color;
    Invalidate();
}

void CButtonUI::SetHotTextColor(UIColor color)
{
    if (m_hotTextColor == color)
        return;
    m_hotTextColor = color;
    Invalidate();
}

void CButtonUI::SetPushedBkColor(UIColor color)
{
    if (m_pushedBkColor == color)
        return;
    m_pushedBkColor = color;
    Invalidate();
}

void CButtonUI::SetNormalImage(const CDuiString& image)
{
    m_normalImage = image;
    Invalidate();
}

void CButtonUI::SetHotImage(const CDuiString& image)
{
    m_hotImage = image;
    Invalidate();
}

void CButtonUI::SetPushedImage(const CDuiString& image)
{
    m_pushedImage = image;
    Invalidate();
}

void CButtonUI::SetDisabledImage(const CDuiString& image)
{
    m_disabledImage = image;
    Invalidate();
}

void CButtonUI::SetAttribute(std::string_view name, std::string_view value)
{
    if (name == "hotbkcolor")
        SetHotBkColor(SkinValue::Color(value));
    else if (name == "hottextcolor")
        SetHotTextColor(SkinValue::Color(value));
    else if (name == "pushedbkcolor")
        SetPushedBkColor(SkinValue::Color(value));
    else if (name == "normalimage")
        SetNormalImage(CDuiString(value));
    else if (name == "hotimage")
        SetHotImage(CDuiString(value));
    else if (name == "pushedimage")
        SetPushedImage(CDuiString(value));
    else if (name == "disabledimage")
        SetDisabledImage(CDuiString(value));
    else
        CLabelUI::SetAttribute(name, value);
}
