#include "toolkit/win32/Win32Backend.h"

#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CTimerTable.h"
#include "toolkit/CWindowWnd.h"
#include "toolkit/NativeWindowTable.h"
#include "toolkit/win32/Win32Failure.h"
#include "toolkit/win32/Win32FileDialogs.h"
#include "toolkit/win32/Win32HitTest.h"
#include "toolkit/win32/Win32NativeWindow.h"
#include "toolkit/win32/Win32Pictures.h"
#include "toolkit/win32/Win32Text.h"
#include "toolkit/win32/Win32TreePainter.h"
#include "toolkit/win32/Win32WebHost.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kWindowClass[] = L"KelpmereWindow";
constexpr wchar_t kWakeClass[] = L"KelpmereWake";
// Messages to the hidden wake window: destroy the window with serial lParam; mirror the trees.
constexpr UINT kDestroyMessage = WM_APP + 1;
constexpr UINT kFlushMessage = WM_APP + 2;
constexpr UINT_PTR kWakeTimer = 1;

// The DPI of the screen a window is on (Windows 10 1607 and later), else the system's.
unsigned WindowDpi(HWND window)
{
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr)
        return getDpiForWindow(window);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return static_cast<unsigned>(dpi);
}

// Windows draw themselves at each screen's DPI (per-monitor awareness, version 2, where the
// system knows it), rather than being stretched by the system.
void BecomeDpiAware()
{
    using SetAwarenessCall = BOOL(WINAPI*)(HANDLE);
    const auto setAwareness = reinterpret_cast<SetAwarenessCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (setAwareness != nullptr && setAwareness(reinterpret_cast<HANDLE>(-4))) // PER_MONITOR_AWARE_V2
        return;
    SetProcessDPIAware();
}

} // namespace

class Win32Backend::Impl {
public:
    Impl() : instance(GetModuleHandleW(nullptr)), start(std::chrono::steady_clock::now())
    {
        BecomeDpiAware();
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &Impl::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.lpszClassName = kWindowClass;
        windowClassRegistered = RegisterClassExW(&windowClass) != 0;
        if (!windowClassRegistered) {
            Fail("RegisterClassExW(KelpmereWindow)");
            return;
        }

        WNDCLASSEXW wakeClass{};
        wakeClass.cbSize = sizeof(wakeClass);
        wakeClass.lpfnWndProc = &Impl::WakeProc;
        wakeClass.hInstance = instance;
        wakeClass.lpszClassName = kWakeClass;
        wakeClassRegistered = RegisterClassExW(&wakeClass) != 0;
        if (!wakeClassRegistered) {
            Fail("RegisterClassExW(KelpmereWake)");
            return;
        }
        // Timers and tree updates arrive through this window: without it nothing would ever be
        // painted anew.
        wake = CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
        if (wake == nullptr)
            Fail("CreateWindowExW(KelpmereWake)");
    }

    ~Impl()
    {
        if (wake != nullptr)
            DestroyWindow(wake);
        // A class another module registered under our name is not ours to take away.
        if (windowClassRegistered)
            UnregisterClassW(kWindowClass, instance);
        if (wakeClassRegistered)
            UnregisterClassW(kWakeClass, instance);
    }

    // A start without which no window can work: said now, kept for every window asked for later.
    void Fail(const std::string& call) { startFailure = ReportWin32Failure(call, GetLastError()); }

    Win32NativeWindow* Find(UIWindowHandle handle) const { return windows.Find(handle); }
    Win32NativeWindow* FindBySerial(std::uint64_t serial) const { return windows.FindBySerial(serial); }
    Win32NativeWindow* FindByManager(const CPaintManagerUI& manager) const { return windows.FindByManager(manager); }

    // Brings one window's layout up to date and has it painted anew.
    void Sync(Win32NativeWindow& native)
    {
        native.dirty = false;
        if (native.closing || native.hwnd == nullptr)
            return;
        CPaintManagerUI* manager = native.window->GetPaintManager();
        if (manager == nullptr)
            return;
        manager->ClearChanged();
        manager->UpdateLayout();
        native.edits->Sync(*manager, native.scale);
        native.webs->Sync(*manager, native.scale);
        native.accessible->Update(*manager, native.scale, *native.edits);
        InvalidateRect(native.hwnd, nullptr, FALSE);
    }

