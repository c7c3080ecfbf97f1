// The program's main window on the Win32 backend: each tab as the backend paints it, saved as
// a picture under <build>/screenshots for a person to look at beside the Qt backend's.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/WorkingFolder.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/win32/Win32Backend.h"

#include <gtest/gtest.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

// PNG's encoder in GDI+.
const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// How many different colours a picture holds, sampled on a grid.
std::size_t ColoursIn(Gdiplus::Bitmap& picture)
{
    std::set<Gdiplus::ARGB> colours;
    for (UINT y = 0; y < picture.GetHeight(); y += 7) {
        for (UINT x = 0; x < picture.GetWidth(); x += 7) {
            Gdiplus::Color colour;
            picture.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &colour);
            colours.insert(colour.GetValue());
        }
    }
    return colours.size();
}

// At the screen's DPI the window covers the skin's 800 x 600 scaled (1200 x 900 at 144 DPI);
// `make test-windows` runs this once more at 144 DPI.
TEST(MainWindowWin32Test, TheWindowIsSizedForTheScreensDpi)
{
    Win32Backend backend;
    CPaintManagerUI::SetBackend(&backend);
    WorkingFolder work;
    SetUpToolkit(nullptr, CDuiString((fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string()));
    CMainFrameWnd* frame = CreateMainFrame();
    ASSERT_NE(frame, nullptr);
    HWND window = Win32Backend::WindowHandle(frame->GetHWND());
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 800 * dpi / 96);
    EXPECT_EQ(client.bottom, 600 * dpi / 96);
    // The tree keeps its own units.
    EXPECT_EQ(frame->GetPaintManager()->GetRoot()->GetPos().right, 800);
    HBITMAP bitmap = backend.PaintWindowBitmap(frame->GetHWND());
    ASSERT_NE(bitmap, nullptr);
    {
        Gdiplus::Bitmap picture(bitmap, nullptr);
        EXPECT_EQ(picture.GetWidth(), static_cast<UINT>(800 * dpi / 96));
        const fs::path folder = fs::path(KELPMERE_TEST_BINARY_DIR) / "screenshots";
        fs::create_directories(folder);
        const std::wstring file = (folder / ("main-" + std::to_string(dpi) + "dpi.png")).wstring();
        EXPECT_EQ(picture.Save(file.c_str(), &kPngEncoder, nullptr), Gdiplus::Ok);
    }
    DeleteObject(bitmap);
    frame->Close(0);
    CPaintManagerUI::MessageLoop();
    CPaintManagerUI::SetBackend(nullptr);
}

TEST(MainWindowWin32Test, EveryTabIsPaintedWithItsControls)
{
    Win32Backend backend;
    CPaintManagerUI::SetBackend(&backend);
    WorkingFolder work;
    work.CopyAdPictures();
    SetUpToolkit(nullptr, CDuiString((fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string()));
    CMainFrameWnd* frame = CreateMainFrame();
    ASSERT_NE(frame, nullptr);
    frame->OpenTorrentFile((fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples" / "multi-file.torrent").string());

    const fs::path folder = fs::path(KELPMERE_TEST_BINARY_DIR) / "screenshots";
    fs::create_directories(folder);
    for (const char* option : {"adOption", "singleOption", "batchOption", "searchOption"}) {
        SCOPED_TRACE(option);
        auto* button = frame->GetPaintManager()->FindControl<COptionUI>(option);
        ASSERT_NE(button, nullptr);
        button->Activate();
        HBITMAP bitmap = backend.PaintWindowBitmap(frame->GetHWND());
        ASSERT_NE(bitmap, nullptr);
        {
            Gdiplus::Bitmap picture(bitmap, nullptr);
            EXPECT_EQ(picture.GetWidth(), 800u);
            EXPECT_EQ(picture.GetHeight(), 600u);
            // The caption, the tab strip and the page's own controls: many colours, never a blank.
            EXPECT_GT(ColoursIn(picture), 8u);
            const std::wstring file = (folder / (std::string(option) + ".png")).wstring();
            EXPECT_EQ(picture.Save(file.c_str(), &kPngEncoder, nullptr), Gdiplus::Ok);
        }
        DeleteObject(bitmap);
    }
    frame->Close(0);
    CPaintManagerUI::MessageLoop();
    CPaintManagerUI::SetBackend(nullptr);
}

} // namespace
