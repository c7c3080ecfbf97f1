#pragma once

#include <array>

// The texts that describe a torrent rather than its data: emptied when a torrent is renamed, so
// that no comment, creator, publisher or title of the loaded torrent is carried along. The keys
// stay (as empty strings); clients read nothing from them.

// Of the root; "comment", "created by", "publisher" and "publisher-url" are read first.
inline constexpr std::array<const char*, 10> kRootDescriptiveKeys = {"comment", "created by", "publisher",
    "publisher-url", "title", "comment.utf-8", "created by.utf-8", "publisher.utf-8", "publisher-url.utf-8",
    "title.utf-8"};

// Of the info dictionary. Emptying them changes the info hash, so they go only when names are
// changed too.
inline constexpr std::array<const char*, 4> kInfoDescriptiveKeys
    = {"publisher", "publisher-url", "publisher.utf-8", "publisher-url.utf-8"};
