#pragma once

#include "samples/generator/BencodeText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One file of a multi-file torrent.
struct FileDescription {
    FileDescription() = default;
    FileDescription(std::vector<std::string> filePath, int64_t fileLength, std::vector<std::string> filePathUtf8 = {})
            : path(std::move(filePath)), pathUtf8(std::move(filePathUtf8)), length(fileLength)
    {
    }

    // "path": folder components, then the file name.
    std::vector<std::string> path;
    // "path.utf-8"; written only when not empty.
    std::vector<std::string> pathUtf8;
    // "length".
    int64_t length = 0;
    // Further keys of the file's dictionary, as raw bencode text.
    BencodeRawDict extra;
};

// What a generated torrent holds. Every optional key is written only when set.
struct TorrentDescription {
    std::optional<std::string> announce;
    // "announce-list": one list of URLs per tier; written when not empty.
    std::vector<std::vector<std::string>> announceList;
    std::optional<std::string> comment;
    std::optional<std::string> createdBy;
    std::optional<int64_t> creationDate;
    std::optional<std::string> publisher;
    std::optional<std::string> publisherUrl;

    std::optional<std::string> name;
    std::optional<std::string> nameUtf8;
    // Single-file form when set ("length" in the info dictionary); otherwise "files".
    std::optional<int64_t> length;
    std::vector<FileDescription> files;
    int64_t pieceLength = 262144;
    // "pieces": these exact bytes when set; else `piecesSize` deterministic bytes when set;
    // else 20 deterministic bytes for every piece the total length needs (at least one).
    std::optional<std::string> pieces;
    std::optional<std::size_t> piecesSize;
    // Seed of the deterministic piece bytes.
    uint64_t seed = 1;

    // Further keys of the info and root dictionaries, as raw bencode text; they replace a
    // generated key of the same name (e.g. a v2 "file tree", "meta version", "piece layers").
    BencodeRawDict extraInfo;
    BencodeRawDict extraRoot;
};

// Makes a description whose "pieces" size was chosen on its own (benchmarks choose it) one that
// clients load: the last file's length (the single file's) becomes what makes the total take
// exactly one 20-byte hash per piece; the piece length doubles until the other files fit.
void FitLengthsToPieces(TorrentDescription& description);

// The canonical bencode torrent for `description`: keys sorted, canonical numbers.
std::string BuildTorrent(const TorrentDescription& description);

// The raw bencode text of the info dictionary that BuildTorrent writes.
std::string BuildInfoDict(const TorrentDescription& description);

// `count` pseudo-random bytes that depend only on `seed`.
std::string DeterministicBytes(std::size_t count, uint64_t seed);
