#include "torrent/BatchRun.h"

#include "platform/PathText.h"

#include <utility>

namespace {

std::string FolderOf(const BatchItem& item)
{
    return item.sourceRoot + item.relativeDir;
}

// Whether the folder `sourceRoot` + `relativeDir`, or any level of it from the source root
// down, has the identity `dest`.
bool AnyLevelIs(const std::string& sourceRoot, const std::string& relativeDir, const FileIdentity& dest)
{
    std::string level = sourceRoot;
    for (std::size_t i = 0;; ++i) {
        if (i == relativeDir.size() || IsPathSeparator(relativeDir[i])) {
            if (!level.empty() && IdentityOf(level.c_str(), true) == dest) {
                return true;
            }
        }
        if (i == relativeDir.size()) {
            return false;
        }
        level.push_back(relativeDir[i]);
    }
}

} // namespace

BatchRun::BatchRun(std::string destDir, const std::vector<BatchItem>& items) : destDir(std::move(destDir))
{
    const std::optional<FileIdentity> dest = IdentityOf(this->destDir.c_str(), true);
    std::set<std::string> foldersLookedAt;
    for (const BatchItem& item : items) {
        // Items come folder by folder: each folder is looked at once.
        if (dest && foldersLookedAt.insert(FolderOf(item)).second
            && AnyLevelIs(item.sourceRoot, item.relativeDir, *dest)) {
            foldersInDestination.insert(FolderOf(item));
        }
        // Earlier output is not read, so the run may replace it.
        if (LiesInDestination(item)) {
            continue;
        }
        const std::string path = FolderOf(item) + kPathSeparator + item.fileName;
        // The link itself and what it leads to: replacing either loses the source.
        for (const bool follow : {false, true}) {
            if (const std::optional<FileIdentity> identity = IdentityOf(path.c_str(), follow)) {
                sources.insert(*identity);
            }
        }
    }
}

bool BatchRun::LiesInDestination(const BatchItem& item) const
{
    return foldersInDestination.count(FolderOf(item)) != 0;
}

bool BatchRun::WouldReplaceSource(const std::string& path) const
{
    if (sources.empty()) {
        return false;
    }
    // A link at `path` is replaced, never written through: only what the path itself names
    // counts.
    const std::optional<FileIdentity> identity = IdentityOf(path.c_str(), false);
    return identity && sources.count(*identity) != 0;
}

bool IsSameFolder(const std::string& first, const std::string& second)
{
    if (first == second) {
        return true;
    }
    const std::optional<FileIdentity> a = IdentityOf(first.c_str(), true);
    return a && a == IdentityOf(second.c_str(), true);
}
