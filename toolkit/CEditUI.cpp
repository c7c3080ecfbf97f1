#include "toolkit/CEditUI.h"

#include "toolkit/SkinValue.h"

std::string_view CEditUI::GetClass() const
{
    return "Edit";
}

void CEditUI::SetReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    Invalidate();
}

void CEditUI::SetPasswordMode(bool password)
{
    if (m_password == password)
        return;
    m_password = password;
    Invalidate();
}

void CEditUI::SetMaxChar(int maxChar)
{
    m_maxChar = maxChar < 0 ? 0 : maxChar;
    Invalidate();
}

void CEditUI::UserEdited(const CDuiString& text)
{
    if (!IsEnabled() || m_readOnly)
        return;
    CDuiString accepted = text;
    if (m_maxChar > 0 && accepted.GetLength() > m_maxChar)
        accepted = accepted.Left(m_maxChar);
    if (GetText() == accepted)
        return;
    SetText(accepted);
    SendNotify("textchanged");
}

void CEditUI::SetAttribute(std::string_view name, std::string_view value)
{
    if (name == "readonly")
        SetReadOnly(SkinValue::Bool(value));
    else if (name == "password")
        SetPasswordMode(SkinValue::Bool(value));
    else if (name == "maxchar")
        SetMaxChar(SkinValue::Int(value));
    else
        CLabelUI::SetAttribute(name, value);
}
