#pragma once

#include <windows.h>

#include <utility>

// Owners of GDI handles, so that every path out of a painting function gives back what it took:
// an object (brush, bitmap, font) deleted, a memory device context deleted, an object selected
// into a context for a scope, a context's state saved for a scope.

template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : m_handle(handle) { }
    ~GdiObject()
    {
        if (m_handle != nullptr)
            DeleteObject(m_handle);
    }
    GdiObject(GdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) { }
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return m_handle; }
    // Hands the handle to the caller, who deletes it.
    Handle Release() { return std::exchange(m_handle, nullptr); }

private:
    Handle m_handle;
};

class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) { }
    ~MemoryDC()
    {
        if (m_dc != nullptr)
            DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) { }
    ~SelectedObject() { SelectObject(m_dc, m_previous); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

class SavedDCState {
public:
    explicit SavedDCState(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) { }
    ~SavedDCState() { RestoreDC(m_dc, m_saved); }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

private:
    HDC m_dc;
    int m_saved;
};
