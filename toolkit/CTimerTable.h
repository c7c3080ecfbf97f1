#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

class CControlUI;
class CPaintManagerUI;

// The running toolkit timers of all windows. Each (control, id) pair runs at most once; timers
// fire in order of due time, ties in order of (re-)arming.
class CTimerTable {
public:
    // The milliseconds from nowMs until dueMs, for a system timer: 0 when it is due already, at
    // most the largest wait a 32-bit timer takes.
    static int WaitMs(std::uint64_t dueMs, std::uint64_t nowMs)
    {
        return static_cast<int>(std::min<std::uint64_t>(dueMs > nowMs ? dueMs - nowMs : 0, 0x7FFFFFFF));
    }

    struct Entry {
        CPaintManagerUI* manager = nullptr;
        CControlUI* control = nullptr;
        std::uint32_t id = 0;
        std::uint32_t intervalMs = 0;
        std::uint64_t due = 0;
        std::uint64_t sequence = 0;
    };

    // Starts or restarts a timer due at now + interval.
    void Set(
        CPaintManagerUI* manager, CControlUI* control, std::uint32_t id, std::uint32_t intervalMs, std::uint64_t now);
    bool Kill(CControlUI* control, std::uint32_t id);
    bool KillControl(CControlUI* control); // false when it had none
    void KillManager(CPaintManagerUI* manager);
    std::optional<std::uint64_t> NextDue() const;
    // Takes the earliest timer due at or before now and re-arms it for its next period
    // (never at or before now); the copy says whom to notify.
    std::optional<Entry> TakeDue(std::uint64_t now);
    bool IsEmpty() const { return m_entries.empty(); }

private:
    std::vector<Entry> m_entries;
    std::uint64_t m_nextSequence = 0;
};
