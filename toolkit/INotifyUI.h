#pragma once

#include "toolkit/TNotifyUI.h"

// Receiver of notifications (windows register with their paint manager).
class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};
