#include "torrent/TorrentFolderScan.h"

#include "platform/FolderListing.h"
#include "platform/PathText.h"

#include <set>
#include <utility>

namespace {

struct ScanState {
    const char* pattern = "";
    std::vector<BatchItem>* results = nullptr;
    std::vector<UnreadablePath>* unreadable = nullptr;
    // Folders already walked, and the one to leave out: none of them is entered again.
    std::set<FileIdentity> visited;
};

void ScanFolder(const std::string& dir, const std::string& relativeDir, ScanState& state)
{
    std::vector<FolderEntry> entries;
    const auto firstVisit = [&state](const FileIdentity& identity) { return state.visited.insert(identity).second; };
    int error = 0;
    if (!ListFolder(dir, firstVisit, entries, error)) {
        if (error != 0 && state.unreadable != nullptr) {
            state.unreadable->push_back(UnreadablePath{relativeDir, SystemErrorText(error)});
        }
        return;
    }
    for (const FolderEntry& entry : entries) {
        const std::string path = JoinPath(dir, entry.name);
        const bool matches = path.find(state.pattern) != std::string::npos;
        // An entry of unknown kind might have been a folder of torrents; a file matters only
        // when it would have been an item.
        if (entry.error != 0 && state.unreadable != nullptr && (matches || !entry.isFile)) {
            state.unreadable->push_back(
                UnreadablePath{relativeDir + kPathSeparator + entry.name, SystemErrorText(entry.error)});
        } else if (entry.isFolder) {
            ScanFolder(path, relativeDir + kPathSeparator + entry.name, state);
        } else if (entry.isFile && matches) {
            BatchItem item;
            item.relativeDir = relativeDir;
            item.fileName = entry.name;
            state.results->push_back(std::move(item));
        }
    }
}

} // namespace

void ScanTorrentFolder(const std::string& dir, const std::string& relativeDir, const char* pattern,
    std::vector<BatchItem>& results, const char* skipFolder, std::vector<UnreadablePath>* unreadable)
{
    ScanState state;
    state.pattern = pattern != nullptr ? pattern : "";
    state.results = &results;
    state.unreadable = unreadable;
    if (FileIdentity skipped; skipFolder != nullptr && IsFolder(skipFolder, &skipped)) {
        state.visited.insert(skipped);
    }
    ScanFolder(dir, relativeDir, state);
}

bool CreateFolderChain(std::string& path)
{
    if (path.empty() || !IsPathSeparator(path.back())) {
        path.push_back(kPathSeparator);
    }
    // Usually every level exists already (the previous torrent of the same folder made it);
    // then one look at the whole path answers for all of them.
    if (path.size() > 1 && IsFolder(path.substr(0, path.size() - 1).c_str())) {
        return true;
    }
    // The root ("/", a drive, a network share) is there or not; it is never created.
    for (std::size_t i = PathRootLength(path); i < path.size(); ++i) {
        if (!IsPathSeparator(path[i]) || i == 0 || IsPathSeparator(path[i - 1])) {
            continue; // "//" adds no level
        }
        const std::string level = path.substr(0, i);
        if (!IsFolder(level.c_str()) && !MakeFolder(level.c_str())) {
            return false;
        }
    }
    return true;
}
