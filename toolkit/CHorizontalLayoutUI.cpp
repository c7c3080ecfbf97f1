#include "toolkit/CHorizontalLayoutUI.h"

#include <algorithm>

std::string_view CHorizontalLayoutUI::GetClass() const
{
    return "HorizontalLayout";
}

void CHorizontalLayoutUI::SetPos(UIRect rect)
{
    CControlUI::SetPos(rect);
    const UIRect inner = InnerRect(rect);

    // First pass: room taken by fixed widths, margins and child padding; count the fill children.
    int taken = 0;
    int fillCount = 0;
    int placed = 0;
    for (const auto& child : Children()) {
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const UIRect pad = child->GetPadding();
        const UISize want = child->EstimateSize(UISize{inner.Width(), inner.Height() - pad.top - pad.bottom});
        taken += pad.left + pad.right + std::max(want.cx, 0);
        if (want.cx <= 0)
            ++fillCount;
        ++placed;
    }
    if (placed > 1)
        taken += GetChildPadding() * (placed - 1);
    const int rest = std::max(0, inner.Width() - taken);
    const int fillEach = fillCount > 0 ? rest / fillCount : 0;
    const int fillLeftover = fillCount > 0 ? rest - fillEach * fillCount : 0;

    // Second pass: place them from the left.
    int x = inner.left;
    int fillsSeen = 0;
    for (const auto& child : Children()) {
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            PlaceFloat(*child, rect);
            continue;
        }
        const UIRect pad = child->GetPadding();
        const int availableHeight = std::max(0, inner.Height() - pad.top - pad.bottom);
        const UISize want = child->EstimateSize(UISize{inner.Width(), availableHeight});
        int width = want.cx;
        if (width <= 0) {
            width = fillEach;
            if (++fillsSeen == fillCount)
                width += fillLeftover;
        }
        const int height = want.cy > 0 ? want.cy : availableHeight;
        x += pad.left;
        const int y = inner.top + pad.top;
        child->SetPos(UIRect{x, y, x + width, y + height});
        x += width + pad.right + GetChildPadding();
    }
}
