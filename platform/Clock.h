#pragma once

#include <cstdint>

// Wall-clock seconds since 1970 (the value the random generator is seeded with
// and the first number of a batch stem).
std::int64_t UnixTimeSeconds();

// Milliseconds of a monotonic clock; wraps like a 32-bit tick counter.
std::uint32_t TickCountMs();
