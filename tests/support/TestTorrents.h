#pragma once

#include "samples/generator/TorrentBuilder.h"

#include <string>
#include <utility>
#include <vector>

inline TorrentDescription SingleFile(const std::string& name, int64_t length)
{
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example/announce";
    torrent.name = name;
    torrent.length = length;
    return torrent;
}

inline TorrentDescription MultiFile(std::vector<FileDescription> files)
{
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example/announce";
    torrent.name = "Show";
    torrent.files = std::move(files);
    return torrent;
}
