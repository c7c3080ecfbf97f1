#include "bencode/BEncodePool.h"

#include <atomic>
#include <cstdint>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define KELPMERE_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELPMERE_POOL_BYPASS 1
#endif
#endif

#if defined(KELPMERE_POOL_BYPASS)

namespace BEncodePool {

void* Allocate(std::size_t size)
{
    return ::operator new(size);
}

void Free(void* block, std::size_t) noexcept
{
    ::operator delete(block);
}

} // namespace BEncodePool

#else

// Blocks are cut one after another from 64 KiB chunks, so a tree lies in memory in the order
// it was built and is walked (analysed, encoded, freed) at the speed of a sequential read.
// A chunk counts its live blocks; once the last one is freed the whole chunk is free and is
// used again from its start. Trees are built and freed as a whole, so chunks empty out together
// and a block that outlives its neighbours only keeps its own chunk from being reused.
namespace {

using BEncodePool::kAlignment;
using BEncodePool::kMaxBlock;

constexpr std::size_t kChunkBytes = 64 * 1024;
// How far ahead of the block being cut Allocate fetches.
constexpr std::size_t kWriteAhead = 1024;
// Empty chunks a thread keeps for its next tree; more go back to the heap.
constexpr std::size_t kMaxSpareChunks = 1024;
// While a chunk is still being cut, its count starts from this bias minus the blocks freed;
// when the thread moves on it subtracts the bias less the blocks it handed out, and the count
// becomes the number of live blocks. Whoever brings it to zero owns the empty chunk.
constexpr int64_t kBias = INT64_C(1) << 40;

struct alignas(kAlignment) Chunk {
    std::atomic<int64_t> live{kBias};
    Chunk* nextSpare = nullptr;
};
constexpr std::size_t kFirstBlock = (sizeof(Chunk) + kAlignment - 1) / kAlignment * kAlignment;

// This thread's chunk being cut, and its empty chunks. Trivially destructible, so reaching it
// costs no more than any thread-local variable.
struct ThreadChunks {
    Chunk* current = nullptr;
    char* next = nullptr; // next free byte of `current`
    char* end = nullptr;
    int64_t handedOut = 0; // blocks cut from `current`
    Chunk* spare = nullptr;
    std::size_t spareCount = 0;
    // Frees of blocks in one chunk, counted here and subtracted from its count in one atomic
    // step: a tree is freed in about the order it was built, so most frees land in the chunk
    // of the previous one. Until they are subtracted the chunk can't empty, so they are only
    // ever late, never early.
    Chunk* pendingChunk = nullptr;
    int64_t pendingFrees = 0;
    bool exitArranged = false; // ThreadExit will run for this thread
    bool ended = false;        // the thread is exiting: chunks no longer stay with it
};
constinit thread_local ThreadChunks t_chunks{};

Chunk* ChunkOf(void* block)
{
    return reinterpret_cast<Chunk*>(reinterpret_cast<std::uintptr_t>(block) & ~(std::uintptr_t{kChunkBytes} - 1));
}

void Release(Chunk* chunk)
{
    chunk->~Chunk();
    ::operator delete (chunk, std::align_val_t{kChunkBytes});
}

// An empty chunk joins this thread's spares.
void Recycle(Chunk* chunk)
{
    ThreadChunks& t = t_chunks;
    if (t.ended || t.spareCount >= kMaxSpareChunks) {
        Release(chunk);
        return;
    }
    chunk->nextSpare = t.spare;
    t.spare = chunk;
    ++t.spareCount;
}

// Subtracts the frees counted for the pending chunk; the chunk is recycled if that empties it.
void FlushPendingFrees(ThreadChunks& t)
{
    Chunk* chunk = t.pendingChunk;
    if (chunk == nullptr)
        return;
    const int64_t frees = t.pendingFrees;
    t.pendingChunk = nullptr;
    t.pendingFrees = 0;
    if (chunk->live.fetch_sub(frees, std::memory_order_acq_rel) == frees)
        Recycle(chunk);
}

// Stops cutting the current chunk; it is recycled now if nothing in it is live, otherwise by
// the thread that frees its last block.
void Retire(ThreadChunks& t)
{
    Chunk* chunk = t.current;
    t.current = nullptr;
    t.next = t.end = nullptr;
    if (chunk == nullptr)
        return;
    const int64_t settle = kBias - t.handedOut;
    if (chunk->live.fetch_sub(settle, std::memory_order_acq_rel) == settle)
        Recycle(chunk);
}

// At thread exit gives every chunk the thread holds back to the heap; chunks with live
// blocks follow when their last block is freed.
struct ThreadExit {
    ~ThreadExit()
    {
        ThreadChunks& t = t_chunks;
        t.ended = true;
        FlushPendingFrees(t);
        Retire(t);
        while (Chunk* chunk = t.spare) {
            t.spare = chunk->nextSpare;
            Release(chunk);
        }
        t.spareCount = 0;
    }
};

// Makes sure ThreadExit runs when this thread ends (not once it is ending).
void ArrangeThreadExit(ThreadChunks& t)
{
    if (t.exitArranged || t.ended)
        return;
    thread_local ThreadExit registerExit; // first use arranges the clean-up at thread exit
    (void)registerExit;
    t.exitArranged = true;
}

void StartChunk(ThreadChunks& t)
{
    Chunk* chunk = t.spare;
    if (chunk != nullptr) {
        t.spare = chunk->nextSpare;
        --t.spareCount;
        chunk->live.store(kBias, std::memory_order_relaxed);
        chunk->nextSpare = nullptr;
    } else {
        ArrangeThreadExit(t);
        chunk = new (::operator new (kChunkBytes, std::align_val_t{kChunkBytes})) Chunk;
    }
    t.current = chunk;
    t.next = reinterpret_cast<char*>(chunk) + kFirstBlock;
    t.end = reinterpret_cast<char*>(chunk) + kChunkBytes;
    t.handedOut = 0;
}

} // namespace

