// The program's main window on the Win32 backend: each tab as the backend paints it, saved as
// a picture under <build>/screenshots for a person to look at beside the Qt backend's.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/WorkingFolder.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/win32/GdiPlus.h"
#include "toolkit/win32/Win32Backend.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// The program's main window on the Win32 backend with the packed skins, closed after the test.
class MainWindowWin32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetBackend(&backend);
        work.CopyAdPictures();
        SetUpToolkit(nullptr, CDuiString((fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string()));
        frame = CreateMainFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        if (frame != nullptr) {
            frame->Close(0);
            CPaintManagerUI::MessageLoop();
        }
        CPaintManagerUI::SetBackend(nullptr);
    }
    // The window as the backend paints it, saved as <build>/screenshots/<name>.png; its colour
    // count (on a grid), or 0 when there was no picture.
    std::size_t Screenshot(const std::string& name, UISize expected)
    {
        HBITMAP bitmap = backend.PaintWindowBitmap(frame->GetHWND());
        if (bitmap == nullptr)
            return 0;
        Gdiplus::Bitmap picture(bitmap, nullptr);
        EXPECT_EQ(picture.GetWidth(), static_cast<UINT>(expected.cx));
        EXPECT_EQ(picture.GetHeight(), static_cast<UINT>(expected.cy));
        const fs::path folder = fs::path(KELPMERE_TEST_BINARY_DIR) / "screenshots";
        fs::create_directories(folder);
        EXPECT_EQ(picture.Save((folder / (name + ".png")).wstring().c_str(), &kPngEncoder, nullptr), Gdiplus::Ok);
        const std::size_t colours = ColoursIn(picture);
        DeleteObject(bitmap);
        return colours;
    }

    Win32Backend backend;
    WorkingFolder work;
    CMainFrameWnd* frame = nullptr;
};

// At the screen's DPI the window covers the skin's 800 x 600 scaled (1200 x 900 at 144 DPI) while
// the tree keeps its own units; `make test-windows` runs this once more at 144 DPI.
TEST_F(MainWindowWin32Test, TheWindowIsSizedForTheScreensDpi)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const UISize pixels{800 * dpi / 96, 600 * dpi / 96};
    RECT client{};
    GetClientRect(Win32Backend::WindowHandle(frame->GetHWND()), &client);
    EXPECT_EQ((UISize{client.right, client.bottom}), pixels);
    EXPECT_EQ(frame->GetPaintManager()->GetRoot()->GetPos().right, 800);
    EXPECT_GT(Screenshot("main-" + std::to_string(dpi) + "dpi", pixels), 0u);
}

TEST_F(MainWindowWin32Test, EveryTabIsPaintedWithItsControls)
{
    frame->OpenTorrentFile((fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples" / "multi-file.torrent").string());
    for (const char* option : {"adOption", "singleOption", "batchOption", "searchOption"}) {
        SCOPED_TRACE(option);
        auto* button = frame->GetPaintManager()->FindControl<COptionUI>(option);
        ASSERT_NE(button, nullptr);
        button->Activate();
        // The caption, the tab strip and the page's own controls: many colours, never a blank.
        EXPECT_GT(Screenshot(option, UISize{800, 600}), 8u);
    }
}

} // namespace
