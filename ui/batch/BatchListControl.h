#pragma once

#include "toolkit/CContainerUI.h"
#include "toolkit/TNotifyUI.h"

class BatchControlUI;

// The batch page's list control. For now it is an empty container that receives every "timer"
// notification of the main window and only counts them; the list and the conversion run come
// with the batch page.
class BatchListControl : public CContainerUI {
public:
    explicit BatchListControl(BatchControlUI* page) : page(page) {}
    ~BatchListControl() override = default;

    // One "timer" notification of the main window, whatever its sender.
    void OnTimer(TNotifyUI& msg);
    int TimerNotificationsSeen() const { return timerNotificationsSeen; }

private:
    [[maybe_unused]] BatchControlUI* page = nullptr;
    int timerNotificationsSeen = 0;
};
