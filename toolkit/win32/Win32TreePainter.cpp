#include "toolkit/win32/Win32TreePainter.h"

#include "toolkit/CContainerUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/ControlLook.h"
#include "toolkit/InViewWalk.h"
#include "toolkit/win32/GdiPlus.h"
#include "toolkit/win32/Win32Failure.h"
#include "toolkit/win32/Win32GdiHandles.h"
#include "toolkit/win32/Win32Pictures.h"
#include "toolkit/win32/Win32ScrollBar.h"
#include "toolkit/win32/Win32Text.h"

#include "platform/TextEncoding.h"

#include <algorithm>

namespace {

Gdiplus::Rect RectOf(const UIRect& r)
{
    return Gdiplus::Rect(r.left, r.top, r.Width(), r.Height());
}

COLORREF GdiColour(UIColor colour)
{
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
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

// Paints each control in view clipped to its shown part, later ones over earlier ones; a list's
// scroll bar goes over its rows.
class Win32TreePainter::PaintPass final : public IInViewVisitor {
public:
    PaintPass(Win32TreePainter& painter, Gdiplus::Graphics& graphics, HDC dc, CPaintManagerUI& manager,
        const Win32PointerState& pointer)
            : m_painter(painter), m_graphics(graphics), m_dc(dc), m_manager(manager), m_pointer(pointer)
    {
    }

    bool Enter(CControlUI& control, const UIRect& shown, InViewPlace) override
    {
        m_graphics.SetClip(RectOf(shown));
        const SavedDCState saved(m_dc);
        const UIRect pixels = m_painter.m_scale.ToPixels(shown);
        IntersectClipRect(m_dc, pixels.left, pixels.top, pixels.right, pixels.bottom);
        m_painter.PaintLook(m_graphics, m_dc, control, m_manager, m_pointer);
        return true;
    }

    void Leave(CControlUI& control, const UIRect& shown) override
    {
        if (auto* list = dynamic_cast<CListUI*>(&control)) {
            m_graphics.SetClip(RectOf(shown));
            m_painter.PaintScrollBar(m_graphics, m_dc, *list);
        }
        m_graphics.ResetClip();
    }

private:
    Win32TreePainter& m_painter;
    Gdiplus::Graphics& m_graphics;
    HDC m_dc;
    CPaintManagerUI& m_manager;
    const Win32PointerState& m_pointer;
};

void Win32TreePainter::Fill(Gdiplus::Graphics& graphics, HDC dc, const UIRect& r, UIColor colour) const
{
    if (!IsPainted(colour) || r.IsEmpty())
        return;
    if ((colour >> 24) == 0xFF) {
        // Opaque colours go through GDI, which fills many times faster than GDI+ blends.
        const UIRect pixels = m_scale.ToPixels(r);
        const RECT box{pixels.left, pixels.top, pixels.right, pixels.bottom};
        const GdiObject<HBRUSH> brush(CreateSolidBrush(GdiColour(colour)));
        FillRect(dc, &box, brush.Get());
        return;
    }
    Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
    graphics.FillRectangle(&brush, RectOf(r));
}

Win32TreePainter::~Win32TreePainter() = default;

HFONT Win32TreePainter::FontOf(const UIFont& font, Win32Scale scale)
{
    const int height = scale.ToPixels(font.size);
    const auto key = std::make_tuple(font.family, height, font.bold, font.italic, font.underline);
    auto found = m_fonts.find(key);
    if (found != m_fonts.end())
        return found->second.Get();
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
    if (made == nullptr)
        ReportWin32Failure("CreateFontIndirectW(" + font.family + ")", GetLastError());
    m_fonts.emplace(key, GdiObject<HFONT>(made));
    return made;
}

void Win32TreePainter::Paint(
    HDC target, CPaintManagerUI& manager, UISize size, const Win32PointerState& pointer, Win32Scale scale)
{
    if (size.cx <= 0 || size.cy <= 0)
        return;
    m_scale = scale;
    // Painted off screen, so that a frame never shows half-drawn; straight into the window when
    // the system has no memory for the bitmap.
    const MemoryDC dc(target);
    const GdiObject<HBITMAP> bitmap(dc.Get() != nullptr ? CreateCompatibleBitmap(target, size.cx, size.cy) : nullptr);
    if (bitmap.Get() == nullptr) {
        if (!m_offScreenFailed)
            ReportWin32Failure(dc.Get() == nullptr ? "CreateCompatibleDC" : "CreateCompatibleBitmap", GetLastError());
        m_offScreenFailed = true;
        PaintInto(target, manager, size, pointer);
        return;
    }
    m_offScreenFailed = false;
    {
        const SelectedObject selected(dc.Get(), bitmap.Get());
        PaintInto(dc.Get(), manager, size, pointer);
        BitBlt(target, 0, 0, size.cx, size.cy, dc.Get(), 0, 0, SRCCOPY);
    }
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
    GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const MemoryDC dc(nullptr);
    if (bitmap.Get() == nullptr || dc.Get() == nullptr) {
        ReportWin32Failure(bitmap.Get() == nullptr ? "CreateDIBSection" : "CreateCompatibleDC", GetLastError());
        return nullptr;
    }
    {
        const SelectedObject selected(dc.Get(), bitmap.Get());
        PaintInto(dc.Get(), manager, size, pointer);
    }
    return bitmap.Release();
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
    if (CControlUI* root = manager.GetRoot()) {
        PaintPass pass(*this, graphics, dc, manager, pointer);
        WalkInView(*root, all, pass);
    }
}

void Win32TreePainter::PaintLook(Gdiplus::Graphics& graphics, HDC dc, CControlUI& control, CPaintManagerUI& manager,
    const Win32PointerState& pointer)
{
    const UIRect pos = control.GetPos();
    const ControlLook look = ReadLook(control, manager);
    const ShownLook shown = Shown(look,
        ControlState{pointer.hot == &control, pointer.hot == &control && pointer.pressed == &control,
            pointer.focused == &control});
    Fill(graphics, dc, pos, shown.background);
    if (Gdiplus::Bitmap* picture = m_pictures.Picture(look.bkImage))
        graphics.DrawImage(picture, RectOf(pos));
    if (Gdiplus::Bitmap* picture = m_pictures.Picture(look.PictureName(shown.picture)))
        graphics.DrawImage(picture, RectOf(pos));
    if (auto* progress = dynamic_cast<CProgressUI*>(&control)) {
        const UIRect filled = FilledPart(pos, progress->GetFillFraction(), progress->IsHorizontal());
        if (!filled.IsEmpty()) {
            if (Gdiplus::Bitmap* fore = m_pictures.Picture(progress->GetForeImage().str())) {
                // The picture keeps its full size; only the finished part of it shows.
                Gdiplus::Region previous;
                graphics.GetClip(&previous);
                graphics.IntersectClip(RectOf(filled));
                graphics.DrawImage(fore, RectOf(pos));
                graphics.SetClip(&previous);
            } else {
                Fill(graphics, dc, filled, kProgressFillColor);
            }
        }
    }
    if (auto* label = dynamic_cast<CLabelUI*>(&control))
        PaintText(dc, *label, manager, shown.text);

    const int border = look.borderSize;
    if (border > 0) {
        Fill(graphics, dc, UIRect{pos.left, pos.top, pos.right, pos.top + border}, shown.border);
        Fill(graphics, dc, UIRect{pos.left, pos.bottom - border, pos.right, pos.bottom}, shown.border);
        Fill(graphics, dc, UIRect{pos.left, pos.top + border, pos.left + border, pos.bottom - border}, shown.border);
        Fill(graphics, dc, UIRect{pos.right - border, pos.top + border, pos.right, pos.bottom - border}, shown.border);
    }
    if (shown.ring != 0) {
        const int inset = std::max(0, border) + 2;
        const Gdiplus::Rect ring(
            pos.left + inset, pos.top + inset, pos.Width() - 2 * inset - 1, pos.Height() - 2 * inset - 1);
        Gdiplus::Pen pen(Gdiplus::Color(shown.ring), shown.ringDotted ? 1.0F : 2.0F);
        if (shown.ringDotted)
            pen.SetDashStyle(Gdiplus::DashStyleDot);
        graphics.DrawRectangle(&pen, ring);
    }
}

void Win32TreePainter::PaintText(HDC dc, CLabelUI& label, CPaintManagerUI& manager, UIColor colour)
{
    const CDuiString text = label.GetText();
    if (text.IsEmpty())
        return;
    const UIRect pos = label.GetPos();
    const int border = std::max(0, label.GetBorderSize());
    const UIRect padding = label.GetTextPadding();
    // Text is drawn at the screen's pixels with a font of the scaled size, so it stays crisp.
    const UIRect inner = m_scale.ToPixels(UIRect{pos.left + border + padding.left, pos.top + border + padding.top,
        pos.right - border - padding.right, pos.bottom - border - padding.bottom});
    RECT box{inner.left, inner.top, inner.right, inner.bottom};
    std::uint32_t style = label.GetTextStyle();
    if (dynamic_cast<CEditUI*>(&label) != nullptr)
        style = kAlignLeft | kAlignVCenter;
    std::wstring wide = WideOf(text.str());
    const SelectedObject font(dc, FontOf(manager.GetFont(label.GetFont()), m_scale));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GdiColour(colour));
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &box, DrawTextFlags(style));
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
