#pragma once

#include "platform/FileIdentity.h"

#include <functional>
#include <string>
#include <vector>

// The operating-system side of the folder scan: listing one folder, asking whether a path is a
// folder, and creating one.

// One entry of a folder, links already followed: a folder, a regular file, or neither
// (FIFO, socket, device, dangling link) when both flags are false.
struct FolderEntry {
    std::string name;
    bool isFolder = false;
    bool isFile = false;
    // The system's error code when the entry can't be used: its kind couldn't be learned (both
    // flags false), or it is a file whose path is too long for the system to open. 0 otherwise.
    int error = 0;

    bool operator<(const FolderEntry& other) const { return name < other.name; }
};

// Opens the folder `dir` and asks `enter` with its identity whether to read it; if so, gives its
// entries without "." and "..", sorted by name in byte order. False when the folder can't be
// opened or read, with the system's error code in `error`, or when `enter` said no (`error` 0).
bool ListFolder(const std::string& dir, const std::function<bool(const FileIdentity&)>& enter,
    std::vector<FolderEntry>& entries, int& error);

// Whether `path` names a folder (links followed); `identity`, when given, receives its identity.
bool IsFolder(const char* path, FileIdentity* identity = nullptr);

// The system's description of one of its error codes, in the local code page, without a
// line end.
std::string SystemErrorText(int error);

// Creates the one folder `path`; true as well when a folder of that name exists already
// (another thread may have made it just now).
bool MakeFolder(const char* path);
