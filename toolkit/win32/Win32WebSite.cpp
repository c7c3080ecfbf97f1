#include "toolkit/win32/Win32WebSite.h"

#include "toolkit/CWebBrowserEventHandler.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/win32/Win32Text.h"

#include <exdispid.h>
#include <shellapi.h>

namespace {

CDuiString TextOf(const VARIANT* value)
{
    if (value == nullptr)
        return CDuiString();
    const VARIANT* inner
        = (value->vt & VT_BYREF) != 0 && (value->vt & ~VT_BYREF) == VT_VARIANT ? value->pvarVal : value;
    if (inner->vt == VT_BSTR && inner->bstrVal != nullptr)
        return CDuiString(AnsiOf(inner->bstrVal));
    return CDuiString();
}

// The argument at position index as the event lists them (DISPPARAMS keeps them in reverse).
VARIANT* Argument(DISPPARAMS* parameters, UINT index)
{
    if (parameters == nullptr || index >= parameters->cArgs)
        return nullptr;
    return &parameters->rgvarg[parameters->cArgs - 1 - index];
}

void SetCancel(VARIANT* cancel, bool value)
{
    if (cancel != nullptr && cancel->vt == (VT_BYREF | VT_BOOL) && cancel->pboolVal != nullptr)
        *cancel->pboolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

} // namespace

STDMETHODIMP Win32WebSite::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IDocHostUIHandler)
        *object = static_cast<IDocHostUIHandler*>(this);
    else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
        *object = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) Win32WebSite::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

STDMETHODIMP_(ULONG) Win32WebSite::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP Win32WebSite::GetContainer(IOleContainer** container)
{
    if (container != nullptr)
        *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP Win32WebSite::GetWindow(HWND* window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = m_host;
    return S_OK;
}

STDMETHODIMP Win32WebSite::GetWindowContext(
    IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (frame != nullptr)
        *frame = nullptr;
    if (document != nullptr)
        *document = nullptr;
    RECT client{};
    GetClientRect(m_host, &client);
    if (position != nullptr)
        *position = client;
    if (clip != nullptr)
        *clip = client;
    if (info != nullptr) {
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(m_host, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

// ---- the document host: each question goes to the handler, whose answer goes back ----

#define KELPMERE_ASK(call, fallback)                                                                                   \
    do {                                                                                                               \
        CWebBrowserEventHandler* handler = m_browser != nullptr ? m_browser->GetWebBrowserEventHandler() : nullptr;    \
        return handler != nullptr ? static_cast<HRESULT>(handler->call) : (fallback);                                  \
    } while (false)

STDMETHODIMP Win32WebSite::ShowContextMenu(DWORD id, POINT* at, IUnknown*, IDispatch*)
{
    const UIPoint point = at != nullptr ? UIPoint{at->x, at->y} : UIPoint{};
    // S_OK: the host showed the menu (none at all); S_FALSE: the browser shows its own.
    KELPMERE_ASK(ShowContextMenu(m_browser, static_cast<int>(id), point), S_OK);
}

STDMETHODIMP Win32WebSite::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (info == nullptr)
        return E_POINTER;
    DocHostUIInfo asked;
    asked.flags = info->dwFlags;
    CWebBrowserEventHandler* handler = m_browser != nullptr ? m_browser->GetWebBrowserEventHandler() : nullptr;
    const HRESULT result = handler != nullptr ? static_cast<HRESULT>(handler->GetHostInfo(m_browser, &asked)) : S_OK;
    info->dwFlags = asked.flags;
    return result;
}

STDMETHODIMP Win32WebSite::ShowUI(
    DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*, IOleInPlaceUIWindow*)
{
    KELPMERE_ASK(ShowUI(m_browser), S_FALSE);
}

STDMETHODIMP Win32WebSite::HideUI()
{
    KELPMERE_ASK(HideUI(m_browser), S_OK);
}

STDMETHODIMP Win32WebSite::UpdateUI()
{
    KELPMERE_ASK(UpdateUI(m_browser), S_OK);
}

STDMETHODIMP Win32WebSite::EnableModeless(BOOL enable)
{
    KELPMERE_ASK(EnableModeless(m_browser, enable != FALSE), S_OK);
}

STDMETHODIMP Win32WebSite::OnDocWindowActivate(BOOL activate)
{
    KELPMERE_ASK(OnDocWindowActivate(m_browser, activate != FALSE), S_OK);
}

STDMETHODIMP Win32WebSite::OnFrameWindowActivate(BOOL activate)
{
    KELPMERE_ASK(OnFrameWindowActivate(m_browser, activate != FALSE), S_OK);
}

STDMETHODIMP Win32WebSite::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow*, BOOL frameWindow)
{
    const UIRect rect = border != nullptr ? UIRect{border->left, border->top, border->right, border->bottom} : UIRect{};
    KELPMERE_ASK(ResizeBorder(m_browser, rect, frameWindow != FALSE), S_OK);
}

STDMETHODIMP Win32WebSite::TranslateAccelerator(LPMSG message, const GUID*, DWORD)
{
    const int key = message != nullptr ? static_cast<int>(message->wParam) : 0;
    KELPMERE_ASK(TranslateAccelerator(m_browser, key, 0), S_FALSE);
}

STDMETHODIMP Win32WebSite::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key != nullptr)
        *key = nullptr;
    CDuiString path;
    KELPMERE_ASK(GetOptionKeyPath(m_browser, path), S_FALSE);
}

