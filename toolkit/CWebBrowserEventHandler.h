#pragma once

#include "toolkit/CDuiString.h"
#include "toolkit/UIDefs.h"

#include <cstdint>

class CWebBrowserUI;

// Display options the browser host asks for (GetHostInfo).
struct DocHostUIInfo {
    std::uint32_t flags = 0; // kDocHostUIFlag... bits
    std::uint32_t doubleClick = 0;
};
inline constexpr std::uint32_t kDocHostUIFlagDialog = 0x1;
inline constexpr std::uint32_t kDocHostUIFlagDisableHelpMenu = 0x2;
inline constexpr std::uint32_t kDocHostUIFlagNo3DBorder = 0x4; // draw without a 3-D border
inline constexpr std::uint32_t kDocHostUIFlagScrollNo = 0x8;

// Receives the embedded browser's events and answers its host's questions. The 22 operations
// are virtual, in this order; the defaults let the browser behave as it normally does, except
// that ShowContextMenu's default (kUIResultOk) means "handled here": no context menu is shown.
// The backend calls them on the UI thread.
class CWebBrowserEventHandler {
public:
    CWebBrowserEventHandler() = default;
    virtual ~CWebBrowserEventHandler() = default;

    // Navigation events. Setting cancel stops the navigation / the new window.
    virtual void BeforeNavigate2(CWebBrowserUI* browser, const CDuiString& url, bool& cancel);           // 0
    virtual void NavigateError(CWebBrowserUI* browser, const CDuiString& url, int status, bool& cancel); // 1
    virtual void NavigateComplete2(CWebBrowserUI* browser, const CDuiString& url);                       // 2
    virtual void ProgressChange(CWebBrowserUI* browser, int progress, int progressMax);                  // 3
    virtual void NewWindow3(CWebBrowserUI* browser, const CDuiString& url, bool& cancel);                // 4
    virtual void CommandStateChange(CWebBrowserUI* browser, int command, bool enabled);                  // 5

    // Host questions.
    virtual UIResult ShowContextMenu(CWebBrowserUI* browser, int menuId, UIPoint at);       // 6: kUIResultOk
    virtual UIResult GetHostInfo(CWebBrowserUI* browser, DocHostUIInfo* info);              // 7: kUIResultOk
    virtual UIResult ShowUI(CWebBrowserUI* browser);                                        // 8: kUIResultFalse
    virtual UIResult HideUI(CWebBrowserUI* browser);                                        // 9: kUIResultOk
    virtual UIResult UpdateUI(CWebBrowserUI* browser);                                      // 10: kUIResultOk
    virtual UIResult EnableModeless(CWebBrowserUI* browser, bool enable);                   // 11: kUIResultOk
    virtual UIResult OnDocWindowActivate(CWebBrowserUI* browser, bool activate);            // 12: kUIResultOk
    virtual UIResult OnFrameWindowActivate(CWebBrowserUI* browser, bool activate);          // 13: kUIResultOk
    virtual UIResult ResizeBorder(CWebBrowserUI* browser, UIRect border, bool frameWindow); // 14: kUIResultOk
    // kUIResultFalse: the key goes to the browser as usual.
    virtual UIResult TranslateAccelerator(CWebBrowserUI* browser, int key, int modifiers); // 15: kUIResultFalse
    virtual UIResult GetOptionKeyPath(CWebBrowserUI* browser, CDuiString& path);           // 16: kUIResultOk
    virtual UIResult GetDropTarget(CWebBrowserUI* browser); // 17: kUIResultNotImplemented
    // kUIResultNotImplemented: pages get no external object.
    virtual UIResult GetExternal(CWebBrowserUI* browser); // 18: kUIResultNotImplemented
    virtual UIResult TranslateUrl(
        CWebBrowserUI* browser, const CDuiString& url, CDuiString& translated); // 19: kUIResultOk
    virtual UIResult FilterDataObject(CWebBrowserUI* browser);                  // 20: kUIResultOk
    // Download hook; kUIResultOk lets the browser download as usual.
    virtual UIResult Download(CWebBrowserUI* browser, const CDuiString& url); // 21: kUIResultOk
};
