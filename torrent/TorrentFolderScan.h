#pragma once

#include "torrent/BatchItem.h"

#include <string>
#include <vector>

// Appends to `results` one item for every regular file (or link to one) below `dir` whose
// full path contains `pattern` (exact bytes, case-sensitive). Each folder is listed sorted by
// name in byte order and walked depth first, so the order is stable. Subfolders (and links to
// folders) are descended into, but no folder twice (device and inode), so link loops end.
// FIFOs, sockets, devices and dangling links are skipped; a folder that can't be read
// contributes nothing and the scan goes on. `relativeDir` is what the items found directly in
// `dir` receive ("" for the top call); deeper items get "/" + folder name for each level.
void ScanTorrentFolder(const std::string& dir, const std::string& relativeDir, const char* pattern,
                       std::vector<BatchItem>& results);

// Makes sure every level of the folder `path` exists, creating missing ones from the
// outermost. "/" is the separator; a leading "/" is the root, which exists. A "/" is appended
// to `path` when it doesn't end with one. False when a level exists as something other than a
// folder or can't be created (levels made before it stay).
bool CreateFolderChain(std::string& path);
