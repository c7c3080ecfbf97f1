#include "toolkit/COptionUI.h"

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/SkinValue.h"

COptionUI::~COptionUI()
{
    if (GetManager() && !m_group.IsEmpty())
        GetManager()->RemoveOptionGroup(m_group, this);
}

std::string_view COptionUI::GetClass() const
{
    return "Option";
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent)
{
    if (GetManager() && !m_group.IsEmpty())
        GetManager()->RemoveOptionGroup(m_group, this);
    CButtonUI::SetManager(manager, parent);
    if (manager && !m_group.IsEmpty())
        manager->AddOptionGroup(m_group, this);
}

void COptionUI::SetGroup(const CDuiString& group)
{
    if (m_group == group)
        return;
    if (GetManager() && !m_group.IsEmpty())
        GetManager()->RemoveOptionGroup(m_group, this);
    m_group = group;
    if (GetManager() && !m_group.IsEmpty())
        GetManager()->AddOptionGroup(m_group, this);
    Invalidate();
}

void COptionUI::Selected(bool selected, bool notify)
{
    if (m_selected == selected)
        return;
    if (selected && GetManager() && !m_group.IsEmpty()) {
        // Copy: the group may change while others react to being deselected.
        if (const auto* group = GetManager()->GetOptionGroup(m_group)) {
            const std::vector<COptionUI*> others = *group;
            for (COptionUI* other : others)
                if (other != this)
                    other->Selected(false, false);
        }
    }
    m_selected = selected;
    Invalidate();
    if (notify)
        SendNotify("selectchanged");
}

bool COptionUI::Activate()
{
    if (!CButtonUI::Activate())
        return false;
    if (m_group.IsEmpty()) {
        Selected(!m_selected);
    } else if (m_selected) {
        // Choosing the option that is already chosen still reports the choice.
        SendNotify("selectchanged");
    } else {
        Selected(true);
    }
    return true;
}

void COptionUI::SetSelectedBkColor(UIColor color)
{
    m_selectedBkColor = color;
    Invalidate();
}

void COptionUI::SetSelectedTextColor(UIColor color)
{
    m_selectedTextColor = color;
    Invalidate();
}

void COptionUI::SetSelectedImage(const CDuiString& image)
{
    m_selectedImage = image;
    Invalidate();
}

void COptionUI::SetAttribute(std::string_view name, std::string_view value)
{
    if (name == "group")
        SetGroup(CDuiString(value));
    else if (name == "selected")
        Selected(SkinValue::Bool(value), false);
    else if (name == "selectedbkcolor")
        SetSelectedBkColor(SkinValue::Color(value));
    else if (name == "selectedtextcolor")
        SetSelectedTextColor(SkinValue::Color(value));
    else if (name == "selectedimage")
        SetSelectedImage(CDuiString(value));
    else
        CButtonUI::SetAttribute(name, value);
}
