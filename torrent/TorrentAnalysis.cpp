// CTorrentParser::Analyze: from the loaded tree to trackers, names, piece data, descriptive
// strings and the list of files.
#include "torrent/CTorrentParser.h"

#include "bencode/BEncodePool.h"
#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "platform/LocalText.h"
#include "platform/Utf8.h"
#include "torrent/CSha1Digest.h"
#include "torrent/ShownNames.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace {

// The value of `key` in `dict` when it has the wanted type; otherwise null, as if absent.
template <class Value>
Value* FindAs(const CBEncodeDict& dict, const char* key, int32_t type)
{
    CBEncodeObjectBase* value = dict.Find(key);
    return value != nullptr && value->type == type ? static_cast<Value*>(value) : nullptr;
}

CBEncodeString* FindString(const CBEncodeDict& dict, const char* key)
{
    return FindAs<CBEncodeString>(dict, key, kBEncodeString);
}
CBEncodeInt* FindInt(const CBEncodeDict& dict, const char* key)
{
    return FindAs<CBEncodeInt>(dict, key, kBEncodeInt);
}
CBEncodeList* FindList(const CBEncodeDict& dict, const char* key)
{
    return FindAs<CBEncodeList>(dict, key, kBEncodeList);
}

bool IsReadableString(const CBEncodeObjectBase* value)
{
    return value != nullptr && value->type == kBEncodeString && value->errorCode == 0;
}

// The decoded bytes; empty for a string that failed to decode.
std::string BytesOf(const CBEncodeString& value)
{
    std::string bytes;
    value.GetString(bytes);
    return bytes;
}

// The value's UTF-8 bytes as text in the local code page; empty for a string that failed.
std::string ConvertedText(const CBEncodeString& value)
{
    if (value.errorCode != 0 || value.data == nullptr) {
        return {};
    }
    return Utf8ToLocalText(std::string_view(value.data, static_cast<std::size_t>(value.dataLength)));
}

TextRef MakeTextRef(CBEncodeString& value)
{
    return TextRef{&value, ConvertedText(value)};
}

int32_t Low32(int64_t number)
{
    return static_cast<int32_t>(static_cast<uint32_t>(number));
}

// One element of "path" or "path.utf-8": with a dot it becomes the name (the last such wins),
// without one a directory. True when its text is its bytes, which are UTF-8; false when the
// text is converted, or left for ShowName to choose when the bytes are not UTF-8.
bool ClassifyComponent(CBEncodeString& element, TextRef& name, std::vector<TextRef>& directories)
{
    const std::string_view bytes = element.errorCode == 0 && element.data != nullptr
        ? std::string_view(element.data, static_cast<std::size_t>(element.dataLength))
        : std::string_view();
    // A conversion neither makes nor takes a dot, so the bytes tell what the text would.
    TextRef& ref = std::find(bytes.begin(), bytes.end(), '.') != bytes.end() ? name : directories.emplace_back();
    ref.value = &element;
    // A name that needs no conversion gets its text in place, straight from the buffer.
    if (LocalTextIsUtf8(bytes)) {
        ref.text.assign(bytes);
        return true;
    }
    if (IsValidUtf8(bytes))
        ref.text = ConvertedText(element);
    else
        ref.text.clear();
    return false;
}

// Adds a file's length to a total of content bytes: lengths below 1 describe no content, and
// the total stops at the largest 64-bit number rather than overflow.
void AddToTotal(int64_t& total, int64_t length)
{
    if (length > 0) {
        total = length > INT64_MAX - total ? INT64_MAX : total + length;
    }
}

// The values of a file dictionary that make its entry, each the first of its key and null when
// absent or of another type, as Find gives them.
struct FileValues {
    const CBEncodeInt* length = nullptr;
    const CBEncodeList* path = nullptr;
    const CBEncodeList* pathUtf8 = nullptr;
};

// Takes `value` for `wanted` when `key` is the first occurrence of that key; a value of another
// type is taken as absent, as FindAs does.
template <class Value>
void TakeFirst(const CBEncodeObjectBase& key, const CBEncodeObjectBase& value, std::string_view wanted, int32_t type,
    bool& seen, const Value*& taken)
{
    if (!seen && CBEncodeDict::KeyHolds(key, wanted)) {
        seen = true;
        taken = value.type == type ? static_cast<const Value*>(&value) : nullptr;
    }
}

