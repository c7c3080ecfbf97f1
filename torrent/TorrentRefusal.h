#pragma once

#include <string>

// Why a torrent was refused at loading: a stable code for programs ("no-info", "piece-count",
// ...) and the reason in English for people ("6 piece hashes for 7 pieces"). Empty when the
// torrent was taken.
struct TorrentRefusal {
    std::string code;
    std::string reason;

    explicit operator bool() const { return !code.empty(); }
};