    void MarkDirty(Win32NativeWindow& native)
    {
        native.dirty = true;
        if (flushQueued)
            return;
        flushQueued = true;
        PostMessageW(wake, kFlushMessage, 0, 0);
    }

    void Flush()
    {
        flushQueued = false;
        for (Win32NativeWindow* native : windows.Dirty()) {
            if (Find(native) && native->dirty)
                Sync(*native);
        }
    }

    void ReportClientSize(Win32NativeWindow& native)
    {
        RECT client{};
        GetClientRect(native.hwnd, &client);
        // The tree is laid out in its own units: the client area at 96 DPI.
        const UISize size = native.scale.ToUnits(UISize{client.right - client.left, client.bottom - client.top});
        if (windows.ReportClientSize(native, size))
            MarkDirty(native);
    }

    void Destroy(Win32NativeWindow* native)
    {
        if (windows.Destroy(native, &Release) && inMainLoop && !quitPosted)
            Quit(0);
    }

    // Ends the window's modal loop with its result and destroys its HWND with its children.
    static void Release(Win32NativeWindow& native)
    {
        if (native.modal != nullptr) {
            // The owners take the input again before the modal window goes, so that the
            // activation returns to them rather than to another program.
            EndModal(*native.modal);
            native.modal->result = native.result;
            native.modal->done = true;
            native.modal = nullptr;
        }
        if (native.hwnd != nullptr) {
            native.accessible.reset();
            native.edits->Clear();
            native.webs->Clear();
            SetWindowLongPtrW(native.hwnd, GWLP_USERDATA, 0);
            DestroyWindow(native.hwnd);
            native.hwnd = nullptr;
        }
    }

    static void EndModal(Win32ModalState& modal)
    {
        for (HWND disabled : modal.disabled) {
            if (IsWindow(disabled))
                EnableWindow(disabled, TRUE);
        }
        modal.disabled.clear();
    }

    void Quit(int code)
    {
        quitPosted = true;
        exitCode = code;
        PostQuitMessage(code);
    }

    HWND Owner(UIWindowHandle handle) const
    {
        Win32NativeWindow* native = Find(handle);
        return native != nullptr ? native->hwnd : nullptr;
    }

    // Serves messages until done() holds or WM_QUIT arrives; a WM_QUIT is left for the outer
    // loops (posted again) and returns false.
    template <typename Done>
    bool Pump(Done done)
    {
        MSG message;
        while (!done()) {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0)
                    PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return true;
    }

