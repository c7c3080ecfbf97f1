#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>

namespace Gdiplus {
class Bitmap;
}

// GDI+ for as long as the object lives, and the skin's pictures decoded once each (by name, from
// the skin archive or folder through CPaintManagerUI::LoadResourceFile).
class Win32Pictures {
public:
    Win32Pictures();
    ~Win32Pictures();
    Win32Pictures(const Win32Pictures&) = delete;
    Win32Pictures& operator=(const Win32Pictures&) = delete;

    // The picture called name; null when there is none or it can't be decoded.
    Gdiplus::Bitmap* Picture(const std::string& name);
    // A new icon made from the picture (the caller destroys it); null without a picture.
    HICON Icon(const std::string& name);

private:
    ULONG_PTR m_token = 0;
    ULONG_PTR m_hookToken = 0;
    void(WINAPI* m_unhook)(ULONG_PTR) = nullptr;
    std::unordered_map<std::string, std::unique_ptr<Gdiplus::Bitmap>> m_pictures;
};
