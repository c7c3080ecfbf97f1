#pragma once

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

// Permission bits don't stop root: a check that needs them runs in a child process, which root
// makes "nobody" (65534).
inline bool BecomeUnprivileged()
{
    return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
}

// Whether a child of this process can run without root's override of permission bits.
inline bool ChildCanBeUnprivileged()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(BecomeUnprivileged() ? 0 : 1);
    int status = 1;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif
