#include "cli/StopRequest.h"

#include <atomic>
#include <csignal>
#include <iterator>

namespace {

// The signal asked for the stop, 0 before. Written by the handler, which may do no more than
// store to a lock-free atomic.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kCaught[] = {SIGINT, SIGTERM};
struct sigaction g_previous[std::size(kCaught)];

extern "C" void RecordStop(int signal)
{
    int none = 0;
    g_signal.compare_exchange_strong(none, signal);
}

} // namespace

StopRequestCatcher::StopRequestCatcher()
{
    struct sigaction action { };
    action.sa_handler = RecordStop;
    sigemptyset(&action.sa_mask);
    // Calls the handler cut short start again: no file operation of a save sees EINTR.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kCaught); ++i) {
        sigaction(kCaught[i], &action, &g_previous[i]);
        if (g_previous[i].sa_handler == SIG_IGN) {
            sigaction(kCaught[i], &g_previous[i], nullptr);
        }
    }
}

StopRequestCatcher::~StopRequestCatcher()
{
    for (std::size_t i = 0; i < std::size(kCaught); ++i) {
        sigaction(kCaught[i], &g_previous[i], nullptr);
    }
}

int StopRequest()
{
    const int signal = g_signal.load();
    return signal == 0 ? 0 : 128 + signal;
}

const char* StopRequestName()
{
    switch (g_signal.load()) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "";
    }
}