FileValues FindFileValues(const CBEncodeDict& file)
{
    FileValues values;
    if (file.errorCode != 0) {
        // A dictionary that failed may end without a value for its last key, which the index
        // leaves out.
        values.length = FindInt(file, "length");
        values.path = FindList(file, "path");
        values.pathUtf8 = FindList(file, "path.utf-8");
        return values;
    }
    // One walk over the few keys rather than a look-up of each: in a dictionary that decoded
    // cleanly the first pair of a key is the one its index holds.
    bool seenLength = false;
    bool seenPath = false;
    bool seenPathUtf8 = false;
    for (auto item = file.items.begin(); item != file.items.end(); ++item) {
        const CBEncodeObjectBase& key = **item;
        if (++item == file.items.end()) {
            break;
        }
        const CBEncodeObjectBase& value = **item;
        TakeFirst(key, value, "length", kBEncodeInt, seenLength, values.length);
        TakeFirst(key, value, "path", kBEncodeList, seenPath, values.path);
        TakeFirst(key, value, "path.utf-8", kBEncodeList, seenPathUtf8, values.pathUtf8);
    }
    return values;
}

// Fills `entry`, a new one, from a file's dictionary; the sources of its shown names
// (ShownNames.h).
unsigned FillMultiFileEntry(
    const CBEncodeDict& file, const LegacyReading& reading, int64_t& totalLength, TorrentFileEntry& entry)
{
    const FileValues values = FindFileValues(file);
    if (const CBEncodeInt* length = values.length) {
        entry.length = static_cast<double>(length->number);
        AddToTotal(totalLength, length->number);
    }
    // Names whose texts are their bytes need no choice of what to show: the common case.
    bool textsAreBytes = true;
    if (const CBEncodeList* path = values.path) {
        for (CBEncodeObjectBase* element : path->items) {
            if (!IsReadableString(element)) {
                entry.name = TextRef{};
                break;
            }
            textsAreBytes &= ClassifyComponent(*static_cast<CBEncodeString*>(element), entry.name, entry.path);
        }
    }
    if (const CBEncodeList* path = values.pathUtf8) {
        for (CBEncodeObjectBase* element : path->items) {
            if (IsReadableString(element)) {
                ClassifyComponent(*static_cast<CBEncodeString*>(element), entry.nameUtf8, entry.pathUtf8);
            }
        }
    }
    return textsAreBytes ? kNameFromUtf8 : ShowEntryNames(entry, reading);
}

bool Qualifies(const TorrentFileEntry& entry)
{
    return !entry.name.text.empty() && entry.length > 0;
}

} // namespace

bool CTorrentParser::Analyze(bool hashInfo)
{
    if (root == nullptr) {
        return false;
    }
    CBEncodeObjectBase* announce = root->Find("announce");
    CBEncodeObjectBase* infoValue = root->Find("info");
    if (announce == nullptr || infoValue == nullptr || infoValue->type != kBEncodeDict) {
        return false;
    }
    CBEncodeDict& info = *static_cast<CBEncodeDict*>(infoValue);
    CollectTrackers(*announce);
    TakeRootStrings();
    HashInfo(info, hashInfo);
    TakeLegacyReading();
    TakeName(info);
    TakeInfoPublisher(info);
    TakePieces(info);
    CollectFiles(info);
    return AnalysisPassed(hashInfo);
}

void CTorrentParser::CollectTrackers(CBEncodeObjectBase& announce)
{
    if (IsReadableString(&announce)) {
        trackers.push_back(BytesOf(static_cast<CBEncodeString&>(announce)));
    }
    if (const CBEncodeList* tiers = FindList(*root, "announce-list")) {
        for (const CBEncodeObjectBase* tier : tiers->items) {
            if (tier->type != kBEncodeList) {
                continue;
            }
            const auto& urls = static_cast<const CBEncodeList*>(tier)->items;
            if (!urls.empty() && IsReadableString(urls.front())) {
                trackers.push_back(BytesOf(*static_cast<CBEncodeString*>(urls.front())));
            }
        }
    }
}

void CTorrentParser::TakeRootStrings()
{
    creationDate = 0;
    if (const CBEncodeInt* date = FindInt(*root, "creation date")) {
        creationDate = Low32(date->number);
    }
    // A repeat of one of these keys, which readers pass over for the first, would still carry
    // its text into a saved torrent: it goes.
    const std::pair<const char*, std::string*> descriptive[] = {
        {"comment", &comment}, {"created by", &createdBy}, {"publisher", &publisher}, {"publisher-url", &publisherUrl}};
    for (const auto& [key, field] : descriptive) {
        if (CBEncodeString* value = FindString(*root, key)) {
            *field = BytesOf(*value);
            value->SetString(std::string());
        }
        root->RemoveRepeatsOf(key);
    }
}

