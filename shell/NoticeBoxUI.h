#pragma once

#include "toolkit/WindowImplBase.h"

class CControlUI;

// The program's one way of telling the user something: a small modal box with a message and a
// close button ("BtnClose"). Given fade steps (1 to 10) it stays invisible for one tick, then
// shows with falling opacity every 200 ms and closes by itself; with 0 steps it stays opaque
// until closed. The box deletes itself once its window is gone.
class NoticeBoxUI : public WindowImplBase {
public:
    static constexpr std::uint32_t kFadeTimerId = 1;
    static constexpr std::uint32_t kFadeIntervalMs = 200;
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 400;
    static constexpr std::uint32_t kStyle = 0x96C80000u; // popup, visible, caption, system menu
    static constexpr int kResultClosed = 0;              // "BtnClose"
    static constexpr int kResultFaded = 1;               // closed by the fade

    NoticeBoxUI(CDuiString text, int fadeSteps);

    const char* GetWindowClassName() const override { return "NoticeBoxUI"; }
    CDuiString GetSkinFolder() override { return "Skin\\"; }
    CDuiString GetSkinFile() override { return "NoticeBoxSkin.xml"; }
    void InitWindow() override;
    void OnClick(TNotifyUI& msg) override;
    void Notify(TNotifyUI& msg) override;

protected:
    void OnFinalMessage(UIWindowHandle hWnd) override;

private:
    // The label that shows the message and carries the fade timer: the skin's "TextUI", or one
    // of the box's own when the skin has none.
    CControlUI* TakeTextLabel();

    CControlUI* textLabel = nullptr;
    CDuiString message;
    int fadeSteps = 0;
};

// Shows text in a new notice box over owner, modally, the way every page does it: created with
// an empty title at 300 x 400, centred, then ShowModal. Returns ShowModal's result (0 closed by
// "BtnClose", 1 faded out), or -1 when the window couldn't be created.
int ShowNoticeBox(UIWindowHandle owner, const CDuiString& text, int fadeSteps = 10);

// A page's fixed message (UTF-8 in the source) shown over window, in the local code page that
// the interface shows, with the full fade.
int ShowPageNotice(CWindowWnd* window, const char* utf8Text);
