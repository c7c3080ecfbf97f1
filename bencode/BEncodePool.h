#pragma once

#include <cstddef>

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

// A block of at least `size` bytes; throws std::bad_alloc like operator new.
void* Allocate(std::size_t size);
// Returns a block obtained from Allocate with the same `size`; null is ignored.
void Free(void* block, std::size_t size) noexcept;

} // namespace BEncodePool
