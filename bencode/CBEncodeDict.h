#pragma once

#include "bencode/BEncodeContainers.h"
#include "bencode/CBEncodeObjectBase.h"
#include "bencode/CBEncodeString.h"

#include <cstring>
#include <string>
#include <string_view>

// A bencode dictionary. Keeps its pairs in decoded order (never re-sorted) and writes
// them back in that order, repeated keys included. Owns keys and values.
class CBEncodeInt;
class CBEncodeList;

class CBEncodeDict : public CBEncodeObjectBase {
public:
    CBEncodeDict() : CBEncodeObjectBase(kBEncodeDict) { }
    ~CBEncodeDict() override;

    // "d", every key and value of `items` in order, "e"; the items' results are ignored. True.
    bool Encode(std::string& out) override;

    // The value of the first occurrence of `key`, or null. Keys holding a NUL byte can't be
    // found this way.
    CBEncodeObjectBase* Find(const char* key) const;

    // The value of `key` when it is of the type asked for; null when absent or of another type,
    // which readers take alike.
    CBEncodeDict* FindDict(const char* key) const;
    CBEncodeList* FindList(const char* key) const;
    CBEncodeString* FindString(const char* key) const;
    CBEncodeInt* FindInt(const char* key) const;

    // Appends the pair `key`, `value` (both taken over; the key's text is its replacement when
    // it has one) and indexes it unless the key is already indexed.
    void Append(CBEncodeString* key, CBEncodeObjectBase* value);
    // Puts the pairs in the byte order of their keys' texts (as written: a replaced key by its
    // replacement), the order bencode requires, and indexes them anew. For a dictionary whose
    // keys were renamed.
    void SortByKeys();
    // The text a key writes: its replacement, or else its decoded bytes.
    static std::string_view KeyText(const CBEncodeObjectBase& key);

    // Removes every pair whose key is `key` from `items` (deleting key and value) and the
    // key's entry from `keyIndex`. Returns whether anything was removed.
    bool Remove(const char* key);

    // Removes every pair whose key occurred earlier in `items` (deleting key and value): the
    // pair that Find gives for each key, its first occurrence, stays, and so does a last pair
    // whose value failed. Returns whether anything was removed.
    bool RemoveRepeatedKeys();
    // The same for the repeats of `key` only.
    bool RemoveRepeatsOf(const char* key);
    // Whether RemoveRepeatedKeys may find something to remove: false for a dictionary without
    // a repeated key, unless it failed. The index holds one entry per distinct key (leaving out
    // only a key whose one pair failed), so it holds as many entries as there are pairs exactly
    // when no key repeats.
    bool HasRepeatedKeys() const { return items.size() != 2 * keyIndex.size(); }

    // Whether `key`, a key of some dictionary's `items`, holds exactly the decoded bytes
    // `wanted`. In line, so that a key known where it is asked for is compared without a call.
    static bool KeyHolds(const CBEncodeObjectBase& key, std::string_view wanted)
    {
        if (key.type != kBEncodeString)
            return false;
        const auto& text = static_cast<const CBEncodeString&>(key);
        const std::size_t length
            = text.data != nullptr && text.dataLength > 0 ? static_cast<std::size_t>(text.dataLength) : 0;
        return length == wanted.size() && (length == 0 || std::memcmp(text.data, wanted.data(), length) == 0);
    }

    // Key text to the value of its first occurrence; the values are borrowed from `items`.
    BEncodeKeyIndex keyIndex;
    // Keys (CBEncodeString) and values alternately, in buffer order; owned.
    BEncodeItems items;

private:
    // RemoveRepeatedKeys for the key `only`, or for every key when it is null.
    bool RemoveRepeats(const char* only);
    // Deletes every pair for which drop(key, value) holds; whether any went. `keyIndex` is
    // the caller's to keep right.
    template <class Drop>
    bool RemovePairsWhere(const Drop& drop);
};