STDMETHODIMP Win32WebSite::GetDropTarget(IDropTarget*, IDropTarget** target)
{
    if (target != nullptr)
        *target = nullptr;
    KELPMERE_ASK(GetDropTarget(m_browser), E_NOTIMPL);
}

STDMETHODIMP Win32WebSite::GetExternal(IDispatch** external)
{
    if (external != nullptr)
        *external = nullptr;
    KELPMERE_ASK(GetExternal(m_browser), E_NOTIMPL);
}

STDMETHODIMP Win32WebSite::TranslateUrl(DWORD, LPWSTR url, LPWSTR* translated)
{
    if (translated == nullptr)
        return E_POINTER;
    *translated = nullptr;
    CWebBrowserEventHandler* handler = m_browser != nullptr ? m_browser->GetWebBrowserEventHandler() : nullptr;
    CDuiString replaced;
    if (handler == nullptr
        || handler->TranslateUrl(m_browser, CDuiString(url != nullptr ? AnsiOf(url) : std::string()), replaced)
            != kUIResultOk
        || replaced.IsEmpty())
        return S_FALSE; // the address stays as it is: S_OK would promise a new one
    const std::wstring wide = WideOf(replaced.str());
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(wchar_t)));
    if (copy == nullptr)
        return E_OUTOFMEMORY;
    wcscpy(copy, wide.c_str());
    *translated = copy;
    return S_OK;
}

STDMETHODIMP Win32WebSite::FilterDataObject(IDataObject*, IDataObject** result)
{
    if (result != nullptr)
        *result = nullptr;
    CWebBrowserEventHandler* handler = m_browser != nullptr ? m_browser->GetWebBrowserEventHandler() : nullptr;
    if (handler != nullptr)
        handler->FilterDataObject(m_browser);
    return S_FALSE; // no other data object is given back, so none is promised
}

#undef KELPMERE_ASK

// ---- events ----

STDMETHODIMP Win32WebSite::GetTypeInfoCount(UINT* count)
{
    if (count != nullptr)
        *count = 0;
    return S_OK;
}

STDMETHODIMP Win32WebSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*)
{
    CWebBrowserEventHandler* handler = m_browser != nullptr ? m_browser->GetWebBrowserEventHandler() : nullptr;
    switch (id) {
    case DISPID_BEFORENAVIGATE2: // (browser, url, flags, target, post data, headers, cancel)
        if (handler != nullptr) {
            bool cancel = false;
            handler->BeforeNavigate2(m_browser, TextOf(Argument(parameters, 1)), cancel);
            SetCancel(Argument(parameters, 6), cancel);
        }
        return S_OK;
    case DISPID_NAVIGATECOMPLETE2: // (browser, url)
        if (handler != nullptr)
            handler->NavigateComplete2(m_browser, TextOf(Argument(parameters, 1)));
        return S_OK;
    case DISPID_NAVIGATEERROR: { // (browser, url, target, status, cancel)
        if (handler != nullptr) {
            bool cancel = false;
            const VARIANT* status = Argument(parameters, 3);
            const int code = status != nullptr && (status->vt & VT_BYREF) != 0 && status->pvarVal != nullptr
                ? status->pvarVal->lVal
                : 0;
            handler->NavigateError(m_browser, TextOf(Argument(parameters, 1)), code, cancel);
            SetCancel(Argument(parameters, 4), cancel);
        }
        return S_OK;
    }
    case DISPID_PROGRESSCHANGE: { // (progress, progress max)
        const VARIANT* progress = Argument(parameters, 0);
        const VARIANT* maximum = Argument(parameters, 1);
        if (handler != nullptr && progress != nullptr && maximum != nullptr)
            handler->ProgressChange(m_browser, progress->lVal, maximum->lVal);
        return S_OK;
    }
    case DISPID_NEWWINDOW3: { // (browser, cancel, flags, referrer, url)
        const CDuiString url = TextOf(Argument(parameters, 4));
        bool cancel = false;
        if (handler != nullptr)
            handler->NewWindow3(m_browser, url, cancel);
        // A page's new window opens in the desktop's own browser, never in a bare window of
        // the control's.
        if (!cancel && !url.IsEmpty())
            ShellExecuteW(m_host, L"open", WideOf(url.str()).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        SetCancel(Argument(parameters, 1), true);
        return S_OK;
    }
    case DISPID_COMMANDSTATECHANGE: { // (command, enabled)
        const VARIANT* command = Argument(parameters, 0);
        const VARIANT* enabled = Argument(parameters, 1);
        if (handler != nullptr && command != nullptr && enabled != nullptr)
            handler->CommandStateChange(m_browser, command->lVal, enabled->boolVal != VARIANT_FALSE);
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
