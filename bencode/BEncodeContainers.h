#pragma once

#include "bencode/BEncodePool.h"

#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <new>
#include <string>
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

// The containers of a tree: `items` of lists and dictionaries and the codec's `values`
// (std::list), and a dictionary's `keyIndex` (std::map). The index compares keys byte-wise as
// std::string does, and takes a key to look up in any string form without copying it.
using BEncodeItems = std::list<CBEncodeObjectBase*, BEncodePoolAllocator<CBEncodeObjectBase*>>;
using BEncodeKeyIndex = std::map<std::string, CBEncodeObjectBase*, std::less<>,
    BEncodePoolAllocator<std::pair<const std::string, CBEncodeObjectBase*>>>;
