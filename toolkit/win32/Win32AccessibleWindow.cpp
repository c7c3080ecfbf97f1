#include "toolkit/win32/Win32AccessibleWindow.h"

#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/win32/Win32AccessibleObject.h"
#include "toolkit/win32/Win32EditMirror.h"
#include "toolkit/win32/Win32Text.h"
#include "toolkit/win32/Win32WindowInput.h"

#include <algorithm>
#include <utility>

Win32AccessibleWindow::~Win32AccessibleWindow()
{
    if (m_object != nullptr) {
        m_object->Disconnect();
        m_object->Release();
    }
    if (m_annotations != nullptr)
        m_annotations->Release();
}

std::optional<LRESULT> Win32AccessibleWindow::Answer(
    WPARAM wParam, LPARAM lParam, CPaintManagerUI* manager, Win32Scale scale)
{
    if (static_cast<long>(lParam) != OBJID_CLIENT)
        return std::nullopt;
    if (m_object == nullptr) {
        m_object = new Win32AccessibleObject(*this);
        if (manager != nullptr)
            Snapshot(*manager, scale);
    }
    // __uuidof rather than IID_IAccessible: MinGW's oleacc and uuid libraries both define that one.
    return LresultFromObject(__uuidof(IAccessible), wParam, m_object);
}

void Win32AccessibleWindow::Update(CPaintManagerUI& manager, Win32Scale scale, const Win32EditMirror& edits)
{
    if (m_object == nullptr)
        return;
    const std::vector<UIAccessibleElement> before = std::move(m_elements);
    Snapshot(manager, scale);
    RaiseChanges(before);
    NameEdits(edits);
}

void Win32AccessibleWindow::NameEdits(const Win32EditMirror& edits)
{
    for (const UIAccessibleElement& element : m_elements) {
        if (element.control == nullptr || element.info.role != UIAccessibleRole::EditableText)
            continue;
        HWND edit = edits.EditOf(*element.control);
        if (edit == nullptr)
            continue;
        std::wstring name = WideOf(element.info.name.str());
        auto known = m_editNames.find(edit);
        if (known != m_editNames.end() && known->second == name)
            continue;
        if (m_annotations == nullptr && !m_annotationsTried) {
            m_annotationsTried = true;
            if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                    reinterpret_cast<void**>(&m_annotations))))
                m_annotations = nullptr;
        }
        if (m_annotations == nullptr)
            return; // no annotation service: the EDITs keep the names the system gives them
        m_annotations->SetHwndPropStr(
            edit, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
        m_editNames[edit] = std::move(name);
    }
}

void Win32AccessibleWindow::Snapshot(CPaintManagerUI& manager, Win32Scale scale)
{
    m_scale = scale;
    m_elements.clear();
    if (CControlUI* root = manager.GetRoot())
        m_elements = CollectAccessibleElements(*root);
}

void Win32AccessibleWindow::RaiseChanges(const std::vector<UIAccessibleElement>& before)
{
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        const UIAccessibleElement& now = m_elements[i];
        const auto old = std::find_if(before.begin(), before.end(),
            [&](const UIAccessibleElement& element) { return element.control == now.control; });
        if (old == before.end())
            continue;
        const LONG child = static_cast<LONG>(i + 1);
        if (old->info.name != now.info.name)
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_window, OBJID_CLIENT, child);
        if (old->info.value != now.info.value)
            NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_window, OBJID_CLIENT, child);
        if (old->info.states != now.info.states)
            NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_window, OBJID_CLIENT, child);
    }
    FocusShown();
}

void Win32AccessibleWindow::FocusShown()
{
    CControlUI* focused = m_input.Pointer().focused;
    if (m_object == nullptr || focused == m_focusAnnounced)
        return;
    m_focusAnnounced = focused;
    if (const long child = FocusedChild())
        NotifyWinEvent(EVENT_OBJECT_FOCUS, m_window, OBJID_CLIENT, child);
}

long Win32AccessibleWindow::FocusedChild() const
{
    CControlUI* focused = m_input.Pointer().focused;
    if (focused == nullptr)
        return 0;
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (m_elements[i].control == focused)
            return static_cast<long>(i + 1);
    }
    return 0;
}

RECT Win32AccessibleWindow::ScreenRect(const UIRect& bounds) const
{
    const UIRect pixels = m_scale.ToPixels(bounds);
    RECT rect{pixels.left, pixels.top, pixels.right, pixels.bottom};
    MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

long Win32AccessibleWindow::ChildAt(POINT screen) const
{
    for (std::size_t i = m_elements.size(); i > 0; --i) {
        const RECT rect = ScreenRect(m_elements[i - 1].info.bounds);
        if (PtInRect(&rect, screen))
            return static_cast<long>(i);
    }
    return 0;
}

const UIAccessibleElement* Win32AccessibleWindow::At(long child) const
{
    if (child < 1 || static_cast<std::size_t>(child) > m_elements.size())
        return nullptr;
    const UIAccessibleElement& element = m_elements[static_cast<std::size_t>(child - 1)];
    return element.control != nullptr ? &element : nullptr;
}

bool Win32AccessibleWindow::Press(long child)
{
    const UIAccessibleElement* element = At(child);
    if (element == nullptr || !element->info.Pressable() || element->info.Has(kAccessibleDisabled))
        return false;
    // A press may open a modal dialog: it runs from the window's queue, after the client's call.
    m_pressed.push_back(element->control);
    PostMessageW(m_window, kPressMessage, 0, 0);
    return true;
}

void Win32AccessibleWindow::RunPresses()
{
    const std::vector<CControlUI*> pressed = std::exchange(m_pressed, {});
    for (CControlUI* control : pressed) {
        if (control != nullptr)
            control->Activate();
    }
}

bool Win32AccessibleWindow::SetEditText(long child, const CDuiString& text)
{
    const UIAccessibleElement* element = At(child);
    auto* edit = element != nullptr ? dynamic_cast<CEditUI*>(element->control) : nullptr;
    if (edit == nullptr || edit->IsReadOnly() || !edit->IsEnabled())
        return false;
    edit->UserEdited(text);
    return true;
}

void Win32AccessibleWindow::Forget(const CControlUI& control)
{
    for (UIAccessibleElement& element : m_elements) {
        if (element.control == &control)
            element.control = nullptr;
    }
    std::replace(
        m_pressed.begin(), m_pressed.end(), const_cast<CControlUI*>(&control), static_cast<CControlUI*>(nullptr));
    if (m_focusAnnounced == &control)
        m_focusAnnounced = nullptr;
}
