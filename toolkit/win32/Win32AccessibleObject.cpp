#include "toolkit/win32/Win32AccessibleObject.h"

#include "toolkit/win32/Win32AccessibleWindow.h"
#include "toolkit/win32/Win32Text.h"

#include <string>

namespace {

BSTR Bstr(const std::wstring& text)
{
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// Answers a text property: S_FALSE with no text when there is none.
HRESULT TextAnswer(const CDuiString& text, BSTR* out)
{
    if (out == nullptr)
        return E_INVALIDARG;
    *out = nullptr;
    if (text.IsEmpty())
        return S_FALSE;
    *out = Bstr(WideOf(text.str()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

long RoleOf(UIAccessibleRole role)
{
    switch (role) {
    case UIAccessibleRole::Window:
        return ROLE_SYSTEM_WINDOW;
    case UIAccessibleRole::PageTab:
        return ROLE_SYSTEM_PAGETAB;
    case UIAccessibleRole::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case UIAccessibleRole::RadioButton:
        return ROLE_SYSTEM_RADIOBUTTON;
    case UIAccessibleRole::EditableText:
        return ROLE_SYSTEM_TEXT;
    case UIAccessibleRole::StaticText:
        return ROLE_SYSTEM_STATICTEXT;
    case UIAccessibleRole::List:
        return ROLE_SYSTEM_LIST;
    case UIAccessibleRole::ListItem:
        return ROLE_SYSTEM_LISTITEM;
    case UIAccessibleRole::ProgressBar:
        return ROLE_SYSTEM_PROGRESSBAR;
    case UIAccessibleRole::ScrollBar:
        return ROLE_SYSTEM_SCROLLBAR;
    case UIAccessibleRole::WebDocument:
        return ROLE_SYSTEM_DOCUMENT;
    case UIAccessibleRole::Pane:
        break;
    }
    return ROLE_SYSTEM_PANE;
}

long StateOf(const UIAccessibleInfo& info, bool focused)
{
    long state = 0;
    if (info.Has(kAccessibleFocusable))
        state |= STATE_SYSTEM_FOCUSABLE;
    if (focused)
        state |= STATE_SYSTEM_FOCUSED;
    if (info.Has(kAccessibleDisabled))
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (info.Has(kAccessibleReadOnly))
        state |= STATE_SYSTEM_READONLY;
    if (info.Has(kAccessibleInvisible))
        state |= STATE_SYSTEM_INVISIBLE;
    if (info.Has(kAccessiblePassword))
        state |= STATE_SYSTEM_PROTECTED;
    if (info.role == UIAccessibleRole::PageTab) {
        state |= STATE_SYSTEM_SELECTABLE;
        if (info.Has(kAccessibleSelected))
            state |= STATE_SYSTEM_SELECTED;
    } else if (info.role == UIAccessibleRole::RadioButton && info.Has(kAccessibleSelected)) {
        state |= STATE_SYSTEM_CHECKED;
    }
    return state;
}

void SetChild(VARIANT* out, long child)
{
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = child;
}

} // namespace

HRESULT Win32AccessibleObject::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, __uuidof(IAccessible))) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Win32AccessibleObject::AddRef()
{
    return ++m_references;
}

ULONG Win32AccessibleObject::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT Win32AccessibleObject::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr)
        return E_INVALIDARG;
    *count = 0;
    return S_OK;
}

HRESULT Win32AccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT Win32AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT Win32AccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

long Win32AccessibleObject::ChildOf(const VARIANT& child) const
{
    if (child.vt != VT_I4 || m_window == nullptr)
        return -1;
    const long count = static_cast<long>(m_window->Elements().size());
    return child.lVal >= CHILDID_SELF && child.lVal <= count ? child.lVal : -1;
}

