#include "toolkit/CVerticalLayoutUI.h"

#include <algorithm>

std::string_view CVerticalLayoutUI::GetClass() const
{
    return "VerticalLayout";
}

void CVerticalLayoutUI::SetPos(UIRect rect)
{
    CControlUI::SetPos(rect);
    const UIRect inner = InnerRect(rect);

    // First pass: room taken by fixed heights, margins and child padding; count the fill children.
    int taken = 0;
    int fillCount = 0;
    int placed = 0;
    for (const auto& child : Children()) {
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const UIRect pad = child->GetPadding();
        const UISize want = child->EstimateSize(UISize{inner.Width() - pad.left - pad.right, inner.Height()});
        taken += pad.top + pad.bottom + std::max(want.cy, 0);
        if (want.cy <= 0)
            ++fillCount;
        ++placed;
    }
    if (placed > 1)
        taken += GetChildPadding() * (placed - 1);
    const int rest = std::max(0, inner.Height() - taken);
    const int fillEach = fillCount > 0 ? rest / fillCount : 0;
    const int fillLeftover = fillCount > 0 ? rest - fillEach * fillCount : 0;

    // Second pass: place them from the top.
    int y = inner.top;
    int fillsSeen = 0;
    for (const auto& child : Children()) {
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            PlaceFloat(*child, rect);
            continue;
        }
        const UIRect pad = child->GetPadding();
        const int availableWidth = std::max(0, inner.Width() - pad.left - pad.right);
        const UISize want = child->EstimateSize(UISize{availableWidth, inner.Height()});
        int height = want.cy;
        if (height <= 0) {
            height = fillEach;
            if (++fillsSeen == fillCount)
                height += fillLeftover;
        }
        const int width = want.cx > 0 ? want.cx : availableWidth;
        y += pad.top;
        const int x = inner.left + pad.left;
        child->SetPos(UIRect{x, y, x + width, y + height});
        y += height + pad.bottom + GetChildPadding();
    }
}
