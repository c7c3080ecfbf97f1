#pragma once

#include "toolkit/CContainerUI.h"

class CWebBrowserUI;

// The search tab. For now it only builds its skin ("SearchSkin.xml") into the tab layout;
// sending the browser to the search site comes with the web panes.
class SearchControlUI : public CContainerUI {
public:
    SearchControlUI() = default;
    ~SearchControlUI() override = default;

    // Builds the pane into parent (the main window's tab layout); false without a paint manager
    // or when the skin gives no control.
    bool CreatePage(CContainerUI* parent);

private:
    [[maybe_unused]] CWebBrowserUI* browser = nullptr;
};