HRESULT Win32AccessibleObject::get_accParent(IDispatch** parent)
{
    if (parent == nullptr)
        return E_INVALIDARG;
    *parent = nullptr;
    if (m_window == nullptr)
        return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(
        m_window->Window(), static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT Win32AccessibleObject::get_accChildCount(long* count)
{
    if (count == nullptr)
        return E_INVALIDARG;
    if (m_window == nullptr)
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(m_window->Elements().size());
    return S_OK;
}

HRESULT Win32AccessibleObject::get_accChild(VARIANT child, IDispatch** object)
{
    if (object == nullptr)
        return E_INVALIDARG;
    *object = nullptr;
    if (m_window == nullptr)
        return CO_E_OBJNOTCONNECTED;
    // Every child is a simple element, answered by this object with its child id.
    return ChildOf(child) > 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT Win32AccessibleObject::get_accName(VARIANT child, BSTR* name)
{
    const long id = ChildOf(child);
    if (id < 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    if (id == CHILDID_SELF) {
        wchar_t title[256] = {};
        GetWindowTextW(m_window->Window(), title, 256);
        return TextAnswer(CDuiString(AnsiOf(title)), name);
    }
    return TextAnswer(m_window->Elements()[static_cast<std::size_t>(id - 1)].info.name, name);
}

HRESULT Win32AccessibleObject::get_accValue(VARIANT child, BSTR* value)
{
    const long id = ChildOf(child);
    if (id < 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    return TextAnswer(
        id == CHILDID_SELF ? CDuiString() : m_window->Elements()[static_cast<std::size_t>(id - 1)].info.value, value);
}

HRESULT Win32AccessibleObject::get_accDescription(VARIANT child, BSTR* description)
{
    const long id = ChildOf(child);
    if (id < 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    // A list holds the rows in view only; how many there are in all is told here.
    if (id != CHILDID_SELF) {
        const UIAccessibleInfo& info = m_window->Elements()[static_cast<std::size_t>(id - 1)].info;
        if (info.role == UIAccessibleRole::List)
            return TextAnswer(CDuiString(std::to_string(info.rowCount)), description);
    }
    return TextAnswer(CDuiString(), description);
}

HRESULT Win32AccessibleObject::get_accRole(VARIANT child, VARIANT* role)
{
    const long id = ChildOf(child);
    if (role == nullptr)
        return E_INVALIDARG;
    if (id < 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    SetChild(role,
        id == CHILDID_SELF ? ROLE_SYSTEM_CLIENT
                           : RoleOf(m_window->Elements()[static_cast<std::size_t>(id - 1)].info.role));
    return S_OK;
}

HRESULT Win32AccessibleObject::get_accState(VARIANT child, VARIANT* state)
{
    const long id = ChildOf(child);
    if (state == nullptr)
        return E_INVALIDARG;
    if (id < 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    if (id == CHILDID_SELF) {
        SetChild(state, STATE_SYSTEM_FOCUSABLE | (GetFocus() == m_window->Window() ? STATE_SYSTEM_FOCUSED : 0));
        return S_OK;
    }
    SetChild(
        state, StateOf(m_window->Elements()[static_cast<std::size_t>(id - 1)].info, m_window->FocusedChild() == id));
    return S_OK;
}

HRESULT Win32AccessibleObject::get_accHelp(VARIANT, BSTR* help)
{
    return TextAnswer(CDuiString(), help);
}

HRESULT Win32AccessibleObject::get_accHelpTopic(BSTR*, VARIANT, long*)
{
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT Win32AccessibleObject::get_accKeyboardShortcut(VARIANT, BSTR* shortcut)
{
    return TextAnswer(CDuiString(), shortcut);
}

HRESULT Win32AccessibleObject::get_accFocus(VARIANT* child)
{
    if (child == nullptr)
        return E_INVALIDARG;
    if (m_window == nullptr)
        return CO_E_OBJNOTCONNECTED;
    const long focused = m_window->FocusedChild();
    if (focused > 0) {
        SetChild(child, focused);
    } else if (GetFocus() == m_window->Window()) {
        SetChild(child, CHILDID_SELF);
    } else {
        VariantInit(child);
        return S_FALSE;
    }
    return S_OK;
}

HRESULT Win32AccessibleObject::get_accSelection(VARIANT* children)
{
    if (children == nullptr)
        return E_INVALIDARG;
    VariantInit(children);
    return m_window == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
}

HRESULT Win32AccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action)
{
    const long id = ChildOf(child);
    if (id < 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    const bool pressable
        = id != CHILDID_SELF && m_window->Elements()[static_cast<std::size_t>(id - 1)].info.Pressable();
    return TextAnswer(pressable ? CDuiString("Press") : CDuiString(), action);
}

HRESULT Win32AccessibleObject::accSelect(long, VARIANT)
{
    return m_window == nullptr ? CO_E_OBJNOTCONNECTED : DISP_E_MEMBERNOTFOUND;
}

HRESULT Win32AccessibleObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    const long id = ChildOf(child);
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
        return E_INVALIDARG;
    if (id < 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    RECT rect{};
    if (id == CHILDID_SELF) {
        GetClientRect(m_window->Window(), &rect);
        MapWindowPoints(m_window->Window(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    } else {
        rect = m_window->ScreenRect(m_window->Elements()[static_cast<std::size_t>(id - 1)].info.bounds);
    }
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

HRESULT Win32AccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    const long id = ChildOf(start);
    if (end == nullptr)
        return E_INVALIDARG;
    VariantInit(end);
    if (id < 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    const long count = static_cast<long>(m_window->Elements().size());
    long to = 0;
    if (id == CHILDID_SELF && direction == NAVDIR_FIRSTCHILD)
        to = count > 0 ? 1 : 0;
    else if (id == CHILDID_SELF && direction == NAVDIR_LASTCHILD)
        to = count;
    else if (id > 0 && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT))
        to = id < count ? id + 1 : 0;
    else if (id > 0 && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT))
        to = id - 1;
    if (to <= 0)
        return S_FALSE;
    SetChild(end, to);
    return S_OK;
}

HRESULT Win32AccessibleObject::accHitTest(long left, long top, VARIANT* child)
{
    if (child == nullptr)
        return E_INVALIDARG;
    VariantInit(child);
    if (m_window == nullptr)
        return CO_E_OBJNOTCONNECTED;
    RECT client{};
    GetClientRect(m_window->Window(), &client);
    MapWindowPoints(m_window->Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT point{left, top};
    if (!PtInRect(&client, point))
        return S_FALSE;
    SetChild(child, m_window->ChildAt(point));
    return S_OK;
}

HRESULT Win32AccessibleObject::accDoDefaultAction(VARIANT child)
{
    const long id = ChildOf(child);
    if (id <= 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    return m_window->Press(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

HRESULT Win32AccessibleObject::put_accName(VARIANT, BSTR)
{
    return m_window == nullptr ? CO_E_OBJNOTCONNECTED : DISP_E_MEMBERNOTFOUND;
}

HRESULT Win32AccessibleObject::put_accValue(VARIANT child, BSTR value)
{
    const long id = ChildOf(child);
    if (id <= 0)
        return m_window == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
    return m_window->SetEditText(id, CDuiString(AnsiOf(value ? value : L""))) ? S_OK : DISP_E_MEMBERNOTFOUND;
}
