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
#if defined(__SANITIZE_ADDRESS__)
#define KELPMERE_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELPMERE_POOL_BYPASS 1
#endif
#endif

namespace BEncodePool {

// Larger requests go straight to operator new.
inline constexpr std::size_t kMaxBlock = 128;
// Every block is aligned at least this strictly: enough for the values and container nodes of
// a tree (pointers, 64-bit numbers, std::string), and no padding beyond it, since blocks are
// cut back to back and every byte they waste multiplies by the millions.
inline constexpr std::size_t kAlignment = 8;

// Fetches memory ahead of a walk over a tree in the order the tree was built (analysing,
// washing, encoding, freeing). Blocks are cut one after another, so the memory kDistance bytes
// beyond the value at hand holds values the walk reaches a little later; fetching it while the
// walk is still here overlaps the waits for memory that following the tree's pointers one by one
// would serialise. Each call fetches the cache lines of the `span` bytes that start kDistance
// bytes beyond `at`, skipping lines an earlier call fetched. Only a hint: it never faults,
// whatever lies there.
class ReadAhead {
public:
    static constexpr std::uintptr_t kDistance = 2048;
    static constexpr std::uintptr_t kLine = 64;

    // `span`: how much memory one step of the walk covers (one line for a value at a time, more
    // for a walk that steps over whole files).
    explicit ReadAhead(std::uintptr_t span = kLine) noexcept : m_span(span) { }

    void From(const void* at) noexcept
    {
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(at) + kDistance;
        const std::uintptr_t stop = start + m_span;
        for (std::uintptr_t line = start > m_fetched ? start : m_fetched; line < stop; line += kLine) {
            __builtin_prefetch(reinterpret_cast<const void*>(line));
        }
        if (stop > m_fetched) {
            m_fetched = stop;
        }
    }

private:
    std::uintptr_t m_span;
    std::uintptr_t m_fetched = 0; // the end of the memory fetched so far
};

// A block of at least `size` bytes; throws std::bad_alloc like operator new.
inline void* Allocate(std::size_t size);
// Returns a block obtained from Allocate with the same `size`; null is ignored.
inline void Free(void* block, std::size_t size) noexcept;

// The pool's own workings, declared here for the inline paths of Allocate and Free: every value
// and container node of a tree passes through them, so a call for each cost more than the work.
namespace Detail {

inline constexpr std::size_t kChunkBytes = 64 * 1024;
// How far ahead of the block being cut Allocate fetches.
inline constexpr std::size_t kWriteAhead = 1024;

struct Chunk;

// This thread's chunk being cut, and its empty chunks. Trivially destructible, so reaching it
// costs no more than any thread-local variable.
struct ThreadChunks {
    Chunk* current = nullptr;
    char* next = nullptr; // next free byte of `current`
    char* end = nullptr;
    std::int64_t handedOut = 0; // blocks cut from `current`
    Chunk* spare = nullptr;
    std::size_t spareCount = 0;
    // Frees of blocks in one chunk, counted here and subtracted from its count in one atomic
    // step: a tree is freed in about the order it was built, so most frees land in the chunk
    // of the previous one. Until they are subtracted the chunk can't empty, so they are only
    // ever late, never early.
    Chunk* pendingChunk = nullptr;
    std::int64_t pendingFrees = 0;
    bool exitArranged = false; // ThreadExit will run for this thread
    bool ended = false;        // the thread is exiting: chunks no longer stay with it
};
extern constinit thread_local ThreadChunks t_chunks;

inline Chunk* ChunkOf(void* block)
{
    return reinterpret_cast<Chunk*>(reinterpret_cast<std::uintptr_t>(block) & ~(std::uintptr_t{kChunkBytes} - 1));
}

// Everything but cutting from a chunk with room and counting a free in the pending chunk.
void* AllocateSlow(std::size_t size);
void FreeSlow(void* block, std::size_t size) noexcept;

} // namespace Detail

inline void* Allocate(std::size_t size)
{
#if !defined(KELPMERE_POOL_BYPASS)
    Detail::ThreadChunks& t = Detail::t_chunks;
    const std::size_t rounded = (size + kAlignment - 1) & ~(kAlignment - 1);
    // An exiting thread has no chunk with room, so it always takes the slow path.
    if (size != 0 && size <= kMaxBlock && static_cast<std::size_t>(t.end - t.next) >= rounded) {
        void* block = t.next;
        // A decode cuts block after block and writes each at once: the memory a few values
        // further on is fetched for writing meanwhile, rather than each value waiting for its
        // own. Past the chunk's end it is only a wasted hint.
        __builtin_prefetch(t.next + Detail::kWriteAhead, 1);
        t.next += rounded;
        ++t.handedOut;
        return block;
    }
#endif
    return Detail::AllocateSlow(size);
}

inline void Free(void* block, std::size_t size) noexcept
{
#if !defined(KELPMERE_POOL_BYPASS)
    if (block != nullptr && size <= kMaxBlock && Detail::ChunkOf(block) == Detail::t_chunks.pendingChunk) {
        ++Detail::t_chunks.pendingFrees;
        return;
    }
#endif
    Detail::FreeSlow(block, size);
}

} // namespace BEncodePool
