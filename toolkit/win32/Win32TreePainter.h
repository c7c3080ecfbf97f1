#pragma once

#include "toolkit/UIDefs.h"
#include "toolkit/UIFont.h"
#include "toolkit/win32/Win32GdiHandles.h"
#include "toolkit/win32/Win32Scale.h"

#include <windows.h>

#include <map>
#include <tuple>

class CControlUI;
class CLabelUI;
class CListUI;
class CPaintManagerUI;
class Win32Pictures;

namespace Gdiplus {
class Graphics;
}

// What the user is doing with the pointer and keyboard, as the painter shows it.
struct Win32PointerState {
    CControlUI* hot = nullptr;     // under the pointer
    CControlUI* pressed = nullptr; // the button went down on it and is still down
    CControlUI* focused = nullptr; // takes Space and Enter
};

// Paints a window's control tree: colours, borders, pictures of the skin (by state for buttons
// and options), aligned, padded and wrapped text, progress bars, the rows of lists in view with
// their scroll bars, and the keyboard focus ring. Paints through an off-screen bitmap so that
// a frame never shows half-drawn.
class Win32TreePainter {
public:
    explicit Win32TreePainter(Win32Pictures& pictures) : m_pictures(pictures) { }
    ~Win32TreePainter();
    Win32TreePainter(const Win32TreePainter&) = delete;
    Win32TreePainter& operator=(const Win32TreePainter&) = delete;

    // Paints manager's tree (its layout current) over a client area of pixels into target, the
    // tree's units scaled to the screen's pixels by scale.
    void Paint(HDC target, CPaintManagerUI& manager, UISize pixels, const Win32PointerState& pointer, Win32Scale scale);
    // The font of the window's table as a GDI font at scale (owned by the painter).
    HFONT FontOf(const UIFont& font, Win32Scale scale);
    // The same into a new 32-bit bitmap (screenshots); the caller deletes it.
    HBITMAP PaintToBitmap(CPaintManagerUI& manager, UISize pixels, const Win32PointerState& pointer, Win32Scale scale);

private:
    void PaintInto(HDC dc, CPaintManagerUI& manager, UISize pixels, const Win32PointerState& pointer);
    // One pass over what is in view (Win32TreePainter.cpp).
    class PaintPass;

    void PaintLook(Gdiplus::Graphics& graphics, HDC dc, CControlUI& control, CPaintManagerUI& manager,
        const Win32PointerState& pointer);
    void PaintScrollBar(Gdiplus::Graphics& graphics, HDC dc, CListUI& list);
    void Fill(Gdiplus::Graphics& graphics, HDC dc, const UIRect& r, UIColor colour) const;
    void PaintText(HDC dc, CLabelUI& label, CPaintManagerUI& manager, UIColor colour);

    Win32Pictures& m_pictures;
    Win32Scale m_scale; // of the window being painted
    std::map<std::tuple<std::string, int, bool, bool, bool>, GdiObject<HFONT>> m_fonts;
    bool m_offScreenFailed = false; // said once until painting off screen works again
};
