#pragma once

#include <algorithm>
#include <cstdint>

// Basic value types shared by the whole toolkit: geometry, colours, window handles,
// result codes, text alignment and the window style bits the program passes to Create.

struct UIPoint {
    int x = 0;
    int y = 0;
    bool operator==(const UIPoint&) const = default;
};

// A rectangle in pixels; right and bottom are exclusive.
struct UIRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Intersects(const UIRect& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    // The part both rectangles cover (empty when they do not meet).
    UIRect Intersected(const UIRect& o) const
    {
        return UIRect{
            std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    bool Contains(UIPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool operator==(const UIRect&) const = default;
};

// A pair of extents, or an x/y pair (fixed position, scroll position, scroll range).
struct UISize {
    int cx = 0;
    int cy = 0;
    bool operator==(const UISize&) const = default;
};

// Colours are 32-bit ARGB, written 0xAARRGGBB; 0 means "not set" (nothing is painted).
using UIColor = std::uint32_t;
// Whether a colour puts anything on the screen (an alpha above 0).
inline bool IsPainted(UIColor colour)
{
    return (colour >> 24) != 0;
}

// The native window of a CWindowWnd. Each backend derives its own window object from this;
// the core only passes the pointer around (CWindowWnd::GetHWND).
class INativeWindow {
public:
    virtual ~INativeWindow() = default;
};
using UIWindowHandle = INativeWindow*;

// Result codes of the web browser host questions (CWebBrowserEventHandler).
using UIResult = std::int32_t;
inline constexpr UIResult kUIResultOk = 0;                                              // S_OK
inline constexpr UIResult kUIResultFalse = 1;                                           // S_FALSE
inline constexpr UIResult kUIResultNotImplemented = static_cast<UIResult>(0x80004001u); // E_NOTIMPL

// Text alignment flags of labels, texts, buttons and edits (combine one horizontal, one vertical).
enum UITextAlign : std::uint32_t {
    kAlignLeft = 0x0,
    kAlignCenter = 0x1,
    kAlignRight = 0x2,
    kAlignTop = 0x0,
    kAlignVCenter = 0x4,
    kAlignBottom = 0x8,
    kAlignWordBreak = 0x10, // wrap long text onto several lines
    // A text too long for its control is shortened in the middle, so that its end (a path's file
    // name) stays in view; the whole text is the control's tool tip then.
    kPathEllipsis = 0x20,
};

// Window style bits that change what the toolkit does (the others are accepted and ignored).
inline constexpr std::uint32_t kWindowStyleVisible = 0x10000000u; // show the window once it is created
inline constexpr std::uint32_t kWindowStylePopup = 0x80000000u;   // a popup window (owned, no taskbar entry)
