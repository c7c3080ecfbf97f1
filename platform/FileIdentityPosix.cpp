#include "platform/FileIdentity.h"

#include <sys/stat.h>

std::optional<FileIdentity> IdentityOf(const char* path, bool followLinks)
{
    struct stat info { };
    if (path == nullptr || (followLinks ? ::stat(path, &info) : ::lstat(path, &info)) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}
