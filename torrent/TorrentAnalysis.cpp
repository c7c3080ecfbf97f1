// CTorrentParser::Analyze: from the loaded tree to trackers, names, piece data, descriptive
// strings and the list of files.
#include "torrent/CTorrentParser.h"

#include "bencode/BEncodePool.h"
#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "digest/CSha1Digest.h"
#include "platform/LocalText.h"
#include "platform/Utf8.h"
#include "torrent/DescriptiveTexts.h"
#include "torrent/ShownNames.h"
#include "torrent/TorrentStructure.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

namespace {

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

std::string_view ViewOf(const CBEncodeString& value)
{
    return value.errorCode == 0 && value.data != nullptr
        ? std::string_view(value.data, static_cast<std::size_t>(value.dataLength))
        : std::string_view();
}

// The value's UTF-8 bytes as text in the local code page; empty for a string that failed.
std::string ConvertedText(const CBEncodeString& value)
{
    if (value.errorCode != 0 || value.data == nullptr) {
        return {};
    }
    return Utf8ToLocalText(ViewOf(value));
}

TextRef MakeTextRef(CBEncodeString& value)
{
    return TextRef{&value, ConvertedText(value)};
}

int32_t Low32(int64_t number)
{
    return static_cast<int32_t>(static_cast<uint32_t>(number));
}

// Takes a name (a path component or a key of the "file tree") into `ref`. True when its text is
// its bytes, which are UTF-8; false when the text is converted, or left for ShowName to choose
// when the bytes are not UTF-8.
bool TakeComponent(CBEncodeString& element, TextRef& ref)
{
    const std::string_view bytes = ViewOf(element);
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
    const CBEncodeString* attr = nullptr;
};

// Takes `value` for `wanted` when `key` is the first occurrence of that key; a value of another
// type is taken as absent, as the typed look-ups do.
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
        values.length = file.FindInt("length");
        values.path = file.FindList("path");
        values.pathUtf8 = file.FindList("path.utf-8");
        values.attr = file.FindString("attr");
        return values;
    }
    // One walk over the few keys rather than a look-up of each: in a dictionary that decoded
    // cleanly the first pair of a key is the one its index holds.
    bool seen[4] = {};
    for (auto item = file.items.begin(); item != file.items.end(); ++item) {
        const CBEncodeObjectBase& key = **item;
        if (++item == file.items.end()) {
            break;
        }
        const CBEncodeObjectBase& value = **item;
        TakeFirst(key, value, "length", kBEncodeInt, seen[0], values.length);
        TakeFirst(key, value, "path", kBEncodeList, seen[1], values.path);
        TakeFirst(key, value, "path.utf-8", kBEncodeList, seen[2], values.pathUtf8);
        TakeFirst(key, value, "attr", kBEncodeString, seen[3], values.attr);
    }
    return values;
}

// A padding file: "attr" holds "p", or its name begins as the padding files of clients that
// write no "attr" are named.
bool IsPaddingFile(const FileValues& values)
{
    if (values.attr != nullptr && ViewOf(*values.attr).find('p') != std::string_view::npos) {
        return true;
    }
    if (values.path == nullptr || values.path->items.empty() || !IsReadableString(values.path->items.back())) {
        return false;
    }
    return ViewOf(*static_cast<const CBEncodeString*>(values.path->items.back())).starts_with("_____padding_file_");
}

// Fills `entry`, a new one, from a file's values: the last component of "path" is its name and
// every earlier one a folder; the same for "path.utf-8", whose unreadable components are passed
// over. Tells whether every text is its bytes (then no choice of what to show is needed).
bool FillMultiFileEntry(const FileValues& values, int64_t& totalLength, TorrentFileEntry& entry)
{
    if (const CBEncodeInt* length = values.length) {
        entry.length = length->number;
        AddToTotal(totalLength, length->number);
    }
    bool textsAreBytes = true;
    if (const CBEncodeList* path = values.path) {
        std::size_t left = path->items.size();
        entry.path.reserve(left > 0 ? left - 1 : 0);
        for (CBEncodeObjectBase* element : path->items) {
            if (!IsReadableString(element)) {
                entry.name = TextRef{};
                entry.path.clear();
                break;
            }
            TextRef& ref = --left == 0 ? entry.name : entry.path.emplace_back();
            textsAreBytes &= TakeComponent(*static_cast<CBEncodeString*>(element), ref);
        }
    }
    if (const CBEncodeList* path = values.pathUtf8) {
        for (CBEncodeObjectBase* element : path->items) {
            if (!IsReadableString(element)) {
                continue;
            }
            // The component taken last is the name; one taken before it becomes a folder.
            if (entry.nameUtf8.value != nullptr) {
                entry.pathUtf8.push_back(std::move(entry.nameUtf8));
            }
            TakeComponent(*static_cast<CBEncodeString*>(element), entry.nameUtf8);
        }
    }
    return textsAreBytes;
}

bool Qualifies(const TorrentFileEntry& entry)
{
    return entry.name.value != nullptr;
}

} // namespace

bool CTorrentParser::Analyze(bool hashInfo)
{
    if (root == nullptr) {
        return false;
    }
    CBEncodeDict* info = root->FindDict("info");
    if (info == nullptr) {
        return false;
    }
    CollectTrackers();
    TakeRootStrings();
    if (info->errorCode != 0) {
        return false;
    }
    HashInfo(*info, hashInfo);
    TakeLegacyReading();
    TakeName(*info);
    TakeInfoPublisher(*info);
    TakePieces(*info);
    CollectFiles(*info);
    return AnalysisPassed(hashInfo);
}

