#pragma once

#include <string>
#include <string_view>
#include <vector>

class CBEncodeDict;
class CTorrentParser;

// A loaded name found in a washed torrent, under the key whose value holds it.
struct NameLeft {
    std::string key;
    // The name's bytes as loaded (UTF-8 in a well-made torrent).
    std::string name;

    bool operator==(const NameLeft&) const = default;
};

// The names that washing replaces, as loaded: the torrent name and every listed file's name and
// folders, in both spellings, each of 4 bytes or more (shorter ones turn up by chance). Taken
// after Analyze and before Wash; the views point into the parser's buffer, valid until its next
// load.
std::vector<std::string_view> LoadedNames(const CTorrentParser& parser);

// Searches a torrent as it is written (replaced texts included) for `names`: every byte string
// value but the hashes ("pieces", "pieces root", "piece layers") and every key of a "file tree".
// A path component or a name that equals one is a name the wash missed; any other text
// (a web seed's URL, a collection, a link's target) that holds one keeps it, since those keys
// are not renamed. Each key and name is reported once, in the order found.
std::vector<NameLeft> FindNamesLeft(const CBEncodeDict& root, const std::vector<std::string_view>& names);
