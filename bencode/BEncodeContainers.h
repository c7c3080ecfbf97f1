#pragma once

#include "bencode/BEncodePool.h"

#include <cstddef>
#include <list>
#include <map>
#include <new>
#include <string>
#include <string_view>
#include <utility>

class CBEncodeObjectBase;

// Standard allocator drawing the nodes of the tree's lists and maps from BEncodePool.
template <class T>
class BEncodePoolAllocator {
public:
    using value_type = T;

    BEncodePoolAllocator() noexcept = default;
    template <class U>
    BEncodePoolAllocator(const BEncodePoolAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count)
    {
        static_assert(alignof(T) <= BEncodePool::kAlignment);
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(BEncodePool::Allocate(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { BEncodePool::Free(block, count * sizeof(T)); }

    template <class U>
    bool operator==(const BEncodePoolAllocator<U>&) const noexcept
    {
        return true;
    }
};

// Orders dictionary keys byte-wise (as unsigned bytes), exactly as std::string compares, for
// a key in any string form. Keys are short ("length", "path"): comparing them in line beats a
// call of memcmp, which std::string's comparison makes for every key a decode inserts.
struct BEncodeKeyLess {
    using is_transparent = void;

    bool operator()(std::string_view left, std::string_view right) const noexcept
    {
        const std::size_t common = left.size() < right.size() ? left.size() : right.size();
        for (std::size_t i = 0; i < common; ++i) {
            if (left[i] != right[i])
                return static_cast<unsigned char>(left[i]) < static_cast<unsigned char>(right[i]);
        }
        return left.size() < right.size();
    }
};

// The containers of a tree: `items` of lists and dictionaries and the codec's `values`
// (std::list), and a dictionary's `keyIndex` (std::map). The index compares keys byte-wise as
// std::string does, and takes a key to look up in any string form without copying it.
using BEncodeItems = std::list<CBEncodeObjectBase*, BEncodePoolAllocator<CBEncodeObjectBase*>>;

// Deletes every value of `items` and empties it. A long list (a torrent's "files") has each node
// freed as its value is deleted: deleting all values first and then clearing walked its nodes a
// second time, after everything the values owned had pushed them out of the cache. A short list
// is still in the cache for the second walk, which then costs less than unlinking node by node.
void DeleteItems(BEncodeItems& items) noexcept;
using BEncodeKeyIndex = std::map<std::string, CBEncodeObjectBase*, BEncodeKeyLess,
    BEncodePoolAllocator<std::pair<const std::string, CBEncodeObjectBase*>>>;