void CTorrentParser::HashInfo(const CBEncodeDict& info, bool hashInfo)
{
    infoHashPrefix.fill(0);
    if (!hashInfo) {
        return;
    }
    CSha1Digest sha1;
    sha1.Reset();
    sha1.Update(reinterpret_cast<const unsigned char*>(info.rawStart), static_cast<unsigned int>(info.rawLength));
    sha1.Final();
    char escaped[61] = {};
    EscapeDigest(escaped, sha1);
    std::memcpy(infoHashPrefix.data(), escaped, std::min(std::strlen(escaped), infoHashPrefix.size()));
}

void CTorrentParser::TakeLegacyReading()
{
    // The key stays in the torrent: it still tells other clients how the names are stored.
    const CBEncodeString* declared = FindString(*root, "encoding");
    nameSources.reading
        = ReadingFor(declared != nullptr ? BytesOf(*declared) : std::string(), chosenCodePage, languageCodePage);
}

void CTorrentParser::TakeName(const CBEncodeDict& info)
{
    if (CBEncodeString* value = FindString(info, "name.utf-8")) {
        nameUtf8 = MakeTextRef(*value);
    }
    if (CBEncodeString* value = FindString(info, "name")) {
        name = MakeTextRef(*value);
        nameSources.used |= ShowName(name, &nameUtf8, nameSources.reading);
    }
}

void CTorrentParser::TakeInfoPublisher(const CBEncodeDict& info)
{
    if (!publisher.empty()) {
        return;
    }
    if (const CBEncodeString* value = FindString(info, "publisher")) {
        publisher = BytesOf(*value);
    }
    if (const CBEncodeString* value = FindString(info, "publisher-url")) {
        publisherUrl = BytesOf(*value);
    }
}

void CTorrentParser::TakePieces(const CBEncodeDict& info)
{
    pieceLength = 0;
    if (const CBEncodeInt* value = FindInt(info, "piece length")) {
        pieceLength = Low32(value->number);
    }
    if (const CBEncodeString* value = FindString(info, "pieces")) {
        if (value->errorCode == 0 && value->dataLength > 0) {
            pieces = value->data;
            pieceCount = value->dataLength / 20;
        }
    }
}

void CTorrentParser::CollectFiles(const CBEncodeDict& info)
{
    totalLength = 0;
    if (const CBEncodeInt* length = FindInt(info, "length")) {
        CollectSingleFile(length->number);
    } else if (const CBEncodeList* list = FindList(info, "files")) {
        CollectListedFiles(*list);
    }
}

void CTorrentParser::CollectSingleFile(int64_t length)
{
    // The torrent's name is the file's name. Both spellings move into the only entry, so that
    // whatever renames the file renames both alike.
    TorrentFileEntry entry;
    entry.length = static_cast<double>(length);
    AddToTotal(totalLength, length);
    entry.name = std::move(name);
    entry.nameUtf8 = std::move(nameUtf8);
    name = TextRef{};
    nameUtf8 = TextRef{};
    if (Qualifies(entry)) {
        files.push_back(std::move(entry));
    }
}

void CTorrentParser::CollectListedFiles(const CBEncodeList& list)
{
    files.reserve(files.size() + list.items.size());
    // Fetches the memory of the files a few ahead while one file is read.
    BEncodePool::ReadAhead readAhead(kFileSpan);
    for (CBEncodeObjectBase* element : list.items) {
        readAhead.From(element);
        if (element->type != kBEncodeDict) {
            continue;
        }
        auto& file = *static_cast<CBEncodeDict*>(element);
        // Wash drops the repeats of a file's keys; the dictionaries that hold any are noted
        // while each one is at hand.
        if (file.HasRepeatedKeys()) {
            m_filesWithRepeatedKeys.push_back(&file);
        }
        // Built in its place in the list (one move fewer) and taken back if it doesn't qualify
        // or its texts can't be made.
        TorrentFileEntry& entry = files.emplace_back();
        unsigned sources = 0;
        try {
            sources = FillMultiFileEntry(file, nameSources.reading, totalLength, entry);
        } catch (...) {
            files.pop_back();
            throw;
        }
        if (Qualifies(entry)) {
            nameSources.used |= sources;
        } else {
            files.pop_back();
        }
    }
}

bool CTorrentParser::AnalysisPassed(bool hashInfo) const
{
    // The escaped text of any digest starts with 20 characters that are not NUL, so a hashed
    // torrent always passes; one analysed without hashing is taken as hashed.
    const bool hashed
        = !hashInfo || std::any_of(infoHashPrefix.begin(), infoHashPrefix.end(), [](char c) { return c != 0; });
    return !trackers.empty() && !files.empty() && hashed && pieceCount != 0 && pieceLength != 0 && pieces != nullptr;
}
