#include "platform/ThreadPriority.h"

#include <windows.h>

void LowerThisThreadsPriority()
{
    // Failing leaves the thread as it was, which only costs the window some of its speed.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}
