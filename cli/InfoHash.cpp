#include "cli/InfoHash.h"

#include "bencode/CBEncodeDict.h"
#include "torrent/CSha1Digest.h"
#include "torrent/CTorrentParser.h"

namespace {

const CBEncodeObjectBase* InfoDict(const CTorrentParser& parser) {
    if (parser.root == nullptr) {
        return nullptr;
    }
    const CBEncodeObjectBase* info = parser.root->Find("info");
    return info != nullptr && info->type == kBEncodeDict && info->errorCode == 0 ? info : nullptr;
}

std::string Sha1Hex(const char* data, std::size_t length) {
    CSha1Digest sha1;
    sha1.Update(reinterpret_cast<const unsigned char*>(data), static_cast<unsigned int>(length));
    sha1.Final();
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : sha1.digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

}  // namespace

std::string LoadedInfoHashHex(const CTorrentParser& parser) {
    const CBEncodeObjectBase* info = InfoDict(parser);
    return info != nullptr ? Sha1Hex(info->rawStart, static_cast<std::size_t>(info->rawLength)) : std::string();
}

std::string CurrentInfoHashHex(CTorrentParser& parser) {
    const CBEncodeObjectBase* info = InfoDict(parser);
    if (info == nullptr) {
        return {};
    }
    std::string encoded;
    static_cast<CBEncodeObjectBase*>(parser.root->Find("info"))->Encode(encoded);
    return Sha1Hex(encoded.data(), encoded.size());
}
