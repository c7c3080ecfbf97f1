// CTorrentParser::Wash: new torrent name, file names and folder names generated from a stem;
// lengths, order, piece length and piece hashes stay as loaded.
#include "torrent/CTorrentParser.h"

#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeString.h"
#include "platform/ProcessRandom.h"
#include "torrent/CMd5Digest.h"
#include "torrent/LocalText.h"
#include "torrent/Version2Metadata.h"

#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace {

// Generated names are built in the local code page and must fit 1023 bytes; a longer one
// (a huge extension) refuses the torrent instead of storing a cut name.
constexpr std::size_t kMaxGeneratedName = 1023;

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

    int number = 0;
    for (TorrentFileEntry& entry : files) {
        ++number;
        const std::size_t dot = entry.name.text.rfind('.');
        if (dot == std::string::npos) {
            return false;
        }
        const std::string numberText = std::to_string(number);
        std::string fileName;
        fileName.reserve(digest.size() + 1 + numberText.size() + (entry.name.text.size() - dot));
        fileName += digest;
        fileName += '_';
        fileName += numberText;
        fileName.append(entry.name.text, dot, std::string::npos);
        if (fileName.size() > kMaxGeneratedName) {
            return false;
        }
        SetBoth(entry.name, entry.nameUtf8, LocalTextToUtf8(std::move(fileName)));

        // One draw per entry, also for an entry without folders.
        const std::string folderPrefix = std::to_string(ProcessRandom()) + "_" + std::to_string(number);
        for (std::size_t i = 0; i < entry.path.size(); ++i) {
            TextRef none;
            SetBoth(entry.path[i], i < entry.pathUtf8.size() ? entry.pathUtf8[i] : none,
                LocalTextToUtf8(folderPrefix + std::to_string(i)));
        }
    }

    DropVersion2Metadata(root);
    return true;
}
