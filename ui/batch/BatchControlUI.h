#pragma once

#include "toolkit/CContainerUI.h"

class BatchListControl;
class CMainFrameWnd;

// The batch page. For now it builds its skin ("BatchSkin.xml") into the tab layout and puts its
// list control into "TorrentListLayoutUI"; the three operations that the main window calls on
// the page's button clicks do nothing yet.
class BatchControlUI : public CContainerUI {
public:
    explicit BatchControlUI(CMainFrameWnd* mainFrame) : mainFrame(mainFrame) {}
    ~BatchControlUI() override = default;

    // Builds the page into parent; false without a paint manager or when the skin gives no control.
    bool CreatePage(CContainerUI* parent);

    void ChooseSourceFolder();    // "btn_batch_src"
    void ChooseDestFolder();      // "btn_batch_des"
    void StartConversion();       // "btn_batch_conver"

    // The list control that runs the conversion; null until CreatePage has made it.
    BatchListControl* GetListControl() const { return listControl; }

private:
    [[maybe_unused]] CMainFrameWnd* mainFrame = nullptr;
    BatchListControl* listControl = nullptr;
};
