#include "toolkit/CWindowWnd.h"

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/IToolkitBackend.h"

#include <algorithm>

CWindowWnd::~CWindowWnd()
{
    DetachNativeWindow();
}

const char* CWindowWnd::GetWindowClassName() const
{
    return "Window";
}

CPaintManagerUI* CWindowWnd::GetPaintManager()
{
    return nullptr;
}

UIWindowHandle CWindowWnd::Create(UIWindowHandle parent, const CDuiString& title, std::uint32_t style,
    std::uint32_t exStyle, int x, int y, int cx, int cy, void*)
{
    IToolkitBackend* backend = CPaintManagerUI::GetBackend();
    if (m_hWnd || !backend)
        return nullptr;
    m_title = title;
    m_closing = false;
    m_hWnd = backend->CreateNativeWindow(*this, parent, title, style, exStyle, UIRect{x, y, x + cx, y + cy});
    if (!m_hWnd)
        return nullptr;
    OnCreate();
    if (m_hWnd && (style & kWindowStyleVisible))
        ShowWindow(true);
    return m_hWnd;
}

void CWindowWnd::ShowWindow(bool show)
{
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend(); backend && m_hWnd)
        backend->ShowNativeWindow(m_hWnd, show);
}

void CWindowWnd::Minimize()
{
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend(); backend && m_hWnd)
        backend->MinimizeNativeWindow(m_hWnd);
}

int CWindowWnd::ShowModal()
{
    IToolkitBackend* backend = CPaintManagerUI::GetBackend();
    if (!backend || !m_hWnd)
        return -1;
    // The window may delete itself inside the loop: nothing of this object is touched afterwards.
    return backend->RunModalLoop(m_hWnd);
}

void CWindowWnd::Close(int result)
{
    IToolkitBackend* backend = CPaintManagerUI::GetBackend();
    if (!backend || !m_hWnd || m_closing)
        return;
    m_closing = true;
    backend->CloseNativeWindow(m_hWnd, result);
}

void CWindowWnd::CenterWindow()
{
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend(); backend && m_hWnd)
        backend->CenterNativeWindow(m_hWnd);
}

void CWindowWnd::SetIcon(int resourceId)
{
    CDuiString image;
    image.Format("icon%d.png", resourceId);
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend(); backend && m_hWnd)
        backend->SetNativeWindowIcon(m_hWnd, image);
}

void CWindowWnd::SetOpacity(int alpha)
{
    alpha = std::clamp(alpha, 0, 255);
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend(); backend && m_hWnd)
        backend->SetNativeWindowOpacity(m_hWnd, alpha);
}

void CWindowWnd::SetTitle(const CDuiString& title)
{
    m_title = title;
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend(); backend && m_hWnd)
        backend->SetNativeWindowTitle(m_hWnd, title);
}

UIRect CWindowWnd::GetWindowRect() const
{
    IToolkitBackend* backend = CPaintManagerUI::GetBackend();
    return backend && m_hWnd ? backend->GetNativeWindowRect(m_hWnd) : UIRect{};
}

void CWindowWnd::MoveWindow(UIRect rect)
{
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend(); backend && m_hWnd)
        backend->MoveNativeWindow(m_hWnd, rect);
}

void CWindowWnd::HandleNativeDestroyed()
{
    UIWindowHandle gone = m_hWnd;
    m_hWnd = nullptr;
    m_closing = false;
    OnFinalMessage(gone);
}

void CWindowWnd::HandleNativeResized(UISize) { }

void CWindowWnd::OnCreate() { }

void CWindowWnd::OnFinalMessage(UIWindowHandle) { }

void CWindowWnd::DetachNativeWindow()
{
    if (!m_hWnd)
        return;
    UIWindowHandle gone = m_hWnd;
    m_hWnd = nullptr;
    if (IToolkitBackend* backend = CPaintManagerUI::GetBackend())
        backend->ForgetNativeWindow(gone);
}