    LRESULT HandleWindowMessage(Win32NativeWindow& native, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_CLOSE:
            // The window system's close (Alt+F4, the task bar) goes to the window like a Close(0).
            if (!native.closing)
                native.window->Close(0);
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED)
                ReportClientSize(native);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(native.hwnd, &paint);
            if (CPaintManagerUI* manager = native.window->GetPaintManager()) {
                RECT client{};
                GetClientRect(native.hwnd, &client);
                painter.Paint(dc, *manager, UISize{client.right, client.bottom}, native.input->Pointer(), native.scale);
            }
            EndPaint(native.hwnd, &paint);
            // Every move of the keyboard focus repaints the window (the focus ring).
            if (native.accessible)
                native.accessible->FocusShown();
            return 0;
        }
        case WM_MOUSEMOVE:
            if (CPaintManagerUI* manager = native.window->GetPaintManager())
                native.input->MouseMove(*manager, native.scale.ToUnits(PointOf(lParam)));
            return 0;
        case WM_MOUSELEAVE:
            native.input->MouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (CPaintManagerUI* manager = native.window->GetPaintManager())
                native.input->ButtonDown(*manager, native.scale.ToUnits(PointOf(lParam)));
            return 0;
        case WM_LBUTTONUP:
            if (CPaintManagerUI* manager = native.window->GetPaintManager())
                native.input->ButtonUp(*manager, native.scale.ToUnits(PointOf(lParam)));
            return 0;
        case WM_MOUSEWHEEL:
            if (CPaintManagerUI* manager = native.window->GetPaintManager()) {
                POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ScreenToClient(native.hwnd, &point);
                native.input->Wheel(
                    *manager, native.scale.ToUnits(UIPoint{point.x, point.y}), GET_WHEEL_DELTA_WPARAM(wParam));
            }
            return 0;
        case WM_KEYDOWN:
            if (CPaintManagerUI* manager = native.window->GetPaintManager()) {
                if (native.input->KeyDown(*manager, wParam, (lParam & (1 << 30)) != 0))
                    return 0;
            }
            return DefWindowProcW(native.hwnd, message, wParam, lParam);
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_SETFOCUS)
                native.input->EditFocused(native.edits->ControlOf(reinterpret_cast<HWND>(lParam)));
            native.edits->HandleCommand(wParam, lParam);
            return 0;
        case WM_DPICHANGED: {
            // Moved to a screen of another DPI: the window takes the size the system suggests
            // for it there, and everything is drawn at the new scale.
            native.scale = Win32Scale::ForDpi(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(native.hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            native.reportedSize = UISize{};
            ReportClientSize(native);
            MarkDirty(native);
            return 0;
        }
        case WM_DROPFILES:
            DropFiles(native, reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_GETOBJECT:
            if (native.accessible) {
                if (auto answer
                    = native.accessible->Answer(wParam, lParam, native.window->GetPaintManager(), native.scale))
                    return *answer;
            }
            return DefWindowProcW(native.hwnd, message, wParam, lParam);
        case Win32AccessibleWindow::kPressMessage:
            if (native.accessible)
                native.accessible->RunPresses();
            return 0;
        case WM_NCHITTEST: {
            // The skin's caption strip drags the window.
            const LRESULT hit = DefWindowProcW(native.hwnd, message, wParam, lParam);
            CPaintManagerUI* manager = native.window->GetPaintManager();
            if (hit != HTCLIENT || manager == nullptr)
                return hit;
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(native.hwnd, &point);
            return InCaption(*manager, native.scale.ToUnits(UIPoint{point.x, point.y})) ? HTCAPTION : HTCLIENT;
        }
        default:
            return DefWindowProcW(native.hwnd, message, wParam, lParam);
        }
    }

    static UIPoint PointOf(LPARAM lParam) { return UIPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

    // Files dropped on the window go to it, paths in the active code page.
    static void DropFiles(Win32NativeWindow& native, HDROP drop)
    {
        std::vector<std::string> paths;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size()));
            paths.push_back(AnsiOf(path.c_str()));
        }
        DragFinish(drop);
        if (!native.closing && IsWindowEnabled(native.hwnd))
            native.window->OnFilesDropped(paths);
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            auto* native = static_cast<Win32NativeWindow*>(create->lpCreateParams);
            native->hwnd = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(native));
        }
        auto* native = reinterpret_cast<Win32NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (native == nullptr || native->backend == nullptr)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        return native->backend->HandleWindowMessage(*native, message, wParam, lParam);
    }

    static LRESULT CALLBACK WakeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (impl == nullptr)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        switch (message) {
        case WM_TIMER:
            if (wParam == kWakeTimer) {
                KillTimer(hwnd, kWakeTimer);
                CPaintManagerUI::FireDueTimers();
            }
            return 0;
        case kDestroyMessage:
            if (Win32NativeWindow* native = impl->FindBySerial(static_cast<std::uint64_t>(lParam)))
                impl->Destroy(native);
            return 0;
        case kFlushMessage:
            impl->Flush();
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

    HINSTANCE instance = nullptr;
    HWND wake = nullptr;
    bool windowClassRegistered = false;
    bool wakeClassRegistered = false;
    std::string startFailure; // empty: the backend started
    Win32Pictures pictures;
    Win32TreePainter painter{pictures};
    std::chrono::steady_clock::time_point start;
    NativeWindowTable<Win32NativeWindow> windows;
    std::uint64_t lastSerial = 0;
    bool flushQueued = false;
    bool inMainLoop = false;
    bool quitPosted = false;
    int exitCode = 0;
};

