#include "torrent/CTorrentParser.h"

#include "bencode/CBEncodeDict.h"
#include "bencode/DecodeLimits.h"
#include "platform/WholeFile.h"
#include "torrent/LongStringEncoding.h"
#include "torrent/TorrentStructure.h"

#include <cstring>
#include <vector>

CTorrentParser::~CTorrentParser()
{
    Reset();
}

void CTorrentParser::Reset()
{
    codec.Clear();
    root = nullptr;
    m_origin.Clear();
    m_filesWithRepeatedKeys.clear();
    m_treeFileNodes.clear();
    refusal = TorrentRefusal{};
    paddingFiles = 0;
    version2Only = false;
    buffer.reset();
    name = TextRef{};
    nameUtf8 = TextRef{};
    files.clear();
    trackers.clear();
    publisher.clear();
    publisherUrl.clear();
    createdBy.clear();
    comment.clear();
    pieceCount = 0;
    pieces = nullptr;
    pieceLength = 0;
    totalLength = 0;
    bufferLength = 0;
    sourcePath.clear();
    nameSources = NameSources{};
}

bool CTorrentParser::LoadFromFile(const char* path)
{
    Reset();
    if (path == nullptr)
        return false;
    sourcePath = path;
    std::size_t length = 0;
    // Opened read-only: a torrent that may not be written (or sits on a read-only medium)
    // still loads.
    if (!ReadWholeFile(path, DecodeLimits::maxBufferLength, buffer, length, &m_origin)) {
        refusal = TorrentRefusal{"unreadable", "not a readable file of 1 byte to 2 GiB"};
        return false;
    }
    bufferLength = static_cast<int32_t>(length);
    return DecodeBuffer();
}

bool CTorrentParser::LoadFromMemory(const char* bytes, std::size_t length)
{
    Reset();
    if (bytes == nullptr || length == 0 || length > DecodeLimits::maxBufferLength) {
        refusal = TorrentRefusal{"unreadable", "not 1 byte to 2 GiB"};
        return false;
    }
    buffer = std::make_unique<char[]>(length + 1);
    std::memcpy(buffer.get(), bytes, length);
    buffer[length] = '\0';
    bufferLength = static_cast<int32_t>(length);
    return DecodeBuffer();
}

bool CTorrentParser::DecodeBuffer()
{
    // A decoding error is not a verdict by itself: whatever decoded before it stays, and the
    // root dictionary is looked for in that partial tree. Bytes after a complete root that
    // don't decode are no reason to refuse it; a root that stopped at an error is, since
    // saving it would silently drop everything after the error.
    codec.Decode(buffer.get(), static_cast<std::size_t>(bufferLength));
    for (CBEncodeObjectBase* value : codec.values) {
        if (value->type == kBEncodeDict) {
            root = static_cast<CBEncodeDict*>(value);
            break;
        }
    }
    if (root == nullptr) {
        refusal = TorrentRefusal{"not-bencode", "no bencoded dictionary"};
        return false;
    }
    if (root->errorCode != 0) {
        refusal = TorrentRefusal{"not-bencode", "the bencoded dictionary is broken"};
        return false;
    }
    refusal = CheckTorrentStructure(*root);
    return !refusal;
}

bool CTorrentParser::SaveToFile(std::string& out, const char* path)
{
    if (root == nullptr)
        return false;
    root->Encode(out);
    return WriteWholeFile(path, out.data(), out.size());
}

bool CTorrentParser::WriteToFile(std::string& text, const char* path)
{
    if (root == nullptr)
        return false;
    std::vector<ByteRange> ranges;
    EncodeAsRanges(*root, text, ranges);
    return WriteWholeFile(path, ranges.data(), ranges.size(), &m_origin);
}
