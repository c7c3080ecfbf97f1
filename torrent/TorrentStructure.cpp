#include "torrent/TorrentStructure.h"

#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"

#include <cstdint>
#include <string>

namespace {

TorrentRefusal Refusal(const char* code, std::string reason)
{
    return TorrentRefusal{code, std::move(reason)};
}

std::string FileNumber(std::size_t number)
{
    return "file " + std::to_string(number);
}

bool IsLength(const CBEncodeObjectBase* value)
{
    return value != nullptr && value->type == kBEncodeInt && value->errorCode == 0
        && static_cast<const CBEncodeInt*>(value)->number >= 0;
}

// Adds a length to a total that stops at the largest 64-bit number rather than overflow.
void AddLength(int64_t& total, int64_t length)
{
    total = length > INT64_MAX - total ? INT64_MAX : total + length;
}

bool HasPath(const CBEncodeDict& file)
{
    const CBEncodeList* path = file.FindList("path");
    if (path == nullptr || path->errorCode != 0 || path->items.empty())
        return false;
    for (const CBEncodeObjectBase* component : path->items) {
        if (component->type != kBEncodeString || component->errorCode != 0)
            return false;
    }
    return true;
}

// The v1 files: the single "length" or the list "files"; `total` their sum.
TorrentRefusal CheckVersion1Files(const CBEncodeDict& info, int64_t& total)
{
    if (const CBEncodeObjectBase* length = info.Find("length")) {
        if (!IsLength(length))
            return Refusal("file-length", "\"length\" is negative or not an integer");
        if (info.FindString("name") == nullptr)
            return Refusal("no-name", "no \"name\"");
        total = static_cast<const CBEncodeInt*>(length)->number;
        return {};
    }
    const CBEncodeList* files = info.FindList("files");
    if (files == nullptr || files->items.empty())
        return Refusal("no-files", "no file");
    std::size_t number = 0;
    for (const CBEncodeObjectBase* element : files->items) {
        ++number;
        if (element->type != kBEncodeDict)
            return Refusal("file-path", FileNumber(number) + " is not a dictionary");
        const auto& file = *static_cast<const CBEncodeDict*>(element);
        const CBEncodeObjectBase* length = file.Find("length");
        if (!IsLength(length))
            return Refusal("file-length", FileNumber(number) + " has a negative or non-integer \"length\"");
        if (!HasPath(file))
            return Refusal("file-path", FileNumber(number) + " has no path");
        AddLength(total, static_cast<const CBEncodeInt*>(length)->number);
    }
    return {};
}

// One hash of 20 bytes for each piece of `total` bytes.
TorrentRefusal CheckPieces(const CBEncodeDict& info, int64_t pieceLength, int64_t total)
{
    const CBEncodeString* pieces = info.FindString("pieces");
    if (pieces == nullptr || pieces->errorCode != 0)
        return Refusal("pieces", "no \"pieces\"");
    if (pieces->dataLength % 20 != 0)
        return Refusal("pieces", "\"pieces\" is not a multiple of 20 bytes");
    const int64_t hashes = pieces->dataLength / 20;
    const int64_t needed = total / pieceLength + (total % pieceLength != 0 ? 1 : 0);
    if (hashes != needed)
        return Refusal("piece-count", std::to_string(hashes) + " piece hashes for " + std::to_string(needed) + " pieces");
    return {};
}

// Every file of a v2 "file tree" (a node with the key "") has an integer length of 0 or more;
// `files` counts them.
TorrentRefusal CheckFileTree(const CBEncodeDict& tree, std::size_t& files)
{
    for (auto it = tree.items.begin(); it != tree.items.end() && std::next(it) != tree.items.end(); std::advance(it, 2)) {
        const CBEncodeObjectBase* value = *std::next(it);
        if (value->type != kBEncodeDict)
            continue;
        const auto& node = *static_cast<const CBEncodeDict*>(value);
        if (const CBEncodeDict* file = node.FindDict("")) {
            ++files;
            if (!IsLength(file->Find("length")))
                return Refusal("file-length", FileNumber(files) + " has a negative or non-integer \"length\"");
        } else if (TorrentRefusal refusal = CheckFileTree(node, files)) {
            return refusal;
        }
    }
    return {};
}

} // namespace

bool IsVersion2Only(const CBEncodeDict& info)
{
    return info.Find("pieces") == nullptr && info.FindDict("file tree") != nullptr;
}

TorrentRefusal CheckTorrentStructure(const CBEncodeDict& root)
{
    const CBEncodeDict* info = root.FindDict("info");
    if (info == nullptr || info->errorCode != 0)
        return Refusal("no-info", "no \"info\" dictionary");
    const CBEncodeInt* pieceLength = info->FindInt("piece length");
    if (pieceLength == nullptr || pieceLength->number <= 0)
        return Refusal("piece-length", "\"piece length\" is not a positive integer");
    if (IsVersion2Only(*info)) {
        std::size_t files = 0;
        if (TorrentRefusal refusal = CheckFileTree(*info->FindDict("file tree"), files))
            return refusal;
        return files == 0 ? Refusal("no-files", "no file") : TorrentRefusal{};
    }
    int64_t total = 0;
    if (TorrentRefusal refusal = CheckVersion1Files(*info, total))
        return refusal;
    if (total == 0)
        return Refusal("no-data", "the files hold no data");
    return CheckPieces(*info, pieceLength->number, total);
}
