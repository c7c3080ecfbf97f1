#include "toolkit/CListUI.h"

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/SkinValue.h"

#include <algorithm>

CListUI::CListUI() : m_header(std::make_unique<CListHeaderUI>())
{
    m_header->SetManager(nullptr, this);
}

CListUI::~CListUI() = default;

std::string_view CListUI::GetClass() const
{
    return "List";
}

void CListUI::EnableScrollBar(bool vertical, bool horizontal)
{
    m_vScroll = vertical;
    m_hScroll = horizontal;
    Invalidate();
}

void CListUI::UpdateLayoutIfDirty() const
{
    if (GetManager() && GetManager()->IsLayoutDirty())
        GetManager()->UpdateLayout();
}

UISize CListUI::GetScrollPos() const
{
    UpdateLayoutIfDirty();
    return UISize{0, m_scrollY};
}

UISize CListUI::GetScrollRange() const
{
    UpdateLayoutIfDirty();
    return UISize{0, std::max(0, m_contentHeight - m_viewRect.Height())};
}

void CListUI::SetScrollPos(UISize pos)
{
    const int range = GetScrollRange().cy;
    const int y = std::clamp(pos.cy, 0, range);
    if (y == m_scrollY)
        return;
    m_scrollY = y;
    NeedUpdate();
}

void CListUI::EnsureVisible(int index)
{
    UpdateLayoutIfDirty();
    if (index < 0 || index >= static_cast<int>(m_rowTops.size()))
        return;
    const int top = m_rowTops[static_cast<std::size_t>(index)];
    const int bottom = m_rowBottoms[static_cast<std::size_t>(index)];
    int y = m_scrollY;
    if (top < y)
        y = top;
    else if (bottom > y + m_viewRect.Height())
        y = bottom - m_viewRect.Height();
    SetScrollPos(UISize{0, y});
}

void CListUI::SetDefaultRowHeight(int height)
{
    if (height <= 0 || height == m_defaultRowHeight)
        return;
    m_defaultRowHeight = height;
    NeedUpdate();
}

UIRect CListUI::GetViewRect() const
{
    UpdateLayoutIfDirty();
    return m_viewRect;
}

void CListUI::GetRowsInView(int& first, int& last) const
{
    UpdateLayoutIfDirty();
    const int viewTop = m_scrollY;
    const int viewBottom = m_scrollY + m_viewRect.Height();
    // First row ending below the view's top; last row starting above the view's bottom.
    first
        = static_cast<int>(std::upper_bound(m_rowBottoms.begin(), m_rowBottoms.end(), viewTop) - m_rowBottoms.begin());
    last = static_cast<int>(std::lower_bound(m_rowTops.begin(), m_rowTops.end(), viewBottom) - m_rowTops.begin()) - 1;
    // Rows removed since the last layout are gone; hidden rows at the edges take no room.
    last = std::min(last, GetCount() - 1);
    while (first <= last && !GetItemAt(first)->IsVisible())
        ++first;
    while (last >= first && !GetItemAt(last)->IsVisible())
        --last;
}

void CListUI::SetManager(CPaintManagerUI* manager, CControlUI* parent)
{
    CVerticalLayoutUI::SetManager(manager, parent);
    m_header->SetManager(manager, this);
}

CControlUI* CListUI::FindSubControl(std::string_view name)
{
    if (GetName().view() == name)
        return this;
    if (CControlUI* found = m_header->FindSubControl(name))
        return found;
    for (const auto& row : Children())
        if (CControlUI* found = row->FindSubControl(name))
            return found;
    return nullptr;
}

void CListUI::VisitTree(const std::function<bool(CControlUI&)>& visit)
{
    if (!visit(*this))
        return;
    m_header->VisitTree(visit);
    for (const auto& row : Children())
        row->VisitTree(visit);
}

