#pragma once

#include <compare>
#include <cstdint>
#include <optional>

// What names one file or folder whatever path reaches it: device and inode on Linux, volume
// serial number and file index on Windows. Two paths with the same identity are the same file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;

    bool operator==(const FileIdentity&) const = default;
    auto operator<=>(const FileIdentity&) const = default;
};

// The identity of what `path` (local text) names: with `followLinks` the file or folder a link
// leads to, without it the link itself. Nothing when there is nothing there (or it can't be
// asked about).
std::optional<FileIdentity> IdentityOf(const char* path, bool followLinks);
