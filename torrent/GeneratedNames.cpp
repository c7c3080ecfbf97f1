#include "torrent/GeneratedNames.h"

#include "digest/CMd5Digest.h"

#include <cstdio>

std::string StemText(std::int64_t unixSeconds, std::uint32_t tickCountMs, std::optional<std::uint32_t> itemIndex)
{
    char stem[64];
    const auto seconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(unixSeconds));
    const auto milliseconds = static_cast<int>(tickCountMs % 1000u);
    if (itemIndex) {
        std::snprintf(stem, sizeof stem, "%d-%d-%u", seconds, milliseconds, *itemIndex);
    } else {
        std::snprintf(stem, sizeof stem, "%d-%d", seconds, milliseconds);
    }
    return stem;
}

std::string StemDigest(std::string_view stem)
{
    CMd5Digest md5;
    md5.Update(reinterpret_cast<const unsigned char*>(stem.data()), static_cast<unsigned int>(stem.size()));
    return md5.HexDigest();
}

std::optional<std::string> GeneratedFileName(
    std::string_view digest, std::size_t number, std::string_view loaded, NameLimit limit)
{
    if (GeneratedFileNameLength(digest, number, loaded, limit) == 0) {
        return std::nullopt;
    }
    std::string name;
    AppendFileName(name, digest, number, Extension(loaded));
    return name;
}

std::string GeneratedFolderName(int draw, std::size_t number, std::size_t position)
{
    std::string name;
    AppendFolderName(name, draw, number, position);
    return name;
}