void CListUI::SetPos(UIRect rect)
{
    CControlUI::SetPos(rect);
    const UIRect inner = InnerRect(rect);
    int viewTop = inner.top;
    if (m_header->IsVisible() && m_header->GetCount() > 0) {
        const int h = m_header->GetFixedHeight();
        m_header->SetPos(UIRect{inner.left, inner.top, inner.right, inner.top + h});
        viewTop += h;
    }
    m_viewRect = UIRect{inner.left, viewTop, inner.right, std::max(viewTop, inner.bottom)};

    // Content positions of the rows (hidden rows take no room).
    const auto& rows = Children();
    m_rowTops.resize(rows.size());
    m_rowBottoms.resize(rows.size());
    int y = 0;
    bool first = true;
    m_shownRows = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        CControlUI& row = *rows[i];
        if (!row.IsVisible() || row.IsFloat()) {
            m_rowTops[i] = m_rowBottoms[i] = y;
            continue;
        }
        ++m_shownRows;
        if (!first)
            y += GetChildPadding();
        first = false;
        const UIRect pad = row.GetPadding();
        y += pad.top;
        const int fixed = row.GetFixedHeight();
        const int height = fixed > 0 ? fixed : m_defaultRowHeight;
        m_rowTops[i] = y;
        m_rowBottoms[i] = y + height;
        y += height + pad.bottom;
    }
    m_contentHeight = y;
    m_scrollY = std::clamp(m_scrollY, 0, std::max(0, m_contentHeight - m_viewRect.Height()));

    // The scroll bar covers the right edge of the list where the inset leaves it no room.
    int rowsWidth = m_viewRect.Width();
    if (m_vScroll && m_contentHeight > m_viewRect.Height())
        rowsWidth -= std::max(0, kScrollBarWidth - (rect.right - inner.right));

    // Rows get their rectangles; their insides wait until they are in view or asked for.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        CControlUI& row = *rows[i];
        if (!row.IsVisible())
            continue;
        if (row.IsFloat()) {
            PlaceFloat(row, rect);
            continue;
        }
        const UIRect pad = row.GetPadding();
        const int x = m_viewRect.left + pad.left;
        const int width = row.GetFixedWidth() > 0 ? row.GetFixedWidth() : std::max(0, rowsWidth - pad.left - pad.right);
        const int top = m_viewRect.top + m_rowTops[i] - m_scrollY;
        row.SetRawPos(UIRect{x, top, x + width, top + (m_rowBottoms[i] - m_rowTops[i])});
        row.SetLayoutStale(true);
    }
    LayOutRowsInView();
}

int CListUI::GetShownRowCount() const
{
    UpdateLayoutIfDirty();
    return m_shownRows;
}

void CListUI::LayOutRowsInView()
{
    const int viewTop = m_scrollY;
    const int viewBottom = m_scrollY + m_viewRect.Height();
    const auto firstIt = std::upper_bound(m_rowBottoms.begin(), m_rowBottoms.end(), viewTop);
    const auto lastIt = std::lower_bound(m_rowTops.begin(), m_rowTops.end(), viewBottom);
    for (auto i = static_cast<std::size_t>(firstIt - m_rowBottoms.begin());
         i < static_cast<std::size_t>(lastIt - m_rowTops.begin()); ++i) {
        CControlUI& row = *Children()[i];
        if (row.IsVisible() && !row.IsFloat())
            row.SetPos(row.RawPos());
    }
}

void CListUI::SetScrollBarColors(const ScrollBarColors& colors)
{
    m_scrollColors = colors;
    Invalidate();
}

void CListUI::SetAttribute(std::string_view name, std::string_view value)
{
    ScrollBarColors colors = m_scrollColors;
    UIColor* color = name == "scrolltrackcolor" ? &colors.track
        : name == "scrollthumbcolor"            ? &colors.thumb
        : name == "scrollthumbhotcolor"         ? &colors.hotThumb
        : name == "scrollthumbpushedcolor"      ? &colors.pushedThumb
                                                : nullptr;
    if (color != nullptr) {
        *color = SkinValue::Color(value, *color);
        SetScrollBarColors(colors);
        return;
    }
    if (name == "vscrollbar")
        EnableScrollBar(SkinValue::Bool(value, true), m_hScroll);
    else if (name == "hscrollbar")
        EnableScrollBar(m_vScroll, SkinValue::Bool(value));
    else if (name == "header")
        m_header->SetVisible(value != "hidden" && value != "false");
    else if (name == "rowheight" || name == "itemheight")
        SetDefaultRowHeight(SkinValue::Int(value));
    else
        CVerticalLayoutUI::SetAttribute(name, value);
}
