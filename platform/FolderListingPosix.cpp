#include "platform/FolderListing.h"
#include "platform/PathText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::size_t JoinedLength(const std::string& dir, const std::string& name)
{
    return dir.size() + (!dir.empty() && dir.back() == '/' ? 0 : 1) + name.size();
}

} // namespace

bool ListFolder(const std::string& dir, const std::function<bool(const FileIdentity&)>& enter,
    std::vector<FolderEntry>& entries, int& error)
{
    entries.clear();
    error = 0;
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat folderInfo { };
    if (fstat(fd, &folderInfo) != 0) {
        error = errno;
        close(fd);
        return false;
    }
    if (!enter(FileIdentity{folderInfo.st_dev, folderInfo.st_ino})) {
        close(fd);
        return false;
    }
    DIR* listing = fdopendir(fd);
    if (listing == nullptr) {
        error = errno;
        close(fd);
        return false;
    }
    for (;;) {
        errno = 0; // readdir tells the end from a failure by errno alone
        const dirent* entry = readdir(listing);
        if (entry == nullptr) {
            error = errno;
            break;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        FolderEntry item{entry->d_name, entry->d_type == DT_DIR, entry->d_type == DT_REG};
        // The listing's type hint: DT_UNKNOWN or a link needs a stat; FIFOs, sockets and
        // devices stay neither folder nor file.
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info { };
            if (stat(JoinPath(dir, item.name).c_str(), &info) == 0) {
                item.isFolder = S_ISDIR(info.st_mode);
                item.isFile = S_ISREG(info.st_mode);
            } else if (errno != ENOENT && errno != ENOTDIR) { // those two: dangling or vanished
                item.error = errno;
            }
        }
        // No call takes a path this long (PATH_MAX counts the terminating zero). A folder finds
        // out when it is listed in turn.
        if (item.isFile && JoinedLength(dir, item.name) >= PATH_MAX) {
            item.error = ENAMETOOLONG;
        }
        entries.push_back(std::move(item));
    }
    closedir(listing);
    if (error != 0) {
        entries.clear();
        return false;
    }
    // std::string compares through char_traits<char>, which orders bytes as unsigned values.
    std::sort(entries.begin(), entries.end());
    return true;
}

std::string SystemErrorText(int error)
{
    return std::generic_category().message(error);
}

bool IsFolder(const char* path, FileIdentity* identity)
{
    struct stat info { };
    if (path == nullptr || stat(path, &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    if (identity != nullptr) {
        *identity = FileIdentity{info.st_dev, info.st_ino};
    }
    return true;
}

bool MakeFolder(const char* path)
{
    return mkdir(path, 0777) == 0 || (errno == EEXIST && IsFolder(path));
}
