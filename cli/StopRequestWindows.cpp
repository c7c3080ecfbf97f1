#include "cli/StopRequest.h"

#include <atomic>

#include <windows.h>

namespace {

// The console event that asked for the stop, -1 before.
std::atomic<long> g_event{-1};
// Set when the catcher goes: a handler for the console closing holds the process until then.
HANDLE g_released = nullptr;

BOOL WINAPI RecordStop(DWORD event)
{
    long none = -1;
    g_event.compare_exchange_strong(none, static_cast<long>(event));
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The system ends the process as soon as this returns (or a few seconds after it was
        // called): wait for the run to have finished the torrents in hand.
        WaitForSingleObject(g_released, INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

StopRequestCatcher::StopRequestCatcher()
{
    // Made once and kept: a handler may still be on its way out of the wait when a catcher goes.
    if (g_released == nullptr) {
        g_released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    } else {
        ResetEvent(g_released);
    }
    SetConsoleCtrlHandler(RecordStop, TRUE);
}

StopRequestCatcher::~StopRequestCatcher()
{
    SetEvent(g_released);
    SetConsoleCtrlHandler(RecordStop, FALSE);
}

int StopRequest()
{
    switch (g_event.load()) {
    case -1:
        return 0;
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return 130;
    default:
        return 143;
    }
}

const char* StopRequestName()
{
    switch (g_event.load()) {
    case CTRL_C_EVENT:
        return "Ctrl-C";
    case CTRL_BREAK_EVENT:
        return "Ctrl-Break";
    case CTRL_CLOSE_EVENT:
        return "the console closing";
    case CTRL_LOGOFF_EVENT:
        return "logging off";
    case CTRL_SHUTDOWN_EVENT:
        return "shutting down";
    default:
        return "";
    }
}
