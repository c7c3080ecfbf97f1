#pragma once

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWindowWnd.h"
#include "toolkit/UIDefs.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

// The native windows a backend keeps, found by handle, by serial (a posted close names its
// window by serial, since an address may be reused) and by paint manager. Native is the
// backend's window object, with the fields `serial`, `window` (its CWindowWnd), `parent` (the
// owning native window or null) and `dirty` (the tree changed since the last mirror pass).
template <typename Native>
class NativeWindowTable {
public:
    Native* Add(std::unique_ptr<Native> native)
    {
        m_windows.push_back(std::move(native));
        return m_windows.back().get();
    }
    // Drops native (the object goes with it).
    void Erase(const Native* native)
    {
        auto it = std::find_if(
            m_windows.begin(), m_windows.end(), [native](const auto& window) { return window.get() == native; });
        if (it != m_windows.end())
            m_windows.erase(it);
    }

    Native* Find(UIWindowHandle handle) const
    {
        for (const auto& window : m_windows) {
            if (handle != nullptr && window.get() == handle)
                return window.get();
        }
        return nullptr;
    }
    Native* FindBySerial(std::uint64_t serial) const
    {
        for (const auto& window : m_windows) {
            if (window->serial == serial)
                return window.get();
        }
        return nullptr;
    }
    Native* FindByManager(const CPaintManagerUI& manager) const
    {
        if (Native* native = Find(manager.GetPaintWindowHandle()))
            return native;
        for (const auto& window : m_windows) {
            if (window->window != nullptr && window->window->GetPaintManager() == &manager)
                return window.get();
        }
        return nullptr;
    }
    // A window that owner owns, or null: owned windows are torn down before their owner.
    Native* FirstOwnedBy(const Native* owner) const
    {
        for (const auto& window : m_windows) {
            if (window->parent == owner)
                return window.get();
        }
        return nullptr;
    }
    // The windows whose trees changed, as a list of their own: a mirror pass may run
    // notifications that close or add windows.
    std::vector<Native*> Dirty() const
    {
        std::vector<Native*> dirty;
        for (const auto& window : m_windows) {
            if (window->dirty)
                dirty.push_back(window.get());
        }
        return dirty;
    }
    // The first window without owner, or null when there are none left.
    Native* TopLevel() const
    {
        if (m_windows.empty())
            return nullptr;
        Native* native = m_windows.front().get();
        while (native->parent != nullptr)
            native = native->parent;
        return native;
    }

    // Destroys native as the window system does: the windows it owns first, each told when it
    // is gone (CWindowWnd::HandleNativeDestroyed, after which the object may delete itself);
    // release(window) lets the backend end the window's modal loop and free its native parts.
    // Does nothing for a window no longer in the table. True when the last window went: while
    // the program waits for input, nothing could ever end its loop any more, so the backend
    // ends it the way closing the main window does.
    template <typename Release>
    bool Destroy(Native* native, const Release& release)
    {
        if (Find(native) == nullptr)
            return false;
        CWindowWnd* window = native->window;
        TearDown(native, release);
        window->HandleNativeDestroyed();
        return Empty();
    }
    // native's client area is now size (in the tree's units): its window is told once per
    // change, not while it closes. True when it was told (the tree wants a new layout).
    static bool ReportClientSize(Native& native, UISize size)
    {
        if (native.reportedSize == size || native.closing)
            return false;
        native.reportedSize = size;
        native.window->HandleNativeResized(size);
        return true;
    }
    // Everything of Destroy except telling native's window object (which is being deleted).
    template <typename Release>
    void TearDown(Native* native, const Release& release)
    {
        while (Native* owned = FirstOwnedBy(native)) {
            owned->closing = true;
            Destroy(owned, release);
        }
        native->closing = true;
        release(*native);
        Erase(native);
    }

    bool Empty() const { return m_windows.empty(); }
    auto begin() const { return m_windows.begin(); }
    auto end() const { return m_windows.end(); }

private:
    std::vector<std::unique_ptr<Native>> m_windows;
};
