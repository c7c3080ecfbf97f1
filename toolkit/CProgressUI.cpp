#include "toolkit/CProgressUI.h"

#include "toolkit/SkinValue.h"

std::string_view CProgressUI::GetClass() const
{
    return "Progress";
}

void CProgressUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int value)
{
    if (m_min == value)
        return;
    m_min = value;
    Invalidate();
}

void CProgressUI::SetMaxValue(int value)
{
    if (m_max == value)
        return;
    m_max = value;
    Invalidate();
}

void CProgressUI::SetValue(int value)
{
    if (m_value == value)
        return;
    m_value = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const CDuiString& image)
{
    if (m_foreImage == image)
        return;
    m_foreImage = image;
    Invalidate();
}

double CProgressUI::GetFillFraction() const
{
    if (m_max <= m_min)
        return 0.0;
    const int clamped = m_value < m_min ? m_min : (m_value > m_max ? m_max : m_value);
    return static_cast<double>(clamped - m_min) / static_cast<double>(m_max - m_min);
}

void CProgressUI::SetAttribute(std::string_view name, std::string_view value)
{
    if (name == "horizontal")
        SetHorizontal(SkinValue::Bool(value, true));
    else if (name == "min" || name == "minvalue")
        SetMinValue(SkinValue::Int(value));
    else if (name == "max" || name == "maxvalue")
        SetMaxValue(SkinValue::Int(value));
    else if (name == "value")
        SetValue(SkinValue::Int(value));
    else if (name == "foreimage")
        SetForeImage(CDuiString(value));
    else
        CLabelUI::SetAttribute(name, value);
}
