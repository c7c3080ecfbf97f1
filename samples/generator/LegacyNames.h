#pragma once

#include "samples/generator/TorrentBuilder.h"

#include <optional>
#include <string>
#include <vector>

// Names as older clients stored them: in a legacy code page, next to the same names in UTF-8.
// The bytes are written out here, so the generator needs no converter.
struct LegacyNames {
    std::string name;
    std::string nameUtf8;
    // Each file's "path" in the code page, and in UTF-8.
    std::vector<std::vector<std::string>> paths;
    std::vector<std::vector<std::string>> pathsUtf8;
};

// A documentary in Simplified Chinese (GBK), in Traditional Chinese (BIG5) and in Japanese
// (Shift_JIS): a torrent name and files in folders.
LegacyNames GbkNames();
LegacyNames Big5Names();
LegacyNames ShiftJisNames();

// A multi-file torrent of `names` in their code page, with the root "encoding" `declared` when
// given and with "name.utf-8" and "path.utf-8" beside the names when `withTwins`.
TorrentDescription LegacyTorrent(const LegacyNames& names, const std::optional<std::string>& declared, bool withTwins);
