#pragma once

#include "toolkit/UIDefs.h"

#include <optional>

class CListUI;

// Where a list's vertical scroll bar lies (window coordinates): the track along the right edge
// of the view and the thumb in it, its length for the share of the rows in view.
struct Win32ScrollBar {
    UIRect track;
    UIRect thumb;
    int range = 0; // the list's largest scroll position

    // None when the list has no scroll bar or nothing to scroll.
    static std::optional<Win32ScrollBar> Of(const CListUI& list);
    // The scroll position that puts the thumb's top at y.
    int PositionForThumbTop(int y) const;
};