namespace BEncodePool {

void* Allocate(std::size_t size)
{
    if (size > kMaxBlock)
        return ::operator new(size);
    const std::size_t rounded = size == 0 ? kAlignment : (size + kAlignment - 1) & ~(kAlignment - 1);
    ThreadChunks& t = t_chunks;
    if (static_cast<std::size_t>(t.end - t.next) < rounded) {
        FlushPendingFrees(t); // the test below counts every free
        // Every block of the current chunk already freed (the usual case once a tree is gone):
        // cut it again from the start.
        if (t.current != nullptr && t.current->live.load(std::memory_order_acquire) == kBias - t.handedOut) {
            t.current->live.store(kBias, std::memory_order_relaxed); // no block left to free it
            t.next = reinterpret_cast<char*>(t.current) + kFirstBlock;
            t.handedOut = 0;
        } else {
            Retire(t);
            StartChunk(t);
        }
    }
    void* block = t.next;
    // A decode cuts block after block and writes each at once: the memory a few values further
    // on is fetched for writing meanwhile, rather than each value waiting for its own. Past the
    // chunk's end it is only a wasted hint.
    __builtin_prefetch(t.next + kWriteAhead, 1);
    t.next += rounded;
    ++t.handedOut;
    if (t.ended)
        Retire(t); // no chunk stays with an exiting thread
    return block;
}

void Free(void* block, std::size_t size) noexcept
{
    if (block == nullptr)
        return;
    if (size > kMaxBlock) {
        ::operator delete(block);
        return;
    }
    Chunk* chunk = ChunkOf(block);
    ThreadChunks& t = t_chunks;
    if (chunk == t.pendingChunk) {
        ++t.pendingFrees;
        return;
    }
    FlushPendingFrees(t);
    if (t.ended) {
        if (chunk->live.fetch_sub(1, std::memory_order_acq_rel) == 1)
            Recycle(chunk);
        return;
    }
    ArrangeThreadExit(t);
    t.pendingChunk = chunk;
    t.pendingFrees = 1;
}

} // namespace BEncodePool

#endif
