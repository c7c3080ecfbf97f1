#pragma once

#include <string>

// One torrent file found by the folder scan. The file's full path is
// sourceRoot + relativeDir + separator + fileName, with the system's separator (kPathSeparator).
struct BatchItem {
    // The file's folder relative to the scanned folder: empty directly in it,
    // otherwise the separator before each level ("/a/b", "\\a\\b" on Windows); never ends with one.
    std::string relativeDir;
    // The entry name as the folder listing gives it (no folder part).
    std::string fileName;
    // The scanned folder; the scan leaves it empty, whoever takes the items fills it.
    std::string sourceRoot;
};
