#include "toolkit/WindowImplBase.h"

#include "toolkit/CDialogBuilder.h"
#include "toolkit/CVerticalLayoutUI.h"

WindowImplBase::~WindowImplBase()
{
    // The native window goes before the tree it mirrors.
    DetachNativeWindow();
}

const char* WindowImplBase::GetWindowClassName() const
{
    return "WindowImplBase";
}

void WindowImplBase::OnCreate()
{
    m_pm.Init(this);
    m_pm.AddNotifier(this);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(GetSkinFile(), nullptr, this, &m_pm);
    if (!root)
        root = new CVerticalLayoutUI();
    m_pm.AttachDialog(root);

    UIRect rect = GetWindowRect();
    const UISize skinSize = m_pm.GetInitSize();
    if (skinSize.cx > 0 && skinSize.cy > 0) {
        rect.right = rect.left + skinSize.cx;
        rect.bottom = rect.top + skinSize.cy;
        MoveWindow(rect);
    }
    m_pm.SetClientSize(UISize{rect.Width(), rect.Height()});
    InitWindow();
}

void WindowImplBase::InitWindow() { }

void WindowImplBase::OnClick(TNotifyUI&) { }

void WindowImplBase::Notify(TNotifyUI& msg)
{
    if (msg.sType == "click")
        OnClick(msg);
}

CControlUI* WindowImplBase::CreateControl(const char*)
{
    return nullptr;
}

void WindowImplBase::HandleNativeResized(UISize clientSize)
{
    m_pm.SetClientSize(clientSize);
}

void WindowImplBase::OnFinalMessage(UIWindowHandle)
{
    // The window is gone: its notifications and timers end here.
    m_pm.RemoveNotifier(this);
    m_pm.KillAllTimers();
}
