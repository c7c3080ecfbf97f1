#include "toolkit/win32/Win32TreePainter.h"

#include "toolkit/CButtonUI.h"
#include "toolkit/CContainerUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/win32/GdiPlus.h"
#include "toolkit/win32/Win32Pictures.h"
#include "toolkit/win32/Win32ScrollBar.h"
#include "toolkit/win32/Win32Text.h"

#include "platform/TextEncoding.h"

#include <algorithm>

namespace {

bool Visible(UIColor colour)
{
    return (colour >> 24) != 0;
}

UIRect Intersection(const UIRect& a, const UIRect& b)
{
    return UIRect{
        std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Gdiplus::Rect RectOf(const UIRect& r)
{
    return Gdiplus::Rect(r.left, r.top, r.Width(), r.Height());
}

COLORREF GdiColour(UIColor colour)
{
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

bool Interactive(const CControlUI& control)
{
    return dynamic_cast<const CButtonUI*>(&control) != nullptr;
}

// Which of the state's looks a control shows now.
struct StateOf {
    StateOf(const CControlUI& control, const Win32PointerState& pointer)
            : enabled(control.IsEnabled()), hot(Interactive(control) && enabled && pointer.hot == &control),
              pressed(hot && pointer.pressed == &control)
    {
        if (const auto* option = dynamic_cast<const COptionUI*>(&control))
            selected = option->IsSelected();
    }
    bool enabled;
    bool hot;
    bool pressed;
    bool selected = false;
};

UIColor Background(const CControlUI& control, const StateOf& state)
{
    if (const auto* button = dynamic_cast<const CButtonUI*>(&control)) {
        if (state.pressed && Visible(button->GetPushedBkColor()))
            return button->GetPushedBkColor();
        if (state.hot && Visible(button->GetHotBkColor()))
            return button->GetHotBkColor();
    }
    if (const auto* option = dynamic_cast<const COptionUI*>(&control)) {
        if (state.selected && Visible(option->GetSelectedBkColor()))
            return option->GetSelectedBkColor();
    }
    return control.GetBkColor();
}

std::string StatePicture(const CControlUI& control, const StateOf& state)
{
    const auto* button = dynamic_cast<const CButtonUI*>(&control);
    if (button == nullptr)
        return {};
    if (!state.enabled && !button->GetDisabledImage().IsEmpty())
        return button->GetDisabledImage().str();
    if (state.pressed && !button->GetPushedImage().IsEmpty())
        return button->GetPushedImage().str();
    if (state.hot && !button->GetHotImage().IsEmpty())
        return button->GetHotImage().str();
    if (const auto* option = dynamic_cast<const COptionUI*>(&control)) {
        if (state.selected && !option->GetSelectedImage().IsEmpty())
            return option->GetSelectedImage().str();
    }
    return button->GetNormalImage().str();
}

UIColor TextColour(const CLabelUI& label, CPaintManagerUI& manager, const StateOf& state)
{
    if (!state.enabled)
        return Visible(label.GetDisabledTextColor()) ? label.GetDisabledTextColor() : 0xFF999999U;
    if (const auto* button = dynamic_cast<const CButtonUI*>(&label)) {
        // The hot text colour belongs to the hot look: over the normal background it could be
        // the background's own colour and the label would vanish.
        const bool hotLookDrawn = state.hot
            && (Visible(button->GetHotBkColor()) || !button->GetHotImage().IsEmpty()
                || (state.pressed && (Visible(button->GetPushedBkColor()) || !button->GetPushedImage().IsEmpty())));
        if (hotLookDrawn && Visible(button->GetHotTextColor()))
            return button->GetHotTextColor();
    }
    if (const auto* option = dynamic_cast<const COptionUI*>(&label)) {
        if (state.selected && Visible(option->GetSelectedTextColor()))
            return option->GetSelectedTextColor();
    }
    const UIColor text = label.GetTextColor() != 0 ? label.GetTextColor() : manager.GetDefaultTextColor();
    return Visible(text) ? text : 0xFF000000U;
}

UINT DrawTextFlags(std::uint32_t style)
{
    UINT flags = DT_NOPREFIX;
    if (style & kAlignCenter)
        flags |= DT_CENTER;
    else if (style & kAlignRight)
        flags |= DT_RIGHT;
    if (style & kAlignWordBreak) {
        flags |= DT_WORDBREAK;
    } else {
        flags |= DT_SINGLELINE;
        if (style & kAlignVCenter)
            flags |= DT_VCENTER;
        else if (style & kAlignBottom)
            flags |= DT_BOTTOM;
    }
    if (style & kPathEllipsis)
        flags |= DT_PATH_ELLIPSIS;
    return flags;
}

} // namespace

void Win32TreePainter::Fill(Gdiplus::Graphics& graphics, HDC dc, const UIRect& r, UIColor colour) const
{
    if (!Visible(colour) || r.IsEmpty())
        return;
    if ((colour >> 24) == 0xFF) {
        // Opaque colours go through GDI, which fills many times faster than GDI+ blends.
        const UIRect pixels = m_scale.ToPixels(r);
        const RECT box{pixels.left, pixels.top, pixels.right, pixels.bottom};
        HBRUSH brush = CreateSolidBrush(GdiColour(colour));
        FillRect(dc, &box, brush);
        DeleteObject(brush);
        return;
    }
    Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
    graphics.FillRectangle(&brush, RectOf(r));
}

Win32TreePainter::~Win32TreePainter()
{
    for (auto& [key, font] : m_fonts)
        DeleteObject(font);
}

HFONT Win32TreePainter::FontOf(const UIFont& font, Win32Scale scale)
{
    const int height = scale.ToPixels(font.size);
    const auto key = std::make_tuple(font.family, height, font.bold, font.italic, font.underline);
    auto found = m_fonts.find(key);
    if (found != m_fonts.end())
        return found->second;
    LOGFONTW description{};
    description.lfHeight = -height;
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = font.italic ? TRUE : FALSE;
    description.lfUnderline = font.underline ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring family = Utf8ToWide(font.family.c_str());
    wcsncpy(description.lfFaceName, family.c_str(), LF_FACESIZE - 1);
    HFONT made = CreateFontIndirectW(&description);
    m_fonts.emplace(key, made);
    return made;
}

void Win32TreePainter::Paint(
    HDC target, CPaintManagerUI& manager, UISize size, const Win32PointerState& pointer, Win32Scale scale)
{
    if (size.cx <= 0 || size.cy <= 0)
        return;
    m_scale = scale;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, size.cx, size.cy);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    PaintInto(dc, manager, size, pointer);
    BitBlt(target, 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

HBITMAP Win32TreePainter::PaintToBitmap(
    CPaintManagerUI& manager, UISize size, const Win32PointerState& pointer, Win32Scale scale)
{
    m_scale = scale;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr)
        return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    PaintInto(dc, manager, size, pointer);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return bitmap;
}

void Win32TreePainter::PaintInto(HDC dc, CPaintManagerUI& manager, UISize size, const Win32PointerState& pointer)
{
    Gdiplus::Graphics graphics(dc);
    // Colours and pictures are drawn in the tree's units, scaled; pictures are smoothed.
    graphics.ScaleTransform(static_cast<Gdiplus::REAL>(m_scale.factor), static_cast<Gdiplus::REAL>(m_scale.factor));
    if (m_scale.factor != 1.0) {
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    }
    const UISize units = m_scale.ToUnits(size);
    const UIRect all{0, 0, units.cx, units.cy};
    Fill(graphics, dc, all, 0xFFFFFFFFU);
    if (CControlUI* root = manager.GetRoot())
        PaintControl(graphics, dc, *root, manager, all, pointer);
}

void Win32TreePainter::PaintControl(Gdiplus::Graphics& graphics, HDC dc, CControlUI& control, CPaintManagerUI& manager,
    const UIRect& clip, const Win32PointerState& pointer)
{
    if (!control.IsVisible())
        return;
    const UIRect pos = control.GetPos();
    const UIRect shown = Intersection(pos, clip);
    if (shown.IsEmpty())
        return;
    graphics.SetClip(RectOf(shown));
    const int saved = SaveDC(dc);
    const UIRect shownPixels = m_scale.ToPixels(shown);
    IntersectClipRect(dc, shownPixels.left, shownPixels.top, shownPixels.right, shownPixels.bottom);
    PaintLook(graphics, dc, control, manager, pointer);
    RestoreDC(dc, saved);

    if (auto* list = dynamic_cast<CListUI*>(&control)) {
        PaintListRows(graphics, dc, *list, manager, shown, pointer);
    } else if (auto* container = dynamic_cast<CContainerUI*>(&control)) {
        // Later children paint over earlier ones (floating controls over the layout beneath them).
        for (int i = 0; i < container->GetCount(); ++i) {
            if (CControlUI* child = container->GetItemAt(i))
                PaintControl(graphics, dc, *child, manager, shown, pointer);
        }
    }
    graphics.ResetClip();
}

void Win32TreePainter::PaintLook(Gdiplus::Graphics& graphics, HDC dc, CControlUI& control, CPaintManagerUI& manager,
    const Win32PointerState& pointer)
{
    const UIRect pos = control.GetPos();
    const StateOf state(control, pointer);
    Fill(graphics, dc, pos, Background(control, state));
    if (Gdiplus::Bitmap* picture = m_pictures.Picture(control.GetBkImage().str()))
        graphics.DrawImage(picture, RectOf(pos));
    if (Gdiplus::Bitmap* picture = m_pictures.Picture(StatePicture(control, state)))
        graphics.DrawImage(picture, RectOf(pos));
    if (auto* progress = dynamic_cast<CProgressUI*>(&control)) {
        const double fraction = std::clamp(progress->GetFillFraction(), 0.0, 1.0);
        UIRect filled = pos;
        filled.right = pos.left + static_cast<int>(pos.Width() * fraction + 0.5);
        if (!filled.IsEmpty()) {
            if (Gdiplus::Bitmap* fore = m_pictures.Picture(progress->GetForeImage().str())) {
                // The picture keeps its full size; only the finished part of it shows.
                Gdiplus::Region previous;
                graphics.GetClip(&previous);
                graphics.IntersectClip(RectOf(filled));
                graphics.DrawImage(fore, RectOf(pos));
                graphics.SetClip(&previous);
            } else {
                Fill(graphics, dc, filled, 0xF0FF2D8CU);
            }
        }
    }
    if (auto* label = dynamic_cast<CLabelUI*>(&control))
        PaintText(dc, control, manager, TextColour(*label, manager, state));

    const int border = control.GetBorderSize();
    if (border > 0) {
        const UIColor colour = Visible(control.GetBorderColor()) ? control.GetBorderColor() : 0xFFAAAAAAU;
        Fill(graphics, dc, UIRect{pos.left, pos.top, pos.right, pos.top + border}, colour);
        Fill(graphics, dc, UIRect{pos.left, pos.bottom - border, pos.right, pos.bottom}, colour);
        Fill(graphics, dc, UIRect{pos.left, pos.top + border, pos.left + border, pos.bottom - border}, colour);
        Fill(graphics, dc, UIRect{pos.right - border, pos.top + border, pos.right, pos.bottom - border}, colour);
    }
    if (pointer.focused == &control && Interactive(control)) {
        // A ring inside the border shows where Space or Enter goes: solid in the window's focus
        // colour, else dotted in the text colour.
        const int inset = std::max(0, border) + 2;
        const Gdiplus::Rect ring(
            pos.left + inset, pos.top + inset, pos.Width() - 2 * inset - 1, pos.Height() - 2 * inset - 1);
        if (Visible(manager.GetFocusColor())) {
            Gdiplus::Pen pen(Gdiplus::Color(manager.GetFocusColor()), 2);
            graphics.DrawRectangle(&pen, ring);
        } else {
            Gdiplus::Pen pen(Gdiplus::Color(TextColour(static_cast<CLabelUI&>(control), manager, state)), 1);
            pen.SetDashStyle(Gdiplus::DashStyleDot);
            graphics.DrawRectangle(&pen, ring);
        }
    }
}

void Win32TreePainter::PaintText(HDC dc, CControlUI& control, CPaintManagerUI& manager, UIColor colour)
{
    auto& label = static_cast<CLabelUI&>(control);
    const CDuiString text = control.GetText();
    if (text.IsEmpty())
        return;
    const UIRect pos = control.GetPos();
    const int border = std::max(0, control.GetBorderSize());
    const UIRect padding = label.GetTextPadding();
    // Text is drawn at the screen's pixels with a font of the scaled size, so it stays crisp.
    const UIRect inner = m_scale.ToPixels(UIRect{pos.left + border + padding.left, pos.top + border + padding.top,
        pos.right - border - padding.right, pos.bottom - border - padding.bottom});
    RECT box{inner.left, inner.top, inner.right, inner.bottom};
    std::uint32_t style = label.GetTextStyle();
    if (dynamic_cast<CEditUI*>(&control) != nullptr)
        style = kAlignLeft | kAlignVCenter;
    std::wstring wide = WideOf(text.str());
    HGDIOBJ previous = SelectObject(dc, FontOf(manager.GetFont(label.GetFont()), m_scale));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GdiColour(colour));
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &box, DrawTextFlags(style));
    SelectObject(dc, previous);
}

void Win32TreePainter::PaintListRows(Gdiplus::Graphics& graphics, HDC dc, CListUI& list, CPaintManagerUI& manager,
    const UIRect& clip, const Win32PointerState& pointer)
{
    if (CListHeaderUI* header = list.GetHeader(); header != nullptr && header->IsVisible())
        PaintControl(graphics, dc, *header, manager, clip, pointer);
    // Rows are clipped to the view rectangle; only those in view are painted.
    const UIRect view = Intersection(list.GetViewRect(), clip);
    int first = 0;
    int last = -1;
    list.GetRowsInView(first, last);
    for (int i = first; i <= last; ++i) {
        if (CControlUI* row = list.GetItemAt(i))
            PaintControl(graphics, dc, *row, manager, view, pointer);
    }
    graphics.SetClip(RectOf(clip));
    PaintScrollBar(graphics, dc, list);
}

void Win32TreePainter::PaintScrollBar(Gdiplus::Graphics& graphics, HDC dc, CListUI& list)
{
    const std::optional<Win32ScrollBar> bar = Win32ScrollBar::Of(list);
    if (!bar)
        return;
    const CListUI::ScrollBarColors& colors = list.GetScrollBarColors();
    Fill(graphics, dc, bar->track, colors.track);
    Fill(graphics, dc, bar->thumb, colors.thumb);
}
