#ifndef _WIN32

#include "torrent/FolderListing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (!dir.empty() && dir.back() == '/') {
        return dir + name;
    }
    return dir + "/" + name;
}

} // namespace

bool ListFolder(
    const std::string& dir, const std::function<bool(const FolderIdentity&)>& enter, std::vector<FolderEntry>& entries)
{
    entries.clear();
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat folderInfo { };
    if (fstat(fd, &folderInfo) != 0 || !enter(FolderIdentity{folderInfo.st_dev, folderInfo.st_ino})) {
        close(fd);
        return false;
    }
    DIR* listing = fdopendir(fd);
    if (listing == nullptr) {
        close(fd);
        return false;
    }
    while (const dirent* entry = readdir(listing)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        FolderEntry item{entry->d_name, entry->d_type == DT_DIR, entry->d_type == DT_REG};
        // The listing's type hint: DT_UNKNOWN or a link needs a stat; FIFOs, sockets and
        // devices stay neither folder nor file.
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info { };
            if (stat(JoinPath(dir, item.name).c_str(), &info) == 0) { // else dangling or vanished
                item.isFolder = S_ISDIR(info.st_mode);
                item.isFile = S_ISREG(info.st_mode);
            }
        }
        entries.push_back(std::move(item));
    }
    closedir(listing);
    // std::string compares through char_traits<char>, which orders bytes as unsigned values.
    std::sort(entries.begin(), entries.end());
    return true;
}

bool IsFolder(const char* path, FolderIdentity* identity)
{
    struct stat info { };
    if (path == nullptr || stat(path, &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    if (identity != nullptr) {
        *identity = FolderIdentity{info.st_dev, info.st_ino};
    }
    return true;
}

bool MakeFolder(const char* path)
{
    return mkdir(path, 0777) == 0 || (errno == EEXIST && IsFolder(path));
}

#endif
