#include "ui/batch/BatchListControl.h"

void BatchListControl::OnTimer(TNotifyUI& /*msg*/)
{
    ++timerNotificationsSeen;
}
