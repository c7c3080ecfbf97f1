#include "cli/ProgressBar.h"

#include "cli/Terminal.h"

#include <cstdio>
#include <string>

namespace {
constexpr int kBarWidth = 30;
}

ProgressBar::ProgressBar(std::size_t total) : m_total(total), m_enabled(IsEscapeTerminal(ConsoleStream::Error)) { }

void ProgressBar::Update(std::size_t done, bool force)
{
    if (!m_enabled) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (!force && m_drawn && now - m_lastDraw < std::chrono::milliseconds(100)) {
        return;
    }
    m_lastDraw = now;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    const int filled = m_total > 0 ? static_cast<int>(done * kBarWidth / m_total) : kBarWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kBarWidth, '-');
    std::fprintf(stderr, "\r[%s] %zu/%zu  %.1f/s\033[K", bar.c_str(), done, m_total, rate);
    std::fflush(stderr);
    m_drawn = true;
}

void ProgressBar::Clear()
{
    if (m_enabled && m_drawn) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        m_drawn = false;
    }
}
