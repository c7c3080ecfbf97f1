#include "torrent/InfoHash.h"

#include "bencode/CBEncodeDict.h"
#include "digest/CSha1Digest.h"
#include "platform/HexText.h"
#include "torrent/CTorrentParser.h"

namespace {

// The root's "info" when it is a dictionary. A value in the key index always decoded cleanly.
CBEncodeObjectBase* InfoDict(const CTorrentParser& parser)
{
    return parser.root != nullptr ? parser.root->FindDict("info") : nullptr;
}

std::string Sha1Hex(const char* data, std::size_t length)
{
    CSha1Digest sha1;
    sha1.Update(reinterpret_cast<const unsigned char*>(data), static_cast<unsigned int>(length));
    sha1.Final();
    std::string hex;
    AppendHex(hex, sha1.digest, sizeof sha1.digest);
    return hex;
}

} // namespace

std::string LoadedInfoHashHex(const CTorrentParser& parser)
{
    const CBEncodeObjectBase* info = InfoDict(parser);
    return info != nullptr ? Sha1Hex(info->rawStart, static_cast<std::size_t>(info->rawLength)) : std::string();
}

std::string CurrentInfoHashHex(CTorrentParser& parser)
{
    CBEncodeObjectBase* info = InfoDict(parser);
    if (info == nullptr) {
        return {};
    }
    std::string encoded;
    info->Encode(encoded);
    return Sha1Hex(encoded.data(), encoded.size());
}
