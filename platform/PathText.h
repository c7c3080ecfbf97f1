#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Separators and roots of byte-string paths. Linux knows "/" and the root "/"; Windows takes
// "\" and "/" alike, and its roots are a drive ("C:", "C:\"), a network share
// ("\\server\share\") or a leading separator (the root of the current drive).

// The separator this system writes into the paths it builds.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline bool IsPathSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// Length of the root at the start of `path`: 0 for a relative path; the root itself is never
// a level to create or a separator to strip.
inline std::size_t PathRootLength(std::string_view path)
{
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':'
        && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        return path.size() >= 3 && IsPathSeparator(path[2]) ? 3 : 2;
    }
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        // \\server\share\ : the server and the share name belong to the root.
        std::size_t i = 2;
        for (int part = 0; part < 2; ++part) {
            while (i < path.size() && !IsPathSeparator(path[i]))
                ++i;
            if (i < path.size())
                ++i;
        }
        return i;
    }
#endif
    return !path.empty() && IsPathSeparator(path[0]) ? 1 : 0;
}

// Position of the last separator in `path`, or npos.
inline std::size_t LastPathSeparator(std::string_view path)
{
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1]))
            return i - 1;
    }
    return std::string_view::npos;
}

// `name` inside the folder `dir`: one separator between them unless `dir` ends with one.
inline std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (!dir.empty() && IsPathSeparator(dir.back())) {
        return dir + name;
    }
    return dir + kPathSeparator + name;
}

// The folder that holds `path`: everything before its last separator, the root kept whole
// ("/a/b.torrent" gives "/a", "/b.torrent" gives "/"); empty when `path` names no folder.
inline std::string_view FolderOfPath(std::string_view path)
{
    const std::size_t separator = LastPathSeparator(path);
    if (separator == std::string_view::npos) {
        return path.substr(0, PathRootLength(path));
    }
    const std::size_t root = PathRootLength(path);
    return path.substr(0, separator < root ? root : separator);
}
