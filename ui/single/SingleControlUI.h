#pragma once

#include "toolkit/CContainerUI.h"

class CMainFrameWnd;

// The single-torrent page. For now it builds its skin ("SingleSkin.xml") into the tab layout;
// its three operations, which the main window calls on the page's button clicks, do nothing yet.
class SingleControlUI : public CContainerUI {
public:
    explicit SingleControlUI(CMainFrameWnd* mainFrame) : mainFrame(mainFrame) {}
    ~SingleControlUI() override = default;

    // Builds the page into tabLayout; false without a paint manager or when the skin gives no control.
    bool CreatePage(CContainerUI* tabLayout);

    void OnOpenFile();        // "btn_single_file"
    void OnSave();            // "btn_single_save"
    void OnOneKeyModify();    // "btn_single_onekey_modify"

private:
    [[maybe_unused]] CMainFrameWnd* mainFrame = nullptr;
};
