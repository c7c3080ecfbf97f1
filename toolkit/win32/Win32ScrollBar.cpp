#include "toolkit/win32/Win32ScrollBar.h"

#include "toolkit/CListUI.h"

#include <algorithm>

namespace {
constexpr int kShortestThumb = 20;
}

std::optional<Win32ScrollBar> Win32ScrollBar::Of(const CListUI& list)
{
    const int range = list.GetScrollRange().cy;
    if (!list.IsVerticalScrollBarEnabled() || range <= 0)
        return std::nullopt;
    const UIRect view = list.GetViewRect();
    Win32ScrollBar bar;
    bar.range = range;
    bar.track = UIRect{view.right - CListUI::kScrollBarWidth, view.top, view.right, view.bottom};
    const long long height = view.Height();
    const int thumbHeight = std::clamp(
        static_cast<int>(height * height / (height + range)), kShortestThumb, std::max(kShortestThumb, view.Height()));
    const int top = view.top + static_cast<int>((height - thumbHeight) * list.GetScrollPos().cy / range);
    bar.thumb = UIRect{bar.track.left + 2, top, bar.track.right - 2, top + thumbHeight};
    return bar;
}

int Win32ScrollBar::PositionForThumbTop(int y) const
{
    const int travel = track.Height() - thumb.Height();
    if (travel <= 0)
        return 0;
    const long long offset = std::clamp(y - track.top, 0, travel);
    return static_cast<int>(offset * range / travel);
}
