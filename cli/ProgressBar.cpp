#include "cli/ProgressBar.h"

#include "cli/Terminal.h"

#include <cstdio>
#include <string>

namespace {
constexpr int kBarWidth = 30;
}

ProgressBar::ProgressBar(std::size_t total) : total_(total), enabled_(IsEscapeTerminal(ConsoleStream::Error)) {}

void ProgressBar::Update(std::size_t done, bool force) {
    if (!enabled_) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (!force && drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) {
        return;
    }
    lastDraw_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    const int filled = total_ > 0 ? static_cast<int>(done * kBarWidth / total_) : kBarWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kBarWidth, '-');
    std::fprintf(stderr, "\r[%s] %zu/%zu  %.1f/s\033[K", bar.c_str(), done, total_, rate);
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::Clear() {
    if (enabled_ && drawn_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        drawn_ = false;
    }
}
