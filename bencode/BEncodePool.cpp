#include "bencode/BEncodePool.h"

#include <atomic>
#include <cstdint>
#include <new>

#if defined(KELPMERE_POOL_BYPASS)

namespace BEncodePool::Detail {

void* AllocateSlow(std::size_t size)
{
    return ::operator new(size);
}

void FreeSlow(void* block, std::size_t) noexcept
{
    ::operator delete(block);
}

} // namespace BEncodePool::Detail

#else

// Blocks are cut one after another from 64 KiB chunks, so a tree lies in memory in the order
// it was built and is walked (analysed, encoded, freed) at the speed of a sequential read.
// A chunk counts its live blocks; once the last one is freed the whole chunk is free and is
// used again from its start. Trees are built and freed as a whole, so chunks empty out together
// and a block that outlives its neighbours only keeps its own chunk from being reused.
struct alignas(BEncodePool::kAlignment) BEncodePool::Detail::Chunk {
    // While a chunk is still being cut, its count starts from this bias minus the blocks freed;
    // when the thread moves on it subtracts the bias less the blocks it handed out, and the
    // count becomes the number of live blocks. Whoever brings it to zero owns the empty chunk.
    static constexpr int64_t kBias = INT64_C(1) << 40;

    std::atomic<int64_t> live{kBias};
    Chunk* nextSpare = nullptr;
};

constinit thread_local BEncodePool::Detail::ThreadChunks BEncodePool::Detail::t_chunks{};

namespace {

using BEncodePool::kAlignment;
using BEncodePool::kMaxBlock;
using BEncodePool::Detail::Chunk;
using BEncodePool::Detail::ChunkOf;
using BEncodePool::Detail::kChunkBytes;
using BEncodePool::Detail::t_chunks;
using BEncodePool::Detail::ThreadChunks;

// Empty chunks a thread keeps for its next tree; more go back to the heap.
constexpr std::size_t kMaxSpareChunks = 1024;
constexpr int64_t kBias = Chunk::kBias;
constexpr std::size_t kFirstBlock = (sizeof(Chunk) + kAlignment - 1) / kAlignment * kAlignment;

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

namespace BEncodePool::Detail {

void* AllocateSlow(std::size_t size)
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
    t.next += rounded;
    ++t.handedOut;
    if (t.ended)
        Retire(t); // no chunk stays with an exiting thread
    return block;
}

void FreeSlow(void* block, std::size_t size) noexcept
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

} // namespace BEncodePool::Detail

#endif
