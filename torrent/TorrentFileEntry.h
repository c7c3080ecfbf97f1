#pragma once

#include "torrent/TextRef.h"

#include <cstdint>
#include <vector>

// One file of a torrent as the document lists it. `name` and `nameUtf8` come first, the same
// leading pair as the document's own torrent name.
struct TorrentFileEntry {
    // The file name: the "path" component recognised as the name, or a single-file torrent's
    // info "name".
    TextRef name;
    // The "path.utf-8" component recognised as the name; empty when there is none.
    TextRef nameUtf8;
    // Size in bytes, as loaded.
    std::int64_t length = 0;
    // Directory components from "path", in list order.
    std::vector<TextRef> path;
    // Directory components from "path.utf-8", in list order; any length.
    std::vector<TextRef> pathUtf8;
};

// More than the tree memory of one file's values: how far a walk over the files reads ahead in
// one step (BEncodePool::ReadAhead).
inline constexpr std::uintptr_t kFileSpan = 1024;
