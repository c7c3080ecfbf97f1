#include "toolkit/CTabLayoutUI.h"

#include "toolkit/SkinValue.h"

std::string_view CTabLayoutUI::GetClass() const
{
    return "TabLayout";
}

bool CTabLayoutUI::Add(CControlUI* control)
{
    return AddAt(control, GetCount());
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index)
{
    if (!CContainerUI::AddAt(control, index))
        return false;
    const int at = GetItemIndex(control);
    if (m_curSel < 0) {
        m_curSel = at;
        control->SetVisible(true);
    } else {
        if (at <= m_curSel)
            ++m_curSel;
        control->SetVisible(false);
    }
    if (at == m_wantedSel)
        SelectItem(at);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control)
{
    const int at = GetItemIndex(control);
    if (at < 0)
        return false;
    CContainerUI::Remove(control);
    if (GetCount() == 0) {
        m_curSel = -1;
    } else if (at < m_curSel) {
        --m_curSel;
    } else if (at == m_curSel) {
        m_curSel = -1;
        SelectItem(at < GetCount() ? at : GetCount() - 1);
    }
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    CContainerUI::RemoveAll();
    m_curSel = -1;
}

bool CTabLayoutUI::SelectItem(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    const int old = m_curSel;
    m_curSel = index;
    for (int i = 0; i < GetCount(); ++i)
        GetItemAt(i)->SetVisible(i == index);
    NeedUpdate();
    if (old != index)
        SendNotify("tabselect", static_cast<std::uintptr_t>(index), old);
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control)
{
    const int at = GetItemIndex(control);
    return at >= 0 && SelectItem(at);
}

void CTabLayoutUI::SetPos(UIRect rect)
{
    // Each page fills the inner rectangle (a plain container's rule); only the selected one shows.
    // Hidden pages are laid out too, so that their lists know their rows' positions and scroll
    // range while another page is shown (a running batch scrolls its list along).
    CContainerUI::SetPos(rect);
    const UIRect inner = InnerRect(rect);
    for (const auto& page : Children()) {
        if (page->IsVisible() || page->IsFloat())
            continue;
        page->SetPos(FillRect(*page, inner));
    }
}

void CTabLayoutUI::SetAttribute(std::string_view name, std::string_view value)
{
    if (name == "selectedid") {
        m_wantedSel = SkinValue::Int(value, -1);
        SelectItem(m_wantedSel);
    } else
        CContainerUI::SetAttribute(name, value);
}
