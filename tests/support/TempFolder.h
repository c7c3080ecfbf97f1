#pragma once

#include "platform/PathText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

// Paths reach the core as byte strings in the local code page, which the tests leave at UTF-8.
// On Linux std::filesystem passes bytes through; on Windows its narrow conversions follow
// other rules, so text paths go through UTF-8 explicitly.
inline std::filesystem::path PathOf(const std::string& utf8)
{
#ifdef _WIN32
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

inline std::string TextOf(const std::filesystem::path& path)
{
#ifdef _WIN32
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
#else
    return path.string();
#endif
}

// `path` written with "/" as the program writes it: with the system's separator.
inline std::string SystemSeparators(std::string path)
{
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

// A fresh folder under the system's temporary folder, removed with everything in it (also what
// a test made unreadable) when the object goes.
class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
            const auto candidate
                = std::filesystem::temp_directory_path() / ("kelpmere-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                path = candidate;
        }
        if (path.empty())
            throw std::runtime_error("no temporary folder");
    }
    ~TempFolder()
    {
        namespace fs = std::filesystem;
        std::error_code walk;
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (fs::recursive_directory_iterator it(path, walk), end; !walk && it != end; it.increment(walk))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path path;
};

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Writes `bytes` to `path`, creating the folders on the way.
inline void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadFile(const std::string& path)
{
    return ReadFile(PathOf(path));
}
inline void WriteFile(const std::string& path, const std::string& bytes)
{
    WriteFile(PathOf(path), bytes);
}
