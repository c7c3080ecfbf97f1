#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

void LowerThisThreadsPriority()
{
    // On Linux a thread has a nice value of its own, set through its thread id. Failing leaves the
    // thread as it was, which only costs the window some of its speed.
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, thread, 10);
}
