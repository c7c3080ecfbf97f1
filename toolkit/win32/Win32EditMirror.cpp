#include "toolkit/win32/Win32EditMirror.h"

#include "toolkit/CEditUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/InViewWalk.h"
#include "toolkit/win32/Win32Text.h"
#include "toolkit/win32/Win32TreePainter.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// Places an EDIT over every edit wholly in view. An edit cut by a list's edge shows its painted
// text until it is wholly in view.
class EditPlacer final : public IInViewVisitor {
public:
    explicit EditPlacer(std::function<void(CEditUI&)> place) : m_place(std::move(place)) { }

    bool Enter(CControlUI& control, const UIRect& shown, InViewPlace) override
    {
        auto* edit = dynamic_cast<CEditUI*>(&control);
        if (edit == nullptr)
            return true;
        if (shown == control.GetPos())
            m_place(*edit);
        return false;
    }

private:
    std::function<void(CEditUI&)> m_place;
};

std::wstring TextOf(HWND edit)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

Win32EditMirror::~Win32EditMirror()
{
    Clear();
}

void Win32EditMirror::Clear()
{
    for (auto& [control, entry] : m_edits)
        DestroyWindow(entry.hwnd);
    m_edits.clear();
    for (HWND spare : m_spare)
        DestroyWindow(spare);
    m_spare.clear();
}

void Win32EditMirror::Forget(const CControlUI& control)
{
    if (auto entry = m_edits.extract(&control))
        Retire(entry.mapped().hwnd);
}

void Win32EditMirror::Retire(HWND edit)
{
    // Kept hidden for the next edit that comes into view: making windows costs more than
    // showing them again, most of all while a long list scrolls.
    if (GetFocus() == edit)
        SetFocus(m_window);
    ShowWindow(edit, SW_HIDE);
    if (m_spare.size() < kSpareEdits)
        m_spare.push_back(edit);
    else
        DestroyWindow(edit);
}

HWND Win32EditMirror::EditOf(const CControlUI& control) const
{
    auto found = m_edits.find(&control);
    return found != m_edits.end() ? found->second.hwnd : nullptr;
}

CEditUI* Win32EditMirror::ControlOf(HWND edit) const
{
    for (const auto& [control, entry] : m_edits) {
        if (entry.hwnd == edit)
            return const_cast<CEditUI*>(static_cast<const CEditUI*>(control));
    }
    return nullptr;
}

void Win32EditMirror::Sync(CPaintManagerUI& manager, Win32Scale scale)
{
    ++m_generation;
    m_scale = scale;
    m_moves = BeginDeferWindowPos(static_cast<int>(m_edits.size()) + 8);
    if (CControlUI* root = manager.GetRoot()) {
        EditPlacer placer([this, &manager](CEditUI& edit) { Place(edit, manager); });
        WalkInView(*root, root->GetPos(), placer);
    }
    if (m_moves != nullptr)
        EndDeferWindowPos(m_moves);
    m_moves = nullptr;
    // EDITs of edits no longer in view go.
    std::vector<const CControlUI*> gone;
    for (const auto& [control, entry] : m_edits) {
        if (entry.generation != m_generation)
            gone.push_back(control);
    }
    for (const CControlUI* control : gone)
        Forget(*control);
}

void Win32EditMirror::Place(CEditUI& edit, CPaintManagerUI& manager)
{
    Entry& entry = m_edits[&edit];
    entry.generation = m_generation;
    const DWORD style = WS_CHILD | ES_AUTOHSCROLL | (edit.IsReadOnly() ? ES_READONLY : 0)
        | (edit.IsPasswordMode() ? ES_PASSWORD : 0) | (edit.IsEnabled() ? 0 : WS_DISABLED) | WS_TABSTOP;
    const std::wstring text = WideOf(edit.GetText().str());
    const bool fresh = entry.hwnd == nullptr;
    if (fresh && !m_spare.empty()) {
        entry.hwnd = m_spare.back();
        m_spare.pop_back();
        entry.placed = UIRect{};
        entry.font = nullptr;
        SendMessageW(entry.hwnd, EM_SETPASSWORDCHAR, edit.IsPasswordMode() ? L'*' : 0, 0);
    } else if (fresh) {
        m_settingText = true;
        entry.hwnd = CreateWindowExW(0, L"EDIT", text.c_str(), style, 0, 0, 1, 1, m_window, nullptr,
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE)), nullptr);
        m_settingText = false;
        if (entry.hwnd == nullptr) {
            m_edits.erase(&edit);
            return;
        }
        SetWindowSubclass(entry.hwnd, &Win32EditMirror::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    if (fresh || entry.readOnly != edit.IsReadOnly()) {
        SendMessageW(entry.hwnd, EM_SETREADONLY, edit.IsReadOnly() ? TRUE : FALSE, 0);
        entry.readOnly = edit.IsReadOnly();
    }
    if (fresh || entry.enabled != edit.IsEnabled()) {
        EnableWindow(entry.hwnd, edit.IsEnabled());
        entry.enabled = edit.IsEnabled();
    }
    if (TextOf(entry.hwnd) != text) {
        m_settingText = true;
        SetWindowTextW(entry.hwnd, text.c_str());
        m_settingText = false;
    }
    HFONT font = m_painter.FontOf(manager.GetFont(edit.GetFont()), m_scale);
    if (font != entry.font) {
        SendMessageW(entry.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        entry.font = font;
    }
    // The EDIT fills the inside of the control's border.
    const UIRect pos = edit.GetPos();
    const int border = std::max(0, edit.GetBorderSize());
    const UIRect padding = edit.GetTextPadding();
    const UIRect inside = m_scale.ToPixels(UIRect{
        pos.left + border + padding.left, pos.top + border, pos.right - border - padding.right, pos.bottom - border});
    if (inside == entry.placed && IsWindowVisible(entry.hwnd))
        return;
    entry.placed = inside;
    // The moves of one pass are made together, as one change of the window.
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;
    if (m_moves != nullptr)
        m_moves = DeferWindowPos(m_moves, entry.hwnd, nullptr, inside.left, inside.top, std::max(1, inside.Width()),
            std::max(1, inside.Height()), flags);
    if (m_moves == nullptr)
        SetWindowPos(entry.hwnd, nullptr, inside.left, inside.top, std::max(1, inside.Width()),
            std::max(1, inside.Height()), flags);
}

void Win32EditMirror::HandleCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != EN_CHANGE || m_settingText)
        return;
    HWND hwnd = reinterpret_cast<HWND>(lParam);
    if (CEditUI* edit = ControlOf(hwnd)) {
        const std::wstring text = TextOf(hwnd);
        edit->UserEdited(CDuiString(AnsiOf(text.c_str())));
    }
}

LRESULT CALLBACK Win32EditMirror::EditProc(
    HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* mirror = reinterpret_cast<Win32EditMirror*>(data);
    // Tab leaves the EDIT for the window's next control, as it leaves any other control.
    if (message == WM_KEYDOWN && wParam == VK_TAB) {
        SendMessageW(mirror->m_window, WM_KEYDOWN, VK_TAB, 0);
        return 0;
    }
    if (message == WM_CHAR && wParam == L'\t')
        return 0;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(edit, &Win32EditMirror::EditProc, 1);
    return DefSubclassProc(edit, message, wParam, lParam);
}
