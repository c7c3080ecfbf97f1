#include "platform/Clock.h"

#include <chrono>
#include <ctime>

std::int64_t UnixTimeSeconds()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::uint32_t TickCountMs()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
