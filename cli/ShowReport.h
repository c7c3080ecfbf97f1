#pragma once

#include <string>

class CTorrentParser;

// What `show` prints for a torrent that loaded and analysed: the file it came from, name, info
// hash, pieces, total size, trackers, files with folders and sizes, descriptive texts.

// As text for the terminal, in the local code page, control characters escaped.
std::string ShowTextReport(const std::string& file, const CTorrentParser& parser);

// As one line of JSON (UTF-8).
std::string ShowJsonReport(const std::string& file, const CTorrentParser& parser);
