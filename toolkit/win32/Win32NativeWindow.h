#pragma once

#include "toolkit/UIDefs.h"
#include "toolkit/win32/Win32AccessibleWindow.h"
#include "toolkit/win32/Win32Backend.h"
#include "toolkit/win32/Win32EditMirror.h"
#include "toolkit/win32/Win32Scale.h"
#include "toolkit/win32/Win32WebMirror.h"
#include "toolkit/win32/Win32WindowInput.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

class CWindowWnd;

// A modal loop in progress: the window's destruction hands over the result and ends it.
struct Win32ModalState {
    int result = 0;
    bool done = false;
    std::vector<HWND> disabled; // windows that take no input while the modal window is open
};

struct Win32IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Win32Icon = std::unique_ptr<std::remove_pointer_t<HICON>, Win32IconDeleter>;

// The native window of one CWindowWnd: its HWND and the state of closing. The backend owns it;
// the core only sees it as a UIWindowHandle.
class Win32NativeWindow final : public INativeWindow {
public:
    Win32NativeWindow(std::uint64_t serial, CWindowWnd& owner, Win32NativeWindow* parent)
            : serial(serial), window(&owner), parent(parent)
    {
    }

    Win32Backend::Impl* backend = nullptr; // the backend's own state, for the window procedure
    std::uint64_t serial = 0;              // never reused, unlike the object's address
    CWindowWnd* window = nullptr;
    Win32NativeWindow* parent = nullptr;
    HWND hwnd = nullptr;
    Win32ModalState* modal = nullptr; // set while a modal loop of this window runs
    UISize reportedSize;              // last client size told to the window
    Win32Icon icon;
    std::unique_ptr<Win32EditMirror> edits; // made with the HWND
    std::unique_ptr<Win32WindowInput> input;
    std::unique_ptr<Win32WebMirror> webs;
    std::unique_ptr<Win32AccessibleWindow> accessible;
    Win32Scale scale; // the window's DPI against 96
    int opacity = 255;
    int result = 0;
    bool closing = false;
    bool dirty = false; // the tree changed since the last paint
};
