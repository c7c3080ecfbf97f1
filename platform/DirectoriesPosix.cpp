#include "platform/Directories.h"

#include <filesystem>
#include <system_error>

// Paths here are bytes as the system keeps them: std::filesystem converts nothing on POSIX.

std::string CurrentWorkingDirectory()
{
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).native();
    return error ? std::string{} : folder;
}

std::string ExecutableDirectory()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !program.has_parent_path()) {
        return {};
    }
    std::string folder = program.parent_path().native();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}
