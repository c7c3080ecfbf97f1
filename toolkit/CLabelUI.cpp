#include "toolkit/CLabelUI.h"

#include "toolkit/SkinValue.h"

std::string_view CLabelUI::GetClass() const
{
    return "Label";
}

void CLabelUI::SetDisabledTextColor(UIColor color)
{
    if (m_disabledTextColor == color)
        return;
    m_disabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetTextStyle(std::uint32_t style)
{
    if (m_textStyle == style)
        return;
    m_textStyle = style;
    Invalidate();
}

void CLabelUI::SetTextPadding(UIRect padding)
{
    if (m_textPadding == padding)
        return;
    m_textPadding = padding;
    Invalidate();
}

void CLabelUI::SetAttribute(std::string_view name, std::string_view value)
{
    constexpr std::uint32_t horizontal = kAlignCenter | kAlignRight;
    constexpr std::uint32_t vertical = kAlignVCenter | kAlignBottom;
    if (name == "disabledtextcolor")
        SetDisabledTextColor(SkinValue::Color(value));
    else if (name == "textpadding")
        SetTextPadding(SkinValue::Rect(value));
    else if (name == "align") {
        std::uint32_t h = kAlignLeft;
        if (value == "center")
            h = kAlignCenter;
        else if (value == "right")
            h = kAlignRight;
        SetTextStyle((m_textStyle & ~horizontal) | h);
    } else if (name == "valign") {
        std::uint32_t v = kAlignVCenter;
        if (value == "top")
            v = kAlignTop;
        else if (value == "bottom")
            v = kAlignBottom;
        SetTextStyle((m_textStyle & ~vertical) | v);
    } else if (name == "wordbreak") {
        SetTextStyle(SkinValue::Bool(value) ? (m_textStyle | kAlignWordBreak) : (m_textStyle & ~kAlignWordBreak));
    } else if (name == "pathellipsis") {
        SetTextStyle(SkinValue::Bool(value) ? (m_textStyle | kPathEllipsis) : (m_textStyle & ~kPathEllipsis));
    } else
        CControlUI::SetAttribute(name, value);
}
