#pragma once

#include "torrent/BatchItem.h"

#include <string>
#include <vector>

// A folder or file below the scanned folder that the scan could not read.
struct UnreadablePath {
    // Its path relative to the scanned folder, built like an item's relativeDir + "/" +
    // fileName ("/a/b" for the folder b in a; the top call's relativeDir for the scanned folder).
    std::string relativePath;
    // The system's words for why, in the local code page ("Permission denied").
    std::string reason;
};

// Appends to `results` one item for every regular file (or link to one) below `dir` whose
// full path contains `pattern` (exact bytes, case-sensitive). Each folder is listed sorted by
// name in byte order and walked depth first, so the order is stable. Subfolders (and links to
// folders) are descended into, but no folder twice (device and inode), so link loops end.
// FIFOs, sockets, devices and dangling links are skipped; a folder that can't be read
// contributes nothing and the scan goes on. `relativeDir` is what the items found directly in
// `dir` receive ("" for the top call); deeper items get "/" + folder name for each level.
// When `skipFolder` names an existing folder, that folder (the same identity, however it is
// reached) is left out with everything below it: a destination inside the source.
// With `unreadable`, what couldn't be read is appended there in scan order instead of passing
// unseen: a folder that can't be listed, an entry whose kind can't be learned (a link that
// can't be followed for another reason than leading nowhere), and a file whose path contains
// `pattern` but is too long for the system to open, which then is no item either.
void ScanTorrentFolder(const std::string& dir, const std::string& relativeDir, const char* pattern,
    std::vector<BatchItem>& results, const char* skipFolder = nullptr,
    std::vector<UnreadablePath>* unreadable = nullptr);

// Makes sure every level of the folder `path` exists, creating missing ones from the
// outermost. "/" is the separator (on Windows "\\" as well); the root ("/", or a drive or
// network share on Windows) exists. A "/" is appended
// to `path` when it doesn't end with one. False when a level exists as something other than a
// folder or can't be created (levels made before it stay).
bool CreateFolderChain(std::string& path);
