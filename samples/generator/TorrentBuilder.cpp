#include "samples/generator/TorrentBuilder.h"

#include <algorithm>

namespace {

uint64_t SplitMix64(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::size_t GeneratedPiecesSize(const TorrentDescription& d)
{
    int64_t total = 0;
    if (d.length)
        total = *d.length;
    else
        for (const FileDescription& file : d.files)
            total += file.length;
    const int64_t pieceLength = d.pieceLength > 0 ? d.pieceLength : 1;
    const int64_t count = total > 0 ? (total + pieceLength - 1) / pieceLength : 1;
    return static_cast<std::size_t>(count) * 20;
}

std::string FileDict(const FileDescription& file)
{
    BencodeRawDict pairs = file.extra;
    pairs["length"] = BencodeInt(file.length);
    pairs["path"] = BencodeStringList(file.path);
    if (!file.pathUtf8.empty())
        pairs["path.utf-8"] = BencodeStringList(file.pathUtf8);
    return BencodeDict(pairs);
}

} // namespace

std::string DeterministicBytes(std::size_t count, uint64_t seed)
{
    std::string bytes(count, '\0');
    uint64_t state = seed;
    // Bytes taken low first from each 64-bit word, so the output is the same on every machine.
    for (std::size_t i = 0; i < count; i += 8) {
        const uint64_t word = SplitMix64(state);
        for (std::size_t b = 0; b < 8 && i + b < count; ++b)
            bytes[i + b] = static_cast<char>(static_cast<unsigned char>(word >> (8 * b)));
    }
    return bytes;
}

std::string BuildInfoDict(const TorrentDescription& d)
{
    BencodeRawDict info;
    if (d.name)
        info["name"] = BencodeString(*d.name);
    if (d.nameUtf8)
        info["name.utf-8"] = BencodeString(*d.nameUtf8);
    info["piece length"] = BencodeInt(d.pieceLength);
    if (d.pieces)
        info["pieces"] = BencodeString(*d.pieces);
    else
        info["pieces"]
            = BencodeString(DeterministicBytes(d.piecesSize ? *d.piecesSize : GeneratedPiecesSize(d), d.seed));
    if (d.length) {
        info["length"] = BencodeInt(*d.length);
    } else {
        std::string files = "l";
        for (const FileDescription& file : d.files)
            files += FileDict(file);
        files += 'e';
        info["files"] = std::move(files);
    }
    for (const auto& [key, raw] : d.extraInfo)
        info[key] = raw;
    return BencodeDict(info);
}

std::string BuildTorrent(const TorrentDescription& d)
{
    BencodeRawDict root;
    if (d.announce)
        root["announce"] = BencodeString(*d.announce);
    if (!d.announceList.empty()) {
        std::string tiers = "l";
        for (const auto& tier : d.announceList)
            tiers += BencodeStringList(tier);
        tiers += 'e';
        root["announce-list"] = std::move(tiers);
    }
    if (d.comment)
        root["comment"] = BencodeString(*d.comment);
    if (d.createdBy)
        root["created by"] = BencodeString(*d.createdBy);
    if (d.creationDate)
        root["creation date"] = BencodeInt(*d.creationDate);
    if (d.publisher)
        root["publisher"] = BencodeString(*d.publisher);
    if (d.publisherUrl)
        root["publisher-url"] = BencodeString(*d.publisherUrl);
    root["info"] = BuildInfoDict(d);
    for (const auto& [key, raw] : d.extraRoot)
        root[key] = raw;
    return BencodeDict(root);
}

void FitLengthsToPieces(TorrentDescription& d)
{
    const std::size_t bytes = d.pieces ? d.pieces->size() : d.piecesSize.value_or(20);
    const int64_t hashes = std::max<int64_t>(1, static_cast<int64_t>(bytes / 20));
    int64_t others = 0;
    for (std::size_t i = 0; !d.length && i + 1 < d.files.size(); ++i)
        others += d.files[i].length;
    if (d.pieceLength <= 0)
        d.pieceLength = 16384;
    while (d.pieceLength * hashes <= others)
        d.pieceLength *= 2;
    const int64_t last = d.pieceLength * hashes - others;
    if (d.length || d.files.empty())
        d.length = last;
    else
        d.files.back().length = last;
}
