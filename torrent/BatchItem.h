#pragma once

#include <string>

// One torrent file found by the folder scan. The file's full path is
// sourceRoot + relativeDir + "/" + fileName.
struct BatchItem {
    // The file's folder relative to the scanned folder: empty directly in it,
    // otherwise "/" before each level ("/a/b"); never ends with "/".
    std::string relativeDir;
    // The entry name as the folder listing gives it (no folder part).
    std::string fileName;
    // The scanned folder; the scan leaves it empty, whoever takes the items fills it.
    std::string sourceRoot;
};
