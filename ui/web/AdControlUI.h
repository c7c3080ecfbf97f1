#pragma once

#include "toolkit/CContainerUI.h"

class CWebBrowserUI;

// The advertisement tab. For now it only builds its skin ("ADSkin.xml") into the tab layout;
// writing and showing the advertisement page comes with the web panes.
class AdControlUI : public CContainerUI {
public:
    AdControlUI() = default;
    ~AdControlUI() override = default;

    // Builds the pane into parent (the main window's tab layout); false without a paint manager
    // or when the skin gives no control.
    bool CreatePage(CContainerUI* parent);

private:
    [[maybe_unused]] CWebBrowserUI* browser = nullptr;
};
