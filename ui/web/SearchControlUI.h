#pragma once

#include "toolkit/CContainerUI.h"
#include "ui/web/RerWebBrowserEventHandler.h"

class CWebBrowserUI;

// The search tab: the browser "search_ie" of "SearchSkin.xml" showing the configured search
// site (ConfiguredSearchAddress). Once built it leaves everything to the browser.
class SearchControlUI : public CContainerUI {
public:
    SearchControlUI() = default;
    // Takes the handler away from the browser first: the browser is destroyed after it.
    ~SearchControlUI() override;

    // Builds the pane into parent (the main window's tab layout) and sends its browser to the
    // search address. False, having joined nothing (the caller still owns the pane), without a paint manager or when
    // the skin gives no control. A skin without "search_ie" gives a pane without a browser (true).
    bool CreatePage(CContainerUI& parent);

    CWebBrowserUI* GetBrowser() const { return browser; }

private:
    CWebBrowserUI* browser = nullptr;
    RerWebBrowserEventHandler eventHandler;
};
