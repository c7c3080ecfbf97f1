#include "toolkit/CContainerUI.h"

#include "toolkit/SkinValue.h"

#include <algorithm>

CContainerUI::~CContainerUI()
{
    // Children go first, while this container (their parent) is still whole.
    m_items.clear();
}

std::string_view CContainerUI::GetClass() const
{
    return "Container";
}

bool CContainerUI::Add(CControlUI* control)
{
    return AddAt(control, static_cast<int>(m_items.size()));
}

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    if (!control || control->GetParent() || control == this)
        return false;
    if (index < 0 || index > static_cast<int>(m_items.size()))
        index = static_cast<int>(m_items.size());
    m_items.emplace(m_items.begin() + index, control);
    control->SetManager(GetManager(), this);
    NeedUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* control)
{
    const auto at = std::find_if(m_items.begin(), m_items.end(), [&](const auto& p) { return p.get() == control; });
    if (at == m_items.end())
        return false;
    m_items.erase(at);
    NeedUpdate();
    return true;
}

void CContainerUI::RemoveAll()
{
    if (m_items.empty())
        return;
    m_items.clear();
    NeedUpdate();
}

int CContainerUI::GetCount() const
{
    return static_cast<int>(m_items.size());
}

CControlUI* CContainerUI::GetItemAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return nullptr;
    return m_items[static_cast<std::size_t>(index)].get();
}

int CContainerUI::GetItemIndex(CControlUI* control) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == control)
            return static_cast<int>(i);
    return -1;
}

void CContainerUI::ReserveItems(int count)
{
    if (count > 0)
        m_items.reserve(static_cast<std::size_t>(count));
}

void CContainerUI::SetInset(UIRect inset)
{
    if (m_inset == inset)
        return;
    m_inset = inset;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding)
{
    if (m_childPadding == padding)
        return;
    m_childPadding = padding;
    NeedUpdate();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent)
{
    CControlUI::SetManager(manager, parent);
    for (auto& child : m_items)
        child->SetManager(manager, this);
}

CControlUI* CContainerUI::FindSubControl(std::string_view name)
{
    if (GetName().view() == name)
        return this;
    for (auto& child : m_items)
        if (CControlUI* found = child->FindSubControl(name))
            return found;
    return nullptr;
}

void CContainerUI::VisitTree(const std::function<bool(CControlUI&)>& visit)
{
    if (!visit(*this))
        return;
    for (auto& child : m_items)
        child->VisitTree(visit);
}

UIRect CContainerUI::InnerRect(UIRect rect) const
{
    rect.left += m_inset.left;
    rect.top += m_inset.top;
    rect.right -= m_inset.right;
    rect.bottom -= m_inset.bottom;
    if (rect.right < rect.left)
        rect.right = rect.left;
    if (rect.bottom < rect.top)
        rect.bottom = rect.top;
    return rect;
}

void CContainerUI::PlaceFloat(CControlUI& child, UIRect rect)
{
    const UISize xy = child.GetFixedXY();
    UIRect r;
    r.left = rect.left + xy.cx;
    r.top = rect.top + xy.cy;
    r.right = child.GetFixedWidth() > 0 ? r.left + child.GetFixedWidth() : std::max(r.left, rect.right);
    r.bottom = child.GetFixedHeight() > 0 ? r.top + child.GetFixedHeight() : std::max(r.top, rect.bottom);
    child.SetPos(r);
}

void CContainerUI::SetPos(UIRect rect)
{
    CControlUI::SetPos(rect);
    const UIRect inner = InnerRect(rect);
    for (auto& child : m_items) {
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            PlaceFloat(*child, rect);
            continue;
        }
        child->SetPos(FillRect(*child, inner));
    }
}

UIRect CContainerUI::FillRect(const CControlUI& child, UIRect inner)
{
    const UIRect pad = child.GetPadding();
    UIRect r{inner.left + pad.left, inner.top + pad.top, inner.right - pad.right, inner.bottom - pad.bottom};
    const UISize want = child.EstimateSize(UISize{r.Width(), r.Height()});
    if (want.cx > 0)
        r.right = r.left + want.cx;
    if (want.cy > 0)
        r.bottom = r.top + want.cy;
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

void CContainerUI::SetAttribute(std::string_view name, std::string_view value)
{
    if (name == "inset")
        SetInset(SkinValue::Rect(value));
    else if (name == "childpadding")
        SetChildPadding(SkinValue::Int(value));
    else
        CControlUI::SetAttribute(name, value);
}
