#include "torrent/ShownNames.h"

#include "bencode/CBEncodeString.h"
#include "platform/LegacyCodePage.h"
#include "platform/LocalText.h"
#include "platform/Utf8.h"
#include "torrent/TorrentFileEntry.h"

#include <string_view>

namespace {

// The bytes of a readable value; empty for a string that failed to decode.
std::string_view StoredBytes(const CBEncodeString& value)
{
    if (value.errorCode != 0 || value.data == nullptr)
        return {};
    return std::string_view(value.data, static_cast<std::size_t>(value.dataLength));
}

bool DecodesIn(const LegacyCodePage* page, std::string_view bytes, std::string& text)
{
    std::string utf8;
    if (page == nullptr || !LegacyTextToUtf8(*page, bytes, utf8))
        return false;
    text = Utf8ToLocalText(utf8);
    return true;
}

bool IsAscii(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

LegacyReading ReadingFor(const std::string& declaredName, const LegacyCodePage* chosen, const LegacyCodePage* language)
{
    if (chosen != nullptr)
        return LegacyReading{chosen, nullptr, true};
    return LegacyReading{declaredName.empty() ? nullptr : LegacyCodePageNamed(declaredName), language};
}

std::string NameSources::LegacyCodePagesShown() const
{
    std::string pages;
    if ((used & kNameFromDeclaredCodePage) != 0)
        pages = reading.declared->name;
    if ((used & kNameFromLanguageCodePage) != 0 && reading.language != reading.declared)
        pages += (pages.empty() ? "" : ", ") + std::string(reading.language->name);
    return pages;
}

std::vector<std::string> NameSources::Labels() const
{
    std::vector<std::string> labels;
    if ((used & kNameFromUtf8) != 0)
        labels.emplace_back("utf-8");
    if ((used & kNameFromUtf8Twin) != 0)
        labels.emplace_back("utf-8 twin");
    if ((used & kNameFromDeclaredCodePage) != 0)
        labels.push_back(std::string("declared ") + reading.declared->name);
    if ((used & kNameFromLanguageCodePage) != 0)
        labels.push_back(std::string("language ") + reading.language->name);
    if ((used & kNameUndecodable) != 0)
        labels.emplace_back("undecodable");
    return labels;
}

NameSource ShowName(TextRef& name, const TextRef* twin, const LegacyReading& reading)
{
    if (name.value == nullptr)
        return kNameFromUtf8;
    const std::string_view bytes = StoredBytes(*name.value);
    // An empty twin names nothing: it would leave the file without a name.
    const bool usableTwin = twin != nullptr && twin->value != nullptr && !StoredBytes(*twin->value).empty()
        && IsValidUtf8(StoredBytes(*twin->value));
    if (reading.chosen && !usableTwin && !IsAscii(bytes) && DecodesIn(reading.declared, bytes, name.text))
        return kNameFromDeclaredCodePage;
    if (IsValidUtf8(bytes))
        return kNameFromUtf8;
    if (usableTwin) {
        name.text = twin->text;
        return kNameFromUtf8Twin;
    }
    if (DecodesIn(reading.declared, bytes, name.text))
        return kNameFromDeclaredCodePage;
    if (DecodesIn(reading.language, bytes, name.text))
        return kNameFromLanguageCodePage;
    name.text = Utf8ToLocalText(bytes);
    return kNameUndecodable;
}

unsigned ShowEntryNames(TorrentFileEntry& entry, const LegacyReading& reading)
{
    unsigned used = ShowName(entry.name, &entry.nameUtf8, reading);
    // Folders pair up by place only when both spellings have as many: with one more or one
    // fewer on either side, which folder stands for which is unknown, and a folder shown under
    // another's name would mislead.
    const bool foldersPair = entry.pathUtf8.size() == entry.path.size();
    for (std::size_t k = 0; k < entry.path.size(); ++k)
        used |= ShowName(entry.path[k], foldersPair ? &entry.pathUtf8[k] : nullptr, reading);
    return used;
}
