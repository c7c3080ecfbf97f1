#include "toolkit/win32/Win32WebHost.h"

#include "toolkit/CWebBrowserUI.h"
#include "toolkit/win32/Win32GdiHandles.h"
#include "toolkit/win32/Win32Text.h"
#include "toolkit/win32/Win32WebSite.h"

#include <exdisp.h>
#include <ocidl.h>

#include <optional>

namespace {

constexpr wchar_t kHostClass[] = L"KelpmereWebHost";
// The HTML document object (MSHTML), which MinGW's uuid library does not carry.
const CLSID kHtmlDocument = {0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};

void RegisterHostClass(WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.lpszClassName = kHostClass;
    RegisterClassExW(&windowClass); // a second registration fails harmlessly
}

// Modern document mode (IE 11, edge mode) for this executable, for the current user only.
void ChooseModernDocumentMode()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = wcsrchr(path, L'\\');
    name = name != nullptr ? name + 1 : path;
    const DWORD mode = 11001;
    RegSetKeyValueW(HKEY_CURRENT_USER,
        L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION", name, REG_DWORD,
        &mode, sizeof(mode));
}

} // namespace

bool Win32WebHost::EngineAvailable()
{
    static const bool available = [] {
        // The WebBrowser control itself is made even without an engine (and then stays blank);
        // the HTML document object is not.
        IUnknown* document = nullptr;
        if (FAILED(CoCreateInstance(
                kHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&document))))
            return false;
        document->Release();
        ChooseModernDocumentMode();
        return true;
    }();
    return available;
}

Win32WebHost::Win32WebHost(HWND parent, CWebBrowserUI& browser) : m_browser(browser)
{
    RegisterHostClass(&Win32WebHost::HostProc);
    m_window = CreateWindowExW(
        0, kHostClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 1, 1, parent, nullptr, GetModuleHandleW(nullptr), this);
    if (m_window != nullptr && EngineAvailable())
        Embed();
}

void Win32WebHost::Embed()
{
    if (FAILED(CoCreateInstance(
            CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, reinterpret_cast<void**>(&m_object))))
        return;
    m_site = new Win32WebSite(m_window, &m_browser);
    m_object->SetClientSite(m_site);
    RECT client{};
    GetClientRect(m_window, &client);
    m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site, 0, m_window, &client);
    if (FAILED(m_object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_web))))
        m_web = nullptr;
    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(m_object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_events)))
            m_events->Advise(static_cast<IDispatch*>(m_site), &m_eventsCookie);
        points->Release();
    }
    if (m_web != nullptr)
        m_web->put_Silent(VARIANT_TRUE); // script errors stay in the page, no dialogs
    if (!m_browser.GetUrl().IsEmpty())
        Navigate(m_browser.GetUrl().str());
}

Win32WebHost::~Win32WebHost()
{
    if (m_events != nullptr) {
        m_events->Unadvise(m_eventsCookie);
        m_events->Release();
    }
    if (m_web != nullptr)
        m_web->Release();
    if (m_object != nullptr) {
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_object->Release();
    }
    if (m_site != nullptr) {
        m_site->Detach();
        m_site->Release();
    }
    if (m_window != nullptr) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

void Win32WebHost::Place(const UIRect& rect)
{
    SetWindowPos(m_window, nullptr, rect.left, rect.top, std::max(1, rect.Width()), std::max(1, rect.Height()),
        SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_web != nullptr) {
        m_web->put_Width(rect.Width());
        m_web->put_Height(rect.Height());
    }
}

void Win32WebHost::Show(bool show)
{
    ShowWindow(m_window, show ? SW_SHOWNA : SW_HIDE);
}

void Win32WebHost::Navigate(const std::string& url)
{
    if (m_web == nullptr || url.empty())
        return;
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocString(WideOf(url).c_str());
    m_web->Navigate2(&address, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&address);
}

LRESULT CALLBACK Win32WebHost::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<Win32WebHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_PAINT && host != nullptr && !host->Embedded()) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client{};
        GetClientRect(window, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0x80, 0x80, 0x80));
        {
            const SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
            DrawTextW(dc, kNote, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}
