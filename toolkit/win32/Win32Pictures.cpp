#include "toolkit/win32/Win32Pictures.h"

#include "toolkit/BackendFailure.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/win32/GdiPlus.h"

#include <shlwapi.h>

Win32Pictures::Win32Pictures()
{
    // GDI+ runs on this thread's messages rather than on a thread of its own, which would
    // otherwise hold up the shutdown.
    Gdiplus::GdiplusStartupInput input;
    input.SuppressBackgroundThread = TRUE;
    Gdiplus::GdiplusStartupOutput output{};
    if (Gdiplus::GdiplusStartup(&m_token, &input, &output) == Gdiplus::Ok && output.NotificationHook != nullptr)
        output.NotificationHook(&m_hookToken);
    m_unhook = output.NotificationUnhook;
}

Win32Pictures::~Win32Pictures()
{
    m_pictures.clear();
    if (m_unhook != nullptr)
        m_unhook(m_hookToken);
    Gdiplus::GdiplusShutdown(m_token);
}

Gdiplus::Bitmap* Win32Pictures::Picture(const std::string& name)
{
    if (name.empty())
        return nullptr;
    auto found = m_pictures.find(name);
    if (found != m_pictures.end())
        return found->second.get();
    std::unique_ptr<Gdiplus::Bitmap> picture;
    if (const std::optional<std::string> bytes = CPaintManagerUI::LoadResourceFile(name)) {
        IStream* stream
            = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes->data()), static_cast<UINT>(bytes->size()));
        if (stream != nullptr) {
            picture.reset(Gdiplus::Bitmap::FromStream(stream));
            stream->Release();
            if (picture && picture->GetLastStatus() != Gdiplus::Ok)
                picture.reset();
        }
        if (!picture)
            ReportBackendFailure("the skin's picture \"" + name + "\" could not be decoded");
    } else {
        ReportBackendFailure("the skin has no picture \"" + name + "\"");
    }
    return m_pictures.emplace(name, std::move(picture)).first->second.get();
}

HICON Win32Pictures::Icon(const std::string& name)
{
    Gdiplus::Bitmap* picture = Picture(name);
    HICON icon = nullptr;
    if (picture == nullptr || picture->GetHICON(&icon) != Gdiplus::Ok)
        return nullptr;
    return icon;
}
