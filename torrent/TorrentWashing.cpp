// CTorrentParser::Wash: new torrent name, file names and folder names generated from a stem;
// lengths, order, piece length and piece hashes stay as loaded.
#include "torrent/CTorrentParser.h"

#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeString.h"
#include "platform/AnsiCodePage.h"
#include "platform/LocalText.h"
#include "platform/ProcessRandom.h"
#include "torrent/CMd5Digest.h"
#include "torrent/Version2Metadata.h"

#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Generated names are built in the local code page and must fit 1023 bytes; a longer one
// (a huge extension) refuses the torrent instead of storing a cut name.
constexpr std::size_t kMaxGeneratedName = 1023;
// How many files ahead Wash fetches the values it will rename.
constexpr std::size_t kPrefetchAhead = 4;

// Starts fetching `value`, to be renamed shortly: both cache lines it may straddle.
void Prefetch(const CBEncodeString* value)
{
    __builtin_prefetch(value, 1);
    __builtin_prefetch(reinterpret_cast<const char*>(value) + sizeof(CBEncodeString) - 1, 1);
}

void SetIfPresent(TextRef& ref, const std::string& utf8)
{
    if (ref.value != nullptr) {
        ref.value->SetString(utf8);
    }
}

// Gives the same text to both spellings of a name, copying it only when both are present.
void SetBoth(TextRef& first, TextRef& second, std::string utf8)
{
    if (second.value == nullptr) {
        if (first.value != nullptr) {
            first.value->SetString(std::move(utf8));
        }
        return;
    }
    SetIfPresent(first, utf8);
    second.value->SetString(std::move(utf8));
}

std::size_t DecimalDigits(std::size_t number)
{
    std::size_t digits = 1;
    for (; number >= 10; number /= 10) {
        ++digits;
    }
    return digits;
}

// Appends `number` in decimal, written straight into the text: digits formatted into a buffer
// of their own and copied over would be read back before their stores had settled, which costs
// more than the writing itself at three numbers per file.
void AppendDecimal(std::string& text, std::size_t number)
{
    const std::size_t start = text.size();
    text.resize(start + DecimalDigits(number));
    for (std::size_t at = text.size(); at > start; number /= 10) {
        text[--at] = static_cast<char>('0' + number % 10);
    }
}

// "<draw>_<number><position>": the name of a file's folder at `position`, each one written
// afresh (copying a prefix just written costs more than writing it again).
void AppendFolderName(std::string& text, int draw, std::size_t number, std::size_t position)
{
    AppendDecimal(text, static_cast<std::size_t>(draw));
    text += '_';
    AppendDecimal(text, number);
    AppendDecimal(text, position);
}

// The length of the name generated for the file numbered `number` named `local`: the digest,
// "_", the number and the name's extension from its last dot. 0 when the name has no dot or
// the generated one would be longer than kMaxGeneratedName.
std::size_t GeneratedNameLength(const std::string& digest, std::size_t number, const std::string& local)
{
    const std::size_t dot = local.rfind('.');
    if (dot == std::string::npos) {
        return 0;
    }
    const std::size_t length = digest.size() + 1 + DecimalDigits(number) + (local.size() - dot);
    return length > kMaxGeneratedName ? 0 : length;
}

} // namespace

bool CTorrentParser::Wash(const char* stem)
{
    const char* seed = stem != nullptr ? stem : "";
    const std::string stemUtf8 = LocalTextToUtf8(std::string_view(seed));
    SetIfPresent(name, stemUtf8);
    SetIfPresent(nameUtf8, stemUtf8);

    CMd5Digest md5;
    md5.Update(reinterpret_cast<const unsigned char*>(seed), static_cast<unsigned int>(std::strlen(seed)));
    const std::string digest = md5.HexDigest();

    // The entries renamed before the first one that refuses the wash (no extension, or a
    // generated name too long); each of them draws once, also one without folders, and the
    // draws are taken in one run.
    std::size_t washable = 0;
    while (washable < files.size() && GeneratedNameLength(digest, washable + 1, files[washable].name.text) != 0) {
        ++washable;
    }
    // Folder names are digits and "_": in a UTF-8 local code page they are their UTF-8 already.
    const bool utf8CodePage = AnsiCodePageIsUtf8();
    std::vector<int> draws(washable);
    ProcessRandomRun(draws.data(), draws.size());

    for (std::size_t index = 0; index < washable; ++index) {
        TorrentFileEntry& entry = files[index];
        // The values renamed lie scattered over a tree of many megabytes: the next few files'
        // values are fetched while this one's are written.
        if (index + kPrefetchAhead < washable) {
            const TorrentFileEntry& ahead = files[index + kPrefetchAhead];
            Prefetch(ahead.name.value);
            if (!ahead.path.empty()) {
                Prefetch(ahead.path.front().value);
            }
        }
        const std::size_t number = index + 1;
        const std::string_view extension = std::string_view(entry.name.text).substr(entry.name.text.rfind('.'));
        std::string fileName;
        fileName.reserve(digest.size() + 1 + DecimalDigits(number) + extension.size());
        fileName += digest;
        fileName += '_';
        AppendDecimal(fileName, number);
        fileName += extension;
        // The generated part is ASCII: when the extension needs no conversion, neither does the
        // name. Checking the extension, read long ago, spares reading back the bytes just written.
        SetBoth(entry.name, entry.nameUtf8,
            LocalTextIsUtf8(extension) ? std::move(fileName) : LocalTextToUtf8(std::move(fileName)));

        for (std::size_t i = 0; i < entry.path.size(); ++i) {
            TextRef none;
            TextRef& folderUtf8 = i < entry.pathUtf8.size() ? entry.pathUtf8[i] : none;
            if (utf8CodePage && entry.path[i].value != nullptr) {
                // Written straight into the value: a short text built aside and moved in would
                // be copied, read back before the bytes just written have settled.
                CBEncodeString& folder = *entry.path[i].value;
                folder.SetString(std::string());
                AppendFolderName(folder.replacement, draws[index], number, i);
                SetIfPresent(folderUtf8, folder.replacement);
                continue;
            }
            std::string folderName;
            AppendFolderName(folderName, draws[index], number, i);
            SetBoth(entry.path[i], folderUtf8, LocalTextToUtf8(std::move(folderName)));
        }
    }
    if (washable < files.size()) {
        return false;
    }

    DropRepeatedKeys();
    DropVersion2Metadata(root);
    return true;
}

void CTorrentParser::DropRepeatedKeys()
{
    // The repeats go from the root, the info dictionary and the files' dictionaries that
    // Analyze found holding any.
    if (root != nullptr) {
        root->RemoveRepeatedKeys();
        if (CBEncodeObjectBase* info = root->Find("info"); info != nullptr && info->type == kBEncodeDict) {
            static_cast<CBEncodeDict*>(info)->RemoveRepeatedKeys();
        }
    }
    for (CBEncodeDict* file : m_filesWithRepeatedKeys) {
        file->RemoveRepeatedKeys();
    }
}
