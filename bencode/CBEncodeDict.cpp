#include "bencode/CBEncodeDict.h"

#include "bencode/CBEncodeString.h"

#include <cstring>
#include <iterator>
#include <string_view>

CBEncodeDict::~CBEncodeDict()
{
    DeleteItems(items);
    keyIndex.clear();
}

bool CBEncodeDict::Encode(std::string& out)
{
    out += 'd';
    for (CBEncodeObjectBase* item : items)
        item->Encode(out);
    out += 'e';
    return true;
}

CBEncodeObjectBase* CBEncodeDict::Find(const char* key) const
{
    if (key == nullptr)
        return nullptr;
    const auto found = keyIndex.find(std::string_view(key));
    return found == keyIndex.end() ? nullptr : found->second;
}

template <class Drop>
bool CBEncodeDict::RemovePairsWhere(const Drop& drop)
{
    bool removed = false;
    auto keyIt = items.begin();
    while (keyIt != items.end()) {
        const auto valueIt = std::next(keyIt);
        if (valueIt == items.end())
            break; // a dictionary that failed on a key ends without its value
        const auto nextIt = std::next(valueIt);
        if (drop(static_cast<const CBEncodeString&>(**keyIt), *valueIt)) {
            delete *keyIt;
            delete *valueIt;
            items.erase(keyIt, nextIt);
            removed = true;
        }
        keyIt = nextIt;
    }
    return removed;
}

bool CBEncodeDict::Remove(const char* key)
{
    if (key == nullptr)
        return false;
    const std::string_view wanted(key);
    bool removed = RemovePairsWhere(
        [&](const CBEncodeString& pairKey, const CBEncodeObjectBase*) { return KeyHolds(pairKey, wanted); });
    if (const auto indexed = keyIndex.find(wanted); indexed != keyIndex.end()) {
        keyIndex.erase(indexed);
        removed = true;
    }
    return removed;
}

bool CBEncodeDict::RemoveRepeatedKeys()
{
    return RemoveRepeats(nullptr);
}

bool CBEncodeDict::RemoveRepeatsOf(const char* key)
{
    return key != nullptr && RemoveRepeats(key);
}

bool CBEncodeDict::RemoveRepeats(const char* only)
{
    if (!HasRepeatedKeys())
        return false; // almost every dictionary: no walk
    const std::string_view wanted = only != nullptr ? std::string_view(only) : std::string_view();
    return RemovePairsWhere([&](const CBEncodeString& key, const CBEncodeObjectBase* value) {
        if (only != nullptr && !KeyHolds(key, wanted))
            return false;
        // The index holds the first pair of every key whose value decoded: a pair of a key it
        // holds with another value is a later one. A key it doesn't hold occurs only here, as
        // the failed last pair.
        const std::size_t length
            = key.data != nullptr && key.dataLength > 0 ? static_cast<std::size_t>(key.dataLength) : 0;
        const auto indexed = keyIndex.find(std::string_view(length != 0 ? key.data : "", length));
        return indexed != keyIndex.end() && indexed->second != value;
    });
}
