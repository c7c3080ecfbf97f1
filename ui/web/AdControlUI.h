#pragma once

#include "toolkit/CContainerUI.h"
#include "ui/web/RerWebBrowserEventHandler.h"

#include <string>

class CWebBrowserUI;

// The advertisement tab: writes the advertisement page to Ad/ad.html of the start directory and
// shows it in the browser "ad_ie" of "ADSkin.xml". Once built it leaves everything to the browser.
class AdControlUI : public CContainerUI {
public:
    AdControlUI() = default;
    // Takes the handler away from the browser first: the browser is destroyed after it.
    ~AdControlUI() override;

    // Writes the page file anew and builds the pane into parent (the main window's tab layout).
    // False, having joined nothing (the caller still owns the pane), without a paint manager, without a recorded start
    // directory, when the page can't be written (no folder "Ad" there, no permission) or when the skin gives no
    // control. A skin without "ad_ie" gives a pane without a browser (true).
    bool CreatePage(CContainerUI& parent);

    // The page file: "<start directory>/Ad/ad.html".
    static std::string PagePath();

    CWebBrowserUI* GetBrowser() const { return browser; }

private:
    CWebBrowserUI* browser = nullptr;
    RerWebBrowserEventHandler eventHandler;
};
