#include "shell/NoticeBoxUI.h"

#include "platform/LocalText.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CLabelUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CVerticalLayoutUI.h"

#include <utility>

namespace {
constexpr UIColor kHotColor = 0xFFFF2D2D;
constexpr int kMessageFont = 0;
constexpr int kOpaque = 255;
} // namespace

NoticeBoxUI::NoticeBoxUI(CDuiString text, int fadeSteps) : fadeSteps(fadeSteps)
{
    message.Format("%s", text.GetData());
}

CControlUI* NoticeBoxUI::TakeTextLabel()
{
    if (CControlUI* label = m_pm.FindControl("TextUI"))
        return label;

    // A skin without "TextUI": the box brings a label of its own, filling the window above
    // whatever the skin holds, so the message is still shown and the fade still runs.
    auto* label = new CLabelUI;
    label->SetName("TextUI");
    label->SetTextStyle(kAlignCenter | kAlignVCenter | kAlignWordBreak);
    label->SetTextPadding(UIRect{20, 16, 20, 16});
    auto* root = dynamic_cast<CContainerUI*>(m_pm.GetRoot());
    if (root == nullptr) {
        // The skin's root is a single control that can't hold the label: a new root holds it.
        root = new CVerticalLayoutUI;
        m_pm.AttachDialog(root);
    }
    root->AddAt(label, 0);
    return label;
}

void NoticeBoxUI::InitWindow()
{
    textLabel = TakeTextLabel();
    if (auto* label = dynamic_cast<CLabelUI*>(textLabel))
        label->SetFont(kMessageFont);
    textLabel->SetText(message);

    if (auto* close = dynamic_cast<CButtonUI*>(m_pm.FindControl("BtnClose")))
        close->SetHotBkColor(kHotColor);

    if (fadeSteps <= 0) {
        SetOpacity(kOpaque);
    } else {
        // Invisible until the first tick, which shows it at full opacity.
        SetOpacity(0);
        m_pm.SetTimer(textLabel, kFadeTimerId, kFadeIntervalMs);
    }
}

void NoticeBoxUI::OnClick(TNotifyUI& msg)
{
    if (msg.pSender == nullptr || msg.pSender->GetName() != "BtnClose")
        return;
    if (textLabel != nullptr)
        m_pm.KillTimer(textLabel, kFadeTimerId);
    Close(kResultClosed);
}

void NoticeBoxUI::Notify(TNotifyUI& msg)
{
    WindowImplBase::Notify(msg);
    if (msg.sType != "timer" || msg.pSender == nullptr || msg.pSender != textLabel)
        return;
    if (fadeSteps > 0) {
        SetOpacity(fadeSteps * 255 / 10);
        --fadeSteps;
    } else {
        m_pm.KillTimer(textLabel, kFadeTimerId);
        Close(kResultFaded);
    }
}

void NoticeBoxUI::OnFinalMessage(UIWindowHandle hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

int ShowPageNotice(CWindowWnd* window, const char* utf8Text)
{
    return ShowNoticeBox(window != nullptr ? window->GetHWND() : nullptr, CDuiString(Utf8ToLocalText(utf8Text)));
}

int ShowNoticeBox(UIWindowHandle owner, const CDuiString& text, int fadeSteps)
{
    auto* box = new NoticeBoxUI(text, fadeSteps);
    if (box->Create(owner, "", NoticeBoxUI::kStyle, 0, 0, 0, NoticeBoxUI::kWidth, NoticeBoxUI::kHeight) == nullptr) {
        delete box;
        return -1;
    }
    box->CenterWindow();
    return box->ShowModal();
}
