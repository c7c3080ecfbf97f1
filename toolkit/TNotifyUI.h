#pragma once

#include "toolkit/CDuiString.h"

#include <cstdint>

class CControlUI;

// One notification from the toolkit to a window, delivered on the UI thread to INotifyUI::Notify.
// Types used: "click", "selectchanged", "timer" (wParam = timer id), "textchanged", "tabselect"
// (wParam = new index, lParam = old index).
struct TNotifyUI {
    CDuiString sType;              // what happened
    CControlUI* pSender = nullptr; // the control it happened to
    std::uint64_t dwTimestamp = 0; // toolkit clock in milliseconds
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};
using tagTNotifyUI = TNotifyUI;
