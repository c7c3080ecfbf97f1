#pragma once

#include <chrono>
#include <cstddef>

// A one-line progress bar on standard error: a bar, done/total and the rate in torrents per
// second. Draws nothing unless standard error is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(std::size_t total);

    // Redraws with `done` items finished, at most ten times a second unless `force`.
    void Update(std::size_t done, bool force = false);
    // Erases the bar so that other output can take the line; the next Update draws it again.
    void Clear();

    bool Enabled() const { return m_enabled; }

private:
    using Clock = std::chrono::steady_clock;

    std::size_t m_total = 0;
    bool m_enabled = false;
    bool m_drawn = false;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastDraw{};
};
