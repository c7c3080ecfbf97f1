#include "toolkit/win32/Win32WindowInput.h"

#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/InViewWalk.h"
#include "toolkit/win32/Win32EditMirror.h"
#include "toolkit/win32/Win32HitTest.h"
#include "toolkit/win32/Win32ScrollBar.h"

#include <vector>

namespace {

constexpr int kWheelStep = 60; // pixels per wheel notch

// The enabled button or option at point (the control itself or one holding it), or null.
CControlUI* ButtonAt(CPaintManagerUI& manager, UIPoint point)
{
    for (CControlUI* hit = ControlAt(manager, point); hit != nullptr; hit = hit->GetParent()) {
        if (dynamic_cast<CButtonUI*>(hit) != nullptr)
            return hit->IsEnabled() ? hit : nullptr;
    }
    return nullptr;
}

CListUI* ListAt(CPaintManagerUI& manager, UIPoint point)
{
    for (CControlUI* hit = ControlAt(manager, point); hit != nullptr; hit = hit->GetParent()) {
        if (auto* list = dynamic_cast<CListUI*>(hit))
            return list;
    }
    return nullptr;
}

// The controls that take the keyboard, in tree order: enabled buttons, options and edits in view.
class FocusableCollector final : public IInViewVisitor {
public:
    bool Enter(CControlUI& control, const UIRect&, InViewPlace) override
    {
        if (dynamic_cast<CButtonUI*>(&control) == nullptr && dynamic_cast<CEditUI*>(&control) == nullptr)
            return true;
        if (control.IsEnabled())
            chain.push_back(&control);
        return false;
    }

    std::vector<CControlUI*> chain;
};

} // namespace

void Win32WindowInput::MouseMove(CPaintManagerUI& manager, UIPoint point)
{
    if (m_dragList != nullptr) {
        if (const auto bar = Win32ScrollBar::Of(*m_dragList)) {
            m_dragList->SetScrollPos(
                UISize{m_dragList->GetScrollPos().cx, bar->PositionForThumbTop(point.y - m_grabOffset)});
        }
        return;
    }
    CControlUI* hot = ButtonAt(manager, point);
    if (hot != m_pointer.hot) {
        m_pointer.hot = hot;
        Redraw();
    }
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_window;
    TrackMouseEvent(&track);
}

void Win32WindowInput::MouseLeave()
{
    if (m_pointer.hot != nullptr && m_pointer.pressed == nullptr) {
        m_pointer.hot = nullptr;
        Redraw();
    }
}

void Win32WindowInput::ButtonDown(CPaintManagerUI& manager, UIPoint point)
{
    SetCapture(m_window);
    if (CListUI* list = ListAt(manager, point)) {
        if (const auto bar = Win32ScrollBar::Of(*list); bar && bar->track.Contains(point)) {
            if (bar->thumb.Contains(point)) {
                m_dragList = list;
                m_grabOffset = point.y - bar->thumb.top;
            } else {
                // A press on the track moves by a view's height towards the pointer.
                const int page = list->GetViewRect().Height();
                const int step = point.y < bar->thumb.top ? -page : page;
                list->SetScrollPos(UISize{list->GetScrollPos().cx, list->GetScrollPos().cy + step});
            }
            return;
        }
    }
    m_pointer.hot = ButtonAt(manager, point);
    m_pointer.pressed = m_pointer.hot;
    if (m_pointer.pressed != nullptr) {
        m_pointer.focused = m_pointer.pressed;
        SetFocus(m_window);
    }
    Redraw();
}

void Win32WindowInput::ButtonUp(CPaintManagerUI& manager, UIPoint point)
{
    ReleaseCapture();
    m_dragList = nullptr;
    CControlUI* pressed = m_pointer.pressed;
    m_pointer.pressed = nullptr;
    m_pointer.hot = ButtonAt(manager, point);
    Redraw();
    // A click is a press and a release on the same button. What it does may remove the button.
    if (pressed != nullptr && pressed == m_pointer.hot)
        pressed->Activate();
}

void Win32WindowInput::Wheel(CPaintManagerUI& manager, UIPoint point, int delta)
{
    if (CListUI* list = ListAt(manager, point)) {
        const int step = -delta * kWheelStep / WHEEL_DELTA;
        list->SetScrollPos(UISize{list->GetScrollPos().cx, list->GetScrollPos().cy + step});
    }
}

bool Win32WindowInput::KeyDown(CPaintManagerUI& manager, WPARAM key, bool repeated)
{
    if (key == VK_TAB) {
        MoveFocus(manager, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        return true;
    }
    if (key != VK_SPACE && key != VK_RETURN)
        return false;
    if (!repeated && m_pointer.focused != nullptr && dynamic_cast<CButtonUI*>(m_pointer.focused) != nullptr
        && m_pointer.focused->IsEnabled() && m_pointer.focused->IsVisibleInTree()) {
        m_pointer.focused->Activate();
    }
    return true;
}

void Win32WindowInput::MoveFocus(CPaintManagerUI& manager, bool backwards)
{
    FocusableCollector collector;
    if (CControlUI* root = manager.GetRoot())
        WalkInView(*root, root->GetPos(), collector);
    const std::vector<CControlUI*>& chain = collector.chain;
    if (chain.empty())
        return;
    auto at = std::find(chain.begin(), chain.end(), m_pointer.focused);
    std::size_t index = 0;
    if (at == chain.end()) {
        index = backwards ? chain.size() - 1 : 0;
    } else {
        const std::size_t current = static_cast<std::size_t>(at - chain.begin());
        index = backwards ? (current + chain.size() - 1) % chain.size() : (current + 1) % chain.size();
    }
    m_pointer.focused = chain[index];
    if (HWND edit = m_edits.EditOf(*chain[index])) {
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
    } else {
        SetFocus(m_window);
    }
    Redraw();
}

void Win32WindowInput::EditFocused(CControlUI* edit)
{
    if (edit != nullptr && m_pointer.focused != edit) {
        m_pointer.focused = edit;
        Redraw();
    }
}

void Win32WindowInput::Forget(const CControlUI& control)
{
    if (m_pointer.hot == &control)
        m_pointer.hot = nullptr;
    if (m_pointer.pressed == &control)
        m_pointer.pressed = nullptr;
    if (m_pointer.focused == &control)
        m_pointer.focused = nullptr;
    if (m_dragList == &control)
        m_dragList = nullptr;
}
