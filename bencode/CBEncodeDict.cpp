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

bool CBEncodeDict::Remove(const char* key)
{
    if (key == nullptr)
        return false;
    const std::string_view wanted(key);
    bool removed = false;
    auto keyIt = items.begin();
    while (keyIt != items.end()) {
        const auto valueIt = std::next(keyIt);
        if (valueIt == items.end())
            break; // a dictionary that failed on a key ends without its value
        const auto nextIt = std::next(valueIt);
        if (KeyHolds(**keyIt, wanted)) {
            delete *keyIt;
            delete *valueIt;
            items.erase(keyIt, nextIt);
            removed = true;
        }
        keyIt = nextIt;
    }
    if (const auto indexed = keyIndex.find(wanted); indexed != keyIndex.end()) {
        keyIndex.erase(indexed);
        removed = true;
    }
    return removed;
}
