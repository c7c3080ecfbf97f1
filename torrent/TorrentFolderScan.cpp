#include "torrent/TorrentFolderScan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ScanState {
    const char* pattern = "";
    std::vector<BatchItem>* results = nullptr;
    // Folders already walked, and the one to leave out: none of them is entered again.
    std::set<FolderIdentity> visited;
};

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (!dir.empty() && dir.back() == '/') {
        return dir + name;
    }
    return dir + "/" + name;
}

struct FolderEntry {
    std::string name;
    unsigned char kind = DT_UNKNOWN;  // the listing's type hint; DT_UNKNOWN or DT_LNK need a stat

    bool operator<(const FolderEntry& other) const { return name < other.name; }
};

// The entries of the folder open at `fd`, without "." and "..", sorted by name in byte order.
// Takes ownership of `fd`.
std::vector<FolderEntry> ListFolder(int fd) {
    std::vector<FolderEntry> names;
    DIR* listing = fdopendir(fd);
    if (listing == nullptr) {
        close(fd);
        return names;
    }
    while (const dirent* entry = readdir(listing)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        names.push_back(FolderEntry{entry->d_name, entry->d_type});
    }
    closedir(listing);
    // std::string compares through char_traits<char>, which orders bytes as unsigned values.
    std::sort(names.begin(), names.end());
    return names;
}

void ScanFolder(const std::string& dir, const std::string& relativeDir, ScanState& state) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat folderInfo {};
    if (fstat(fd, &folderInfo) != 0 || !state.visited.insert(FolderIdentity{folderInfo.st_dev, folderInfo.st_ino}).second) {
        close(fd);
        return;
    }
    for (const FolderEntry& entry : ListFolder(fd)) {
        const std::string& name = entry.name;
        const std::string path = JoinPath(dir, name);
        bool isFolder = entry.kind == DT_DIR;
        bool isFile = entry.kind == DT_REG;
        if (!isFolder && !isFile) {
            if (entry.kind != DT_UNKNOWN && entry.kind != DT_LNK) {
                continue;  // FIFO, socket or device
            }
            struct stat info {};
            if (stat(path.c_str(), &info) != 0) {
                continue;  // dangling link, or vanished since the listing
            }
            isFolder = S_ISDIR(info.st_mode);
            isFile = S_ISREG(info.st_mode);
        }
        if (isFolder) {
            ScanFolder(path, relativeDir + "/" + name, state);
        } else if (isFile && path.find(state.pattern) != std::string::npos) {
            BatchItem item;
            item.relativeDir = relativeDir;
            item.fileName = name;
            state.results->push_back(std::move(item));
        }
    }
}

}  // namespace

bool IsFolder(const char* path, FolderIdentity* identity) {
    struct stat info {};
    if (path == nullptr || stat(path, &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    if (identity != nullptr) {
        *identity = FolderIdentity{info.st_dev, info.st_ino};
    }
    return true;
}

void ScanTorrentFolder(const std::string& dir, const std::string& relativeDir, const char* pattern,
                       std::vector<BatchItem>& results, const char* skipFolder) {
    ScanState state;
    state.pattern = pattern != nullptr ? pattern : "";
    state.results = &results;
    if (FolderIdentity skipped; skipFolder != nullptr && IsFolder(skipFolder, &skipped)) {
        state.visited.insert(skipped);
    }
    ScanFolder(dir, relativeDir, state);
}

bool CreateFolderChain(std::string& path) {
    if (path.empty() || path.back() != '/') {
        path.push_back('/');
    }
    // Usually every level exists already (the previous torrent of the same folder made it);
    // then one look at the whole path answers for all of them.
    if (path.size() > 1 && IsFolder(path.substr(0, path.size() - 1).c_str())) {
        return true;
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '/' || i == 0 || path[i - 1] == '/') {
            continue;  // the empty prefix before a leading "/" is the root; "//" adds no level
        }
        const std::string level = path.substr(0, i);
        if (IsFolder(level.c_str())) {
            continue;
        }
        // Another thread may create the same level at the same moment: EEXIST is fine as long
        // as what exists now is a folder.
        if (mkdir(level.c_str(), 0777) != 0 && !(errno == EEXIST && IsFolder(level.c_str()))) {
            return false;
        }
    }
    return true;
}
