#pragma once

#ifndef _WIN32
#include <filesystem>
#include <system_error>

#include <sys/wait.h>
#include <unistd.h>

// Permission bits don't stop root: a check that needs them runs in a child process, which root
// makes "nobody" (65534).
inline bool BecomeUnprivileged()
{
    return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
}

// Whether a child of this process can run without root's override of permission bits and, so
// made, still enter `folder`, the one the check will work in (a temporary folder below one that
// only root may enter, such as /root, is out of the other user's reach).
inline bool ChildCanBeUnprivilegedIn(const std::filesystem::path& folder)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(BecomeUnprivileged() && access(folder.c_str(), R_OK | X_OK) == 0 ? 0 : 1);
    int status = 1;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A copy of `program` in `folder`, both open to every user, for running the program as another
// user wherever the build lives: "nobody" can't start a program inside a folder only root may
// enter. The program loads nothing of the build (the project's libraries are linked in), so the
// copy is all it needs. Returns an empty path when the copy can't be made.
inline std::filesystem::path CopyForEveryUser(const std::filesystem::path& program, const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path copy = folder / program.filename();
    fs::create_directories(folder, error);
    if (error || !fs::copy_file(program, copy, fs::copy_options::overwrite_existing, error))
        return {};
    const fs::perms open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
        | fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(folder, open, error);
    if (!error)
        fs::permissions(copy, open, error);
    return error ? fs::path() : copy;
}
#endif