Win32Backend::Win32Backend() : m_impl(std::make_unique<Impl>()) { }

Win32Backend::~Win32Backend()
{
    // Windows still open at the end get their last call like any other, so they free themselves.
    while (Win32NativeWindow* native = m_impl->windows.TopLevel()) {
        m_impl->inMainLoop = false;
        m_impl->Destroy(native);
    }
    if (m_impl->wake != nullptr)
        KillTimer(m_impl->wake, kWakeTimer);
    if (CPaintManagerUI::GetBackend() == this)
        CPaintManagerUI::SetBackend(nullptr);
}

const std::string& Win32Backend::StartFailure() const
{
    return m_impl->startFailure;
}

HWND Win32Backend::WindowHandle(UIWindowHandle window)
{
    auto* native = dynamic_cast<Win32NativeWindow*>(window);
    return native != nullptr ? native->hwnd : nullptr;
}

void Win32Backend::FlushUpdates()
{
    m_impl->Flush();
}

HBITMAP Win32Backend::PaintWindowBitmap(UIWindowHandle window)
{
    Win32NativeWindow* native = m_impl->Find(window);
    if (native == nullptr || native->window->GetPaintManager() == nullptr)
        return nullptr;
    m_impl->Flush();
    RECT client{};
    GetClientRect(native->hwnd, &client);
    return m_impl->painter.PaintToBitmap(*native->window->GetPaintManager(), UISize{client.right, client.bottom},
        native->input->Pointer(), native->scale);
}

HWND Win32Backend::EditOf(const CControlUI& control) const
{
    for (const auto& window : m_impl->windows) {
        if (HWND edit = window->edits->EditOf(control))
            return edit;
    }
    return nullptr;
}

HWND Win32Backend::WebPaneOf(const CControlUI& browser) const
{
    for (const auto& window : m_impl->windows) {
        if (Win32WebHost* host = window->webs->HostOf(browser))
            return host->Window();
    }
    return nullptr;
}

UIWindowHandle Win32Backend::CreateNativeWindow(
    CWindowWnd& window, UIWindowHandle parent, const CDuiString& title, std::uint32_t, std::uint32_t, UIRect rect)
{
    if (!m_impl->startFailure.empty())
        return nullptr;
    Win32NativeWindow* owner = m_impl->Find(parent);
    auto native = std::make_unique<Win32NativeWindow>(++m_impl->lastSerial, window, owner);
    native->backend = m_impl.get();
    Win32NativeWindow* raw = native.get();
    m_impl->windows.Add(std::move(native));

    // Frameless: the skin draws the caption and the buttons. A window without owner gets a
    // task-bar entry; owned ones (the notice box) stay with their owner.
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU;
    const DWORD exStyle = owner == nullptr ? WS_EX_APPWINDOW : 0;
    CreateWindowExW(exStyle, kWindowClass, WideOf(title.str()).c_str(), style, rect.left, rect.top,
        std::max(1, rect.Width()), std::max(1, rect.Height()), owner != nullptr ? owner->hwnd : nullptr, nullptr,
        m_impl->instance, raw);
    if (raw->hwnd == nullptr) {
        ReportWin32Failure("CreateWindowExW(KelpmereWindow)", GetLastError());
        m_impl->windows.Erase(raw);
        return nullptr;
    }
    // The skin's size is in units of 96 DPI: the window takes the pixels of its screen's DPI.
    raw->scale = Win32Scale::ForDpi(WindowDpi(raw->hwnd));
    if (raw->scale.factor != 1.0) {
        SetWindowPos(raw->hwnd, nullptr, 0, 0, raw->scale.ToPixels(std::max(1, rect.Width())),
            raw->scale.ToPixels(std::max(1, rect.Height())), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    raw->edits = std::make_unique<Win32EditMirror>(raw->hwnd, m_impl->painter);
    raw->input = std::make_unique<Win32WindowInput>(raw->hwnd, *raw->edits);
    raw->webs = std::make_unique<Win32WebMirror>(raw->hwnd);
    raw->accessible = std::make_unique<Win32AccessibleWindow>(raw->hwnd, *raw->input);
    if (window.AcceptsDroppedFiles())
        DragAcceptFiles(raw->hwnd, TRUE);
    m_impl->MarkDirty(*raw);
    return raw;
}

void Win32Backend::CloseNativeWindow(UIWindowHandle window, int result)
{
    Win32NativeWindow* native = m_impl->Find(window);
    if (native == nullptr || native->closing)
        return;
    native->closing = true;
    native->result = result;
    if (native->modal != nullptr)
        Impl::EndModal(*native->modal);
    // The window goes with the next message served; it is not hidden first, which on some
    // window systems waits for the hiding to be confirmed.
    PostMessageW(m_impl->wake, kDestroyMessage, 0, static_cast<LPARAM>(native->serial));
}

void Win32Backend::ForgetNativeWindow(UIWindowHandle window)
{
    if (Win32NativeWindow* native = m_impl->Find(window))
        m_impl->windows.TearDown(native, &Impl::Release);
}

void Win32Backend::ShowNativeWindow(UIWindowHandle window, bool show)
{
    Win32NativeWindow* native = m_impl->Find(window);
    if (native == nullptr || native->closing)
        return;
    if (show) {
        // The first frame shows the skin, not an empty window.
        m_impl->ReportClientSize(*native);
        m_impl->Sync(*native);
    }
    ShowWindow(native->hwnd, show ? SW_SHOW : SW_HIDE);
    if (show)
        UpdateWindow(native->hwnd);
}

void Win32Backend::MinimizeNativeWindow(UIWindowHandle window)
{
    Win32NativeWindow* native = m_impl->Find(window);
    if (native != nullptr && !native->closing)
        ShowWindow(native->hwnd, SW_MINIMIZE);
}

void Win32Backend::MoveNativeWindow(UIWindowHandle window, UIRect rect)
{
    if (Win32NativeWindow* native = m_impl->Find(window)) {
        // The position is the screen's; the size is in the tree's units.
        MoveWindow(native->hwnd, rect.left, rect.top, native->scale.ToPixels(std::max(1, rect.Width())),
            native->scale.ToPixels(std::max(1, rect.Height())), TRUE);
    }
}

UIRect Win32Backend::GetNativeWindowRect(UIWindowHandle window)
{
    Win32NativeWindow* native = m_impl->Find(window);
    RECT r{};
    if (native == nullptr || !GetWindowRect(native->hwnd, &r))
        return {};
    return UIRect{r.left, r.top, r.left + native->scale.ToUnits(r.right - r.left),
        r.top + native->scale.ToUnits(r.bottom - r.top)};
}

void Win32Backend::CenterNativeWindow(UIWindowHandle window)
{
    Win32NativeWindow* native = m_impl->Find(window);
    if (native == nullptr)
        return;
    RECT area{};
    if (native->parent != nullptr) {
        GetWindowRect(native->parent->hwnd, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(native->hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    RECT frame{};
    GetWindowRect(native->hwnd, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = area.left + (area.right - area.left - width) / 2;
    const int top = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(native->hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Backend::SetNativeWindowTitle(UIWindowHandle window, const CDuiString& title)
{
    if (Win32NativeWindow* native = m_impl->Find(window))
        SetWindowTextW(native->hwnd, WideOf(title.str()).c_str());
}

void Win32Backend::SetNativeWindowIcon(UIWindowHandle window, const CDuiString& iconImage)
{
    Win32NativeWindow* native = m_impl->Find(window);
    if (native == nullptr)
        return;
    if (HICON icon = m_impl->pictures.Icon(iconImage.str())) {
        SendMessageW(native->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(native->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        native->icon.reset(icon);
    }
}

void Win32Backend::SetNativeWindowOpacity(UIWindowHandle window, int alpha)
{
    if (Win32NativeWindow* native = m_impl->Find(window)) {
        native->opacity = std::clamp(alpha, 0, 255);
        // Only a window that fades is layered: the others are drawn the plain way.
        const LONG_PTR exStyle = GetWindowLongPtrW(native->hwnd, GWL_EXSTYLE);
        const bool becomesLayered = (exStyle & WS_EX_LAYERED) == 0;
        if (becomesLayered)
            SetWindowLongPtrW(native->hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributes(native->hwnd, 0, static_cast<BYTE>(native->opacity), LWA_ALPHA);
        // What the window showed before it was layered is not carried over: paint it anew.
        if (becomesLayered)
            RedrawWindow(native->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

int Win32Backend::RunMessageLoop()
{
    if (!m_impl->quitPosted) {
        m_impl->inMainLoop = true;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        m_impl->inMainLoop = false;
    }
    m_impl->quitPosted = false;
    return m_impl->exitCode;
}

void Win32Backend::PostQuit(int exitCode)
{
    m_impl->Quit(exitCode);
}

int Win32Backend::RunModalLoop(UIWindowHandle window)
{
    Win32NativeWindow* native = m_impl->Find(window);
    if (native == nullptr)
        return 0;
    Win32ModalState state;
    if (!native->closing) {
        // The owner (or, for a window without one, every other window of the program) takes no
        // input while the modal window is open.
        for (const auto& other : m_impl->windows) {
            const bool blocked = native->parent != nullptr ? other.get() == native->parent : other.get() != native;
            if (blocked && other->hwnd != nullptr && IsWindowEnabled(other->hwnd)) {
                EnableWindow(other->hwnd, FALSE);
                state.disabled.push_back(other->hwnd);
            }
        }
        ShowNativeWindow(window, true);
    }
    native->modal = &state;
    const std::uint64_t serial = native->serial;
    if (!m_impl->Pump([&state] { return state.done; })) {
        // The loop ended for a quit of the program; the window stays until the program ends.
        if (Win32NativeWindow* still = m_impl->FindBySerial(serial))
            still->modal = nullptr;
        Impl::EndModal(state);
    }
    return state.result;
}

std::uint64_t Win32Backend::NowMs()
{
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_impl->start)
            .count());
}

void Win32Backend::ScheduleTimerWake(std::optional<std::uint64_t> dueMs)
{
    if (!dueMs) {
        KillTimer(m_impl->wake, kWakeTimer);
        return;
    }
    SetTimer(m_impl->wake, kWakeTimer, static_cast<UINT>(CTimerTable::WaitMs(*dueMs, NowMs())), nullptr);
}

std::optional<std::string> Win32Backend::ShowOpenFileDialog(UIWindowHandle owner, const FileDialogOptions& options)
{
    return Win32OpenFileDialog(m_impl->Owner(owner), options);
}

std::optional<std::string> Win32Backend::ShowSaveFileDialog(UIWindowHandle owner, const FileDialogOptions& options)
{
    return Win32SaveFileDialog(m_impl->Owner(owner), options);
}

std::optional<std::string> Win32Backend::ShowFolderDialog(
    UIWindowHandle owner, const CDuiString& title, const CDuiString& initialFolder)
{
    return Win32FolderDialog(m_impl->Owner(owner), title, initialFolder);
}

void Win32Backend::TreeChanged(CPaintManagerUI& manager)
{
    if (Win32NativeWindow* native = m_impl->FindByManager(manager))
        m_impl->MarkDirty(*native);
}

void Win32Backend::ControlDestroyed(CPaintManagerUI&, CControlUI& control)
{
    for (const auto& window : m_impl->windows) {
        if (window->edits)
            window->edits->Forget(control);
        if (window->input)
            window->input->Forget(control);
        if (window->webs)
            window->webs->Forget(control);
        if (window->accessible)
            window->accessible->Forget(control);
    }
}

void Win32Backend::NavigateWebBrowser(CWebBrowserUI& browser, const CDuiString& url)
{
    // A pane not made yet loads the browser's address when it is first shown.
    for (const auto& window : m_impl->windows) {
        if (window->webs)
            window->webs->Navigate(browser, url.str());
    }
}
