#pragma once

#include <cstddef>
#include <cstdint>

// Memory for the values and container nodes of bencode trees.
//
// A large torrent decodes into hundreds of thousands of small objects (values, list nodes,
// map nodes), all built in one pass and all freed together when the document loads the next
// file; the general-purpose heap spent more time on them than the decoder itself. Blocks of
// up to kMaxBlock bytes are instead cut one after another from per-thread 64 KiB chunks, and a
// chunk is reused once every block cut from it has been freed. A block may be freed on any
// thread. An exiting thread gives its chunks back to the heap.
//
// Built with AddressSanitizer the pool steps aside and every block comes straight from
// operator new, so leaks, double frees and use after free are still caught.
namespace BEncodePool {

// Larger requests go straight to operator new.
inline constexpr std::size_t kMaxBlock = 128;
// Every block is aligned at least this strictly: enough for the values and container nodes of
// a tree (pointers, 64-bit numbers, std::string), and no padding beyond it, since blocks are
// cut back to back and every byte they waste multiplies by the millions.
inline constexpr std::size_t kAlignment = 8;

// How far ahead of a value PrefetchAhead fetches: a few values of a torrent's file further on.
inline constexpr std::size_t kPrefetchDistance = 2048;

// Starts fetching the memory that lies kPrefetchDistance bytes beyond `block`. Blocks are cut one
// after another, so a walk of a tree in the order it was built (analysing, encoding, freeing)
// reaches that memory a few values later; fetching it while the walk is still here overlaps the
// waits for memory that following the tree's pointers one by one would serialise. Only a hint:
// it never faults, whatever lies there.
inline void PrefetchAhead(const void* block) noexcept
{
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(block) + kPrefetchDistance));
}

// A block of at least `size` bytes; throws std::bad_alloc like operator new.
void* Allocate(std::size_t size);
// Returns a block obtained from Allocate with the same `size`; null is ignored.
void Free(void* block, std::size_t size) noexcept;

} // namespace BEncodePool
