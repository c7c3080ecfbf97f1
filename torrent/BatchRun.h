#pragma once

#include "platform/FileIdentity.h"
#include "torrent/BatchItem.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

// One batch run's destination and what the run must leave alone there. Taken when the run
// starts: which of the items' folders lie in the destination folder (earlier output, when the
// destination is inside the source), and the identity of every other item's file: the run's
// sources. The
// checks compare identities, so other spellings of a path and links are seen through. Only
// const calls after construction: workers of one run may share it.
class BatchRun {
public:
    BatchRun() = default;
    BatchRun(std::string destDir, const std::vector<BatchItem>& items);

    const std::string& DestDir() const { return destDir; }

    // Whether the item's folder is the destination or lies below it: its torrents are earlier
    // output of this destination, not sources.
    bool LiesInDestination(const BatchItem& item) const;
    // Whether saving to `path` would replace one of the run's sources: the file there is a
    // source, or what a source link leads to.
    bool WouldReplaceSource(const std::string& path) const;

private:
    std::string destDir;
    std::set<FileIdentity> sources;
    // sourceRoot + relativeDir of every item folder that lies in the destination.
    std::set<std::string> foldersInDestination;
};

// Whether two folder paths name the same folder: the same text, or the same identity (another
// spelling, "a/" for "a", a link).
bool IsSameFolder(const std::string& first, const std::string& second);
