#pragma once

#include "toolkit/CWebBrowserEventHandler.h"

// The event handler of both web panes. It keeps every answer of the toolkit's handler (no
// context menu of the browser's own, keys and new windows as the browser decides, no external
// object for pages) and asks the browser to draw without a three-dimensional border.
class RerWebBrowserEventHandler : public CWebBrowserEventHandler {
public:
    // Adds kDocHostUIFlagNo3DBorder to info's flags (when info is given); kUIResultOk.
    UIResult GetHostInfo(CWebBrowserUI* browser, DocHostUIInfo* info) override;
};
