// The program's main window on the Win32 backend: each tab as the backend paints it, saved as a picture under
// <build>/screenshots for a person to look at beside the Qt backend's; and the window read as a screen reader reads it,
// through its MSAA client object from AccessibleObjectFromWindow (what Windows' UI Automation proxy serves to UIA
// clients too), with the checks of the Qt backend's (accessible/AccessibleChecks.h).

#include "accessible/AccessibleChecks.h"
#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "platform/TextEncoding.h"
#include "support/TempFolder.h"
#include "support/WorkingFolder.h"
#include "toolkit/CEditUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/win32/GdiPlus.h"
#include "toolkit/win32/Win32Backend.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

using namespace accessible;

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

VARIANT Child(long id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A text property of child id (CHILDID_SELF: the object itself) read with get, in UTF-8; empty when there is none.
std::string TextOf(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id)
{
    BSTR text = nullptr;
    std::string taken = SUCCEEDED((object.*get)(Child(id), &text)) && text ? WideToUtf8(text) : std::string();
    SysFreeString(text);
    return taken;
}

// The MSAA client object of a window, as a screen reader gets it; null when the window gave none.
IAccessible* ClientObjectOf(HWND window)
{
    void* object = nullptr; // stays null when the call fails
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), &object);
    return static_cast<IAccessible*>(object);
}

// Serves the window's queue (presses asked for by a client come through it) and mirrors the tree.
void Settle(Win32Backend& backend)
{
    for (int round = 0; round < 3; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        backend.FlushUpdates();
    }
}

// The program's main window on the Win32 backend with the packed skins, closed after the test; read as a screen reader
// reads it once Client() has given its MSAA object.
class MainWindowWin32Test : public ::testing::Test, public Reader {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CPaintManagerUI::SetBackend(&backend);
        work.CopyAdPictures();
        SetUpToolkit(nullptr, CDuiString((fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string()));
        frame = CreateMainFrame();
        ASSERT_NE(frame, nullptr);
        hwnd = Win32Backend::WindowHandle(frame->GetHWND());
    }
    void TearDown() override
    {
        if (client)
            client->Release();
        if (frame != nullptr) {
            frame->Close(0);
            CPaintManagerUI::MessageLoop();
        }
        CPaintManagerUI::SetBackend(nullptr);
        CoUninitialize();
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

    void ShowTab(const char* option)
    {
        frame->GetPaintManager()->FindControl<COptionUI>(option)->Activate();
        Settle(backend);
    }
    // The window's MSAA client object, once the window has settled.
    IAccessible* Client()
    {
        if (!client)
            client = ClientObjectOf(hwnd);
        Settle(backend);
        return client;
    }

    // The children of the window's client object, with MSAA's roles named as AT-SPI names them, read after the
    // window's queue was served.
    Snapshot Read(const std::function<bool(const Snapshot&)>&) override
    {
        static const std::map<long, std::string> roles{{ROLE_SYSTEM_PAGETAB, "page tab"},
            {ROLE_SYSTEM_PUSHBUTTON, "push button"}, {ROLE_SYSTEM_TEXT, "text"}, {ROLE_SYSTEM_LIST, "list"},
            {ROLE_SYSTEM_LISTITEM, "list item"}, {ROLE_SYSTEM_STATICTEXT, "label"},
            {ROLE_SYSTEM_PROGRESSBAR, "progress bar"}};
        Settle(backend);
        VARIANT focus;
        const bool hasFocus = client->get_accFocus(&focus) == S_OK && focus.vt == VT_I4;
        long count = 0;
        client->get_accChildCount(&count);
        children.clear();
        for (long id = 1; id <= count; ++id) {
            Element& child = children.emplace_back();
            child.id = std::to_string(id);
            VARIANT role;
            VARIANT state;
            if (SUCCEEDED(client->get_accRole(Child(id), &role)) && role.vt == VT_I4 && roles.count(role.lVal))
                child.role = roles.at(role.lVal);
            if (SUCCEEDED(client->get_accState(Child(id), &state)) && state.vt == VT_I4) {
                child.selected = (state.lVal & STATE_SYSTEM_SELECTED) != 0;
                child.focusable
                    = (state.lVal & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE)) == STATE_SYSTEM_FOCUSABLE;
            }
            child.focused = hasFocus && focus.lVal == id;
            child.name = TextOf(*client, &IAccessible::get_accName, id);
            child.value = TextOf(*client, &IAccessible::get_accValue, id);
            child.description = TextOf(*client, &IAccessible::get_accDescription, id);
            child.action = TextOf(*client, &IAccessible::get_accDefaultAction, id);
        }
        return children;
    }
    bool Press(const std::string& name) override
    {
        const Element* button = Find(children, "push button", name);
        return button && client->accDoDefaultAction(Child(std::stol(button->id))) == S_OK;
    }
    bool SetText(const std::string& name, const std::string& text) override
    {
        const Element* edit = Find(children, "text", name);
        BSTR value = SysAllocString(Utf8ToWide(text.c_str()).c_str());
        const bool done = edit && client->put_accValue(Child(std::stol(edit->id)), value) == S_OK;
        SysFreeString(value);
        return done;
    }
    void Tab() override { SendMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0); }

    Win32Backend backend;
    WorkingFolder work;
    CMainFrameWnd* frame = nullptr;
    HWND hwnd = nullptr;
    IAccessible* client = nullptr;
    Snapshot children;
};
using AccessibleWindowWin32Test = MainWindowWin32Test;

