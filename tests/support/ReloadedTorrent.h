#pragma once

#include "support/TempFolder.h"
#include "torrent/CTorrentParser.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// What a saved torrent says when it is loaded again: its names and the data it describes.
struct ReloadedTorrent {
    bool loaded = false;
    std::string name;
    std::vector<std::string> fileNames; // local code page, torrent order
    std::vector<std::string> filePaths; // "folder/.../file"
    std::string pieces;
    std::array<char, 20> infoHashPrefix{};

    explicit ReloadedTorrent(const std::filesystem::path& path)
    {
        CTorrentParser parser;
        loaded = parser.LoadFromFile(TextOf(path).c_str()) && parser.Analyze();
        if (!loaded)
            return;
        name = parser.name.text;
        for (const TorrentFileEntry& entry : parser.files) {
            std::string full;
            for (const TextRef& folder : entry.path)
                full += folder.text + "/";
            fileNames.push_back(entry.name.text);
            filePaths.push_back(full + entry.name.text);
        }
        pieces.assign(parser.pieces, static_cast<std::size_t>(parser.pieceCount) * 20);
        infoHashPrefix = parser.infoHashPrefix;
    }
};
