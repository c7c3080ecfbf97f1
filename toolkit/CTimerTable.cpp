#include "toolkit/CTimerTable.h"

#include <algorithm>

void CTimerTable::Set(
    CPaintManagerUI* manager, CControlUI* control, std::uint32_t id, std::uint32_t intervalMs, std::uint64_t now)
{
    Kill(control, id);
    m_entries.push_back(Entry{manager, control, id, intervalMs, now + intervalMs, m_nextSequence++});
}

bool CTimerTable::Kill(CControlUI* control, std::uint32_t id)
{
    const auto at = std::find_if(
        m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.control == control && e.id == id; });
    if (at == m_entries.end())
        return false;
    m_entries.erase(at);
    return true;
}

bool CTimerTable::KillControl(CControlUI* control)
{
    return std::erase_if(m_entries, [&](const Entry& e) { return e.control == control; }) > 0;
}

void CTimerTable::KillManager(CPaintManagerUI* manager)
{
    std::erase_if(m_entries, [&](const Entry& e) { return e.manager == manager; });
}

std::optional<std::uint64_t> CTimerTable::NextDue() const
{
    if (m_entries.empty())
        return std::nullopt;
    std::uint64_t due = m_entries.front().due;
    for (const Entry& e : m_entries)
        due = std::min(due, e.due);
    return due;
}

std::optional<CTimerTable::Entry> CTimerTable::TakeDue(std::uint64_t now)
{
    Entry* first = nullptr;
    for (Entry& e : m_entries) {
        if (e.due > now)
            continue;
        if (!first || e.due < first->due || (e.due == first->due && e.sequence < first->sequence))
            first = &e;
    }
    if (!first)
        return std::nullopt;
    const Entry fired = *first;
    first->due += first->intervalMs;
    if (first->due <= now)
        first->due = now + first->intervalMs; // a late wake doesn't burst
    first->sequence = m_nextSequence++;
    return fired;
}
