#include "bencode/CBEncodeDict.h"

#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"

#include <algorithm>
#include <utility>
#include <vector>

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

namespace {

template <class Value>
Value* FindOfType(const CBEncodeDict& dict, const char* key, int32_t type)
{
    CBEncodeObjectBase* value = dict.Find(key);
    return value != nullptr && value->type == type ? static_cast<Value*>(value) : nullptr;
}

} // namespace

CBEncodeDict* CBEncodeDict::FindDict(const char* key) const
{
    return FindOfType<CBEncodeDict>(*this, key, kBEncodeDict);
}

CBEncodeList* CBEncodeDict::FindList(const char* key) const
{
    return FindOfType<CBEncodeList>(*this, key, kBEncodeList);
}

CBEncodeString* CBEncodeDict::FindString(const char* key) const
{
    return FindOfType<CBEncodeString>(*this, key, kBEncodeString);
}

CBEncodeInt* CBEncodeDict::FindInt(const char* key) const
{
    return FindOfType<CBEncodeInt>(*this, key, kBEncodeInt);
}

std::string_view CBEncodeDict::KeyText(const CBEncodeObjectBase& key)
{
    if (key.type != kBEncodeString)
        return {};
    const auto& text = static_cast<const CBEncodeString&>(key);
    if (text.replaced)
        return text.replacement;
    return text.data != nullptr && text.dataLength > 0
        ? std::string_view(text.data, static_cast<std::size_t>(text.dataLength))
        : std::string_view();
}

void CBEncodeDict::Append(CBEncodeString* key, CBEncodeObjectBase* value)
{
    items.push_back(key);
    items.push_back(value);
    keyIndex.emplace(std::string(KeyText(*key)), value);
}

void CBEncodeDict::SortByKeys()
{
    std::vector<std::pair<CBEncodeObjectBase*, CBEncodeObjectBase*>> pairs;
    pairs.reserve(items.size() / 2);
    for (auto it = items.begin(); it != items.end() && std::next(it) != items.end(); std::advance(it, 2))
        pairs.emplace_back(*it, *std::next(it));
    // Stable: of two pairs with the same key, the first stays first and stays the one found.
    std::stable_sort(pairs.begin(), pairs.end(),
        [](const auto& left, const auto& right) { return BEncodeKeyLess()(KeyText(*left.first), KeyText(*right.first)); });
    auto slot = items.begin();
    keyIndex.clear();
    for (const auto& [key, value] : pairs) {
        *slot++ = key;
        *slot++ = value;
        keyIndex.emplace(std::string(KeyText(*key)), value);
    }
}
