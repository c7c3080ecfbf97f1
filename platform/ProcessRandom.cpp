#include "platform/ProcessRandom.h"

#include <atomic>
#include <cstdint>

namespace {
// The state starts at 1, as the C run-time's generator does before any srand.
std::atomic<std::uint32_t> g_state{1};
} // namespace

void SeedProcessRandom(unsigned int seed)
{
    g_state.store(seed, std::memory_order_relaxed);
}

int ProcessRandom()
{
    std::uint32_t current = g_state.load(std::memory_order_relaxed);
    std::uint32_t next = 0;
    do {
        next = current * 214013u + 2531011u;
    } while (!g_state.compare_exchange_weak(current, next, std::memory_order_relaxed));
    return static_cast<int>((next >> 16) & 0x7FFFu);
}