void CTorrentParser::CollectTrackers()
{
    if (const CBEncodeString* announce = root->FindString("announce"); IsReadableString(announce)) {
        trackers.push_back(BytesOf(*announce));
    }
    if (const CBEncodeList* tiers = root->FindList("announce-list")) {
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
    if (const CBEncodeInt* date = root->FindInt("creation date")) {
        creationDate = Low32(date->number);
    }
    const std::pair<const char*, std::string*> kept[] = {
        {"comment", &comment}, {"created by", &createdBy}, {"publisher", &publisher}, {"publisher-url", &publisherUrl}};
    for (const auto& [key, field] : kept) {
        if (const CBEncodeString* value = root->FindString(key)) {
            *field = BytesOf(*value);
        }
    }
    // A repeat of one of these keys, which readers pass over for the first, would still carry
    // its text into a saved torrent: it goes.
    for (const char* key : kRootDescriptiveKeys) {
        if (CBEncodeString* value = root->FindString(key)) {
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
    const CBEncodeString* declared = root->FindString("encoding");
    nameSources.reading
        = ReadingFor(declared != nullptr ? BytesOf(*declared) : std::string(), chosenCodePage, languageCodePage);
}

void CTorrentParser::TakeName(const CBEncodeDict& info)
{
    if (CBEncodeString* value = info.FindString("name.utf-8")) {
        nameUtf8 = MakeTextRef(*value);
    }
    if (CBEncodeString* value = info.FindString("name")) {
        name = MakeTextRef(*value);
        nameSources.used |= ShowName(name, &nameUtf8, nameSources.reading);
    }
}

void CTorrentParser::TakeInfoPublisher(const CBEncodeDict& info)
{
    if (!publisher.empty()) {
        return;
    }
    if (const CBEncodeString* value = info.FindString("publisher")) {
        publisher = BytesOf(*value);
    }
    if (const CBEncodeString* value = info.FindString("publisher-url")) {
        publisherUrl = BytesOf(*value);
    }
}

void CTorrentParser::TakePieces(const CBEncodeDict& info)
{
    pieceLength = 0;
    if (const CBEncodeInt* value = info.FindInt("piece length")) {
        pieceLength = Low32(value->number);
    }
    if (const CBEncodeString* value = info.FindString("pieces")) {
        if (value->errorCode == 0 && value->dataLength > 0) {
            pieces = value->data;
            pieceCount = value->dataLength / 20;
        }
    }
}

void CTorrentParser::CollectFiles(const CBEncodeDict& info)
{
    totalLength = 0;
    version2Only = IsVersion2Only(info);
    if (version2Only) {
        std::vector<TextRef> folders;
        CollectTreeFiles(*info.FindDict("file tree"), folders);
    } else if (const CBEncodeInt* length = info.FindInt("length")) {
        CollectSingleFile(length->number);
    } else if (const CBEncodeList* list = info.FindList("files")) {
        CollectListedFiles(*list);
    }
}

void CTorrentParser::CollectSingleFile(int64_t length)
{
    // The torrent's name is the file's name. Both spellings move into the only entry, so that
    // whatever renames the file renames both alike.
    TorrentFileEntry entry;
    entry.length = length;
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
        const FileValues values = FindFileValues(file);
        if (IsPaddingFile(values)) {
            ++paddingFiles;
            if (values.length != nullptr) {
                AddToTotal(totalLength, values.length->number);
            }
            continue;
        }
        // Built in its place in the list (one move fewer) and taken back if it doesn't qualify
        // or its texts can't be made.
        TorrentFileEntry& entry = files.emplace_back();
        unsigned sources = 0;
        try {
            sources = ShownSources(entry, FillMultiFileEntry(values, totalLength, entry));
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

void CTorrentParser::CollectTreeFiles(CBEncodeDict& tree, std::vector<TextRef>& folders)
{
    for (auto key = tree.items.begin(); key != tree.items.end() && std::next(key) != tree.items.end();
         std::advance(key, 2)) {
        const auto value = std::next(key);
        if ((*key)->type != kBEncodeString || (*value)->type != kBEncodeDict) {
            continue;
        }
        auto& keyText = static_cast<CBEncodeString&>(**key);
        auto& node = static_cast<CBEncodeDict&>(**value);
        // A file is a key whose node holds the key "" with the file's length and root hash.
        if (const CBEncodeDict* file = node.FindDict("")) {
            TorrentFileEntry& entry = files.emplace_back();
            entry.path = folders;
            TakeComponent(keyText, entry.name);
            if (const CBEncodeInt* length = file->FindInt("length")) {
                entry.length = length->number;
                AddToTotal(totalLength, length->number);
            }
            nameSources.used |= ShownSources(entry, false);
            m_treeFileNodes.push_back(&*value);
            continue;
        }
        TakeComponent(keyText, folders.emplace_back());
        CollectTreeFiles(node, folders);
        folders.pop_back();
    }
}

unsigned CTorrentParser::ShownSources(TorrentFileEntry& entry, bool textsAreBytes) const
{
    // A code page the user names is tried even on names that are UTF-8.
    if (textsAreBytes && !nameSources.reading.chosen) {
        return kNameFromUtf8;
    }
    return ShowEntryNames(entry, nameSources.reading);
}

bool CTorrentParser::AnalysisPassed(bool hashInfo) const
{
    // The escaped text of any digest starts with 20 characters that are not NUL, so a hashed
    // torrent always passes; one analysed without hashing is taken as hashed.
    const bool hashed
        = !hashInfo || std::any_of(infoHashPrefix.begin(), infoHashPrefix.end(), [](char c) { return c != 0; });
    const bool pieceData = version2Only || (pieceCount != 0 && pieces != nullptr);
    return !files.empty() && hashed && pieceLength > 0 && pieceData;
}
