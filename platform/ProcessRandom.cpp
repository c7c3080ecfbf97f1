#include "platform/ProcessRandom.h"

#include <atomic>
#include <cstdint>
#include <random>

namespace {
// The state starts at 1, as the C run-time's generator does before any srand.
std::atomic<std::uint32_t> g_state{1};

std::uint32_t NextState(std::uint32_t state)
{
    return state * 214013u + 2531011u;
}

int Output(std::uint32_t state)
{
    return static_cast<int>((state >> 16) & 0x7FFFu);
}
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
        next = NextState(current);
    } while (!g_state.compare_exchange_weak(current, next, std::memory_order_relaxed));
    return Output(next);
}

void ProcessRandomRun(int* out, std::size_t count)
{
    if (count == 0)
        return;
    std::uint32_t current = g_state.load(std::memory_order_relaxed);
    std::uint32_t last = 0;
    do {
        // Another thread drew meanwhile: the whole run is computed again from its state.
        last = current;
        for (std::size_t i = 0; i < count; ++i) {
            last = NextState(last);
            out[i] = Output(last);
        }
    } while (!g_state.compare_exchange_weak(current, last, std::memory_order_relaxed));
}

void SeedProcessRandomFromSystem()
{
    SeedProcessRandom(std::random_device()());
}