// At the screen's DPI the window covers the skin's 800 x 600 scaled (1200 x 900 at 144 DPI) while
// the tree keeps its own units; `make test-windows` runs this once more at 144 DPI.
TEST_F(MainWindowWin32Test, TheWindowIsSizedForTheScreensDpi)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const UISize pixels{800 * dpi / 96, 600 * dpi / 96};
    RECT area{};
    GetClientRect(hwnd, &area);
    EXPECT_EQ((UISize{area.right, area.bottom}), pixels);
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

TEST_F(AccessibleWindowWin32Test, TheSinglePageTellsItsTabsButtonsLabelledEditAndRowsAndTakesPressesAndTab)
{
    TempFolder temp;
    WriteThreeFileTorrent(temp.path / "three.torrent");
    ShowTab("singleOption");
    frame->OpenTorrentFile((temp.path / "three.torrent").string());
    Settle(backend);

    // The native EDIT over the torrent-name edit keeps the system's own object, named by its label where the system
    // takes names given to a window (Windows does; Wine 8 keeps none).
    CEditUI* edit = frame->GetPaintManager()->FindControl<CEditUI>("edit_single_name");
    ASSERT_NE(edit, nullptr);
    if (HWND native = backend.EditOf(*edit)) {
        IAccessible* own = ClientObjectOf(native);
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(TextOf(*own, &IAccessible::get_accValue, CHILDID_SELF), "Show");
        const std::string ownName = TextOf(*own, &IAccessible::get_accName, CHILDID_SELF);
        own->Release();
        if (ownName != "种子名称")
            std::printf("[ NOTE     ] this system keeps no name given to the EDIT window (it says \"%s\")\n",
                WideToAnsi(Utf8ToWide(ownName.c_str()).c_str()).c_str());
    }

    ASSERT_NE(Client(), nullptr);
    const Snapshot tree = Read({});
    for (const Element* button : WithRole(tree, "push button"))
        EXPECT_EQ(button->action, "Press") << button->name;
    ASSERT_NO_FATAL_FAILURE(CheckSinglePage(*this));
    // A value put into an edit is the tree's text, as if typed.
    EXPECT_EQ(frame->GetPaintManager()->FindControl<CEditUI>("edit_single_file1")->GetText().str(), "zeta.mkv");
    ASSERT_NO_FATAL_FAILURE(CheckTabOrder(*this, Read({})));
}

TEST_F(AccessibleWindowWin32Test, TheBatchPageTellsItsFoldersStartButtonAndProgress)
{
    ShowTab("batchOption");
    ASSERT_NE(Client(), nullptr);
    CheckBatchPage(Read({}), "", "", "1", "0/0");
}

TEST_F(AccessibleWindowWin32Test, AClientHoldingTheObjectAfterTheWindowWentIsToldItIsGone)
{
    ASSERT_NE(Client(), nullptr);
    frame->Close(0);
    CPaintManagerUI::MessageLoop();
    frame = nullptr;
    long count = -1;
    EXPECT_EQ(client->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

} // namespace
