#include "toolkit/CBoxLayoutUI.h"

#include <algorithm>

namespace {

// A rectangle, size or padding seen along a box's line ("main") and across it ("cross"),
// chosen when compiled: a layout pass over a long list asks it for every child.
template <bool horizontal>
struct Axes {
    int Main(UISize size) const { return horizontal ? size.cx : size.cy; }
    int Cross(UISize size) const { return horizontal ? size.cy : size.cx; }
    int MainLength(const UIRect& r) const { return horizontal ? r.Width() : r.Height(); }
    int CrossLength(const UIRect& r) const { return horizontal ? r.Height() : r.Width(); }
    int MainStart(const UIRect& r) const { return horizontal ? r.left : r.top; }
    int CrossStart(const UIRect& r) const { return horizontal ? r.top : r.left; }
    int MainEnd(const UIRect& r) const { return horizontal ? r.right : r.bottom; }
    int CrossEnd(const UIRect& r) const { return horizontal ? r.bottom : r.right; }
    UISize Size(int main, int cross) const { return horizontal ? UISize{main, cross} : UISize{cross, main}; }
    UIRect Rect(int main, int cross, int mainLength, int crossLength) const
    {
        return horizontal ? UIRect{main, cross, main + mainLength, cross + crossLength}
                          : UIRect{cross, main, cross + crossLength, main + mainLength};
    }
};

} // namespace

void CBoxLayoutUI::SetPos(UIRect rect)
{
    CControlUI::SetPos(rect);
    if (m_orientation == Orientation::Horizontal)
        LayOut<true>(rect);
    else
        LayOut<false>(rect);
}

template <bool horizontal>
void CBoxLayoutUI::LayOut(UIRect rect)
{
    const UIRect inner = InnerRect(rect);
    const Axes<horizontal> axes;

    // First pass: room taken by fixed lengths, margins and child padding; count the fill children.
    int taken = 0;
    int fillCount = 0;
    int placed = 0;
    for (const auto& child : Children()) {
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const UIRect pad = child->GetPadding();
        const int crossRoom = axes.CrossLength(inner) - axes.CrossStart(pad) - axes.CrossEnd(pad);
        const UISize want = child->EstimateSize(axes.Size(axes.MainLength(inner), crossRoom));
        taken += axes.MainStart(pad) + axes.MainEnd(pad) + std::max(axes.Main(want), 0);
        if (axes.Main(want) <= 0)
            ++fillCount;
        ++placed;
    }
    if (placed > 1)
        taken += GetChildPadding() * (placed - 1);
    const int rest = std::max(0, axes.MainLength(inner) - taken);
    const int fillEach = fillCount > 0 ? rest / fillCount : 0;
    const int fillLeftover = fillCount > 0 ? rest - fillEach * fillCount : 0;

    // Second pass: place them from the start of the line.
    int main = axes.MainStart(inner);
    int fillsSeen = 0;
    for (const auto& child : Children()) {
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            PlaceFloat(*child, rect);
            continue;
        }
        const UIRect pad = child->GetPadding();
        const int crossRoom = std::max(0, axes.CrossLength(inner) - axes.CrossStart(pad) - axes.CrossEnd(pad));
        const UISize want = child->EstimateSize(axes.Size(axes.MainLength(inner), crossRoom));
        int length = axes.Main(want);
        if (length <= 0) {
            length = fillEach;
            if (++fillsSeen == fillCount)
                length += fillLeftover;
        }
        const int crossLength = axes.Cross(want) > 0 ? axes.Cross(want) : crossRoom;
        main += axes.MainStart(pad);
        child->SetPos(axes.Rect(main, axes.CrossStart(inner) + axes.CrossStart(pad), length, crossLength));
        main += length + axes.MainEnd(pad) + GetChildPadding();
    }
}
