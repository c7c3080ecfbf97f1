#pragma once

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWindowWnd.h"
#include "toolkit/IDialogBuilderCallback.h"
#include "toolkit/INotifyUI.h"

// A skinned window: on creation it builds its skin file (GetSkinFile, read through
// CDialogBuilder with itself as callback and its paint manager), attaches the tree, registers
// itself for notifications and runs InitWindow. A skin that gives no control leaves the window
// with an empty vertical layout as root, so InitWindow can still add controls.
// Notify routes "click" to OnClick.
class WindowImplBase : public CWindowWnd, public INotifyUI, public IDialogBuilderCallback {
public:
    WindowImplBase() = default;
    ~WindowImplBase() override;

    const char* GetWindowClassName() const override;
    CPaintManagerUI* GetPaintManager() override { return &m_pm; }

    // Folder and file of the window's skin. Skins are looked up by file name in the skin
    // archive; the folder names where that archive sits (the resource folder).
    virtual CDuiString GetSkinFolder() = 0;
    virtual CDuiString GetSkinFile() = 0;
    // Runs once the skin is loaded and attached.
    virtual void InitWindow();
    // A "click" notification.
    virtual void OnClick(TNotifyUI& msg);

    void Notify(TNotifyUI& msg) override;
    CControlUI* CreateControl(const char* className) override;

    void HandleNativeResized(UISize clientSize) override;

protected:
    void OnCreate() override;
    void OnFinalMessage(UIWindowHandle hWnd) override;

    CPaintManagerUI m_pm;
};
