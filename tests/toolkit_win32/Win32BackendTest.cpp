// The Win32 backend with real windows: what it does with them, their loops and timers, and input
// posted to them as the window system would deliver it.

#include "toolkit/win32/Win32Backend.h"
#include "platform/TextEncoding.h"
#include "support/BackendWindowTest.h"
#include "toolkit/win32/Win32WebHost.h"

namespace {

class Win32BackendTest : public BackendWindowTest {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetBackend(&m_backend);
        WriteWindowSkin(R"(<WebBrowser name="web" height="60" url="about:blank"/>)");
        CPaintManagerUI::SetResourcePath(CDuiString(TextOf(m_temp.path) + "\\"));
        CPaintManagerUI::SetResourceZip("");
    }
    void TearDown() override
    {
        BackendWindowTest::TearDown();
        CPaintManagerUI::SetBackend(nullptr);
    }

    bool WaitFor(const std::function<bool()>& done, int milliseconds = 2000) override
    {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        while (!done()) {
            if (GetTickCount64() > end)
                return false;
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(1);
        }
        return true;
    }
    void Settle() override
    {
        WaitFor([] {
            MSG message;
            return !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        });
        m_backend.FlushUpdates();
    }
    // Posted as the window system posts them.
    void Click(const char* name)
    {
        const UIRect pos = Control(name).GetPos();
        const LPARAM at = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        PostMessageW(Top(), WM_MOUSEMOVE, 0, at);
        PostMessageW(Top(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(Top(), WM_LBUTTONUP, 0, at);
        Settle();
    }
    // Posted to the window with the keyboard focus; Shift is held for Backtab.
    void Press(Key key)
    {
        const WPARAM keys[] = {VK_TAB, VK_TAB, VK_SPACE, VK_RETURN};
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_SHIFT] = key == Key::Backtab ? 0x80 : 0;
        SetKeyboardState(state);
        HWND focused = GetFocus();
        PostMessageW(
            focused == Top() || IsChild(Top(), focused) ? focused : Top(), WM_KEYDOWN, keys[static_cast<int>(key)], 1);
        Settle();
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
    }
    void Type(CControlUI& edit, const std::string& text)
    {
        SetWindowTextW(m_backend.EditOf(edit), Utf8ToWide(text.c_str()).c_str());
    }
    std::string Shown(CControlUI& edit)
    {
        wchar_t shown[64] = {};
        GetWindowTextW(m_backend.EditOf(edit), shown, 64);
        return WideToUtf8(shown);
    }
    bool HasKeyboard(CControlUI& edit) { return GetFocus() != nullptr && GetFocus() == m_backend.EditOf(edit); }
    // The backend paints the tree's state.
    bool LooksSelected(COptionUI& option) { return option.IsSelected(); }
    void CloseByWindowSystem(RecordingWindow& window)
    {
        PostMessageW(Win32Backend::WindowHandle(window.GetHWND()), WM_CLOSE, 0, 0);
    }
    std::function<bool()> NativeWindowGone(RecordingWindow& window)
    {
        return [handle = Win32Backend::WindowHandle(window.GetHWND())] { return !IsWindow(handle); };
    }
    bool MainTakesInput() { return IsWindowEnabled(Top()); }
    // An EDIT cannot be clipped to the list's view: edits the view cuts have none.
    static constexpr bool kCutEditsHaveFields = false;
    // The EDIT fills the inside of the edit's border and text padding, which the rows' edits lack.
    std::optional<UIRect> NativePlace(CControlUI& edit)
    {
        HWND field = m_backend.EditOf(edit);
        return field ? std::optional(PlaceOf(field)) : std::nullopt;
    }
    int NativeFieldsIn(CListUI& list)
    {
        int count = 0;
        for (HWND child = GetWindow(Top(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            count += IsWindowVisible(child) && list.GetViewRect().Intersects(PlaceOf(child));
        return count;
    }
    // Three wheel notches away from the user scroll 180 pixels down; then the scroll bar's thumb
    // is dragged to the end.
    void ScrollFarDownByUser(CListUI& list)
    {
        const UIRect view = list.GetViewRect();
        POINT inside{view.left + 10, view.top + 10};
        ClientToScreen(Top(), &inside);
        PostMessageW(
            Top(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA)), MAKELPARAM(inside.x, inside.y));
        Settle();
        EXPECT_EQ(list.GetScrollPos().cy, 180);
        const int thumbX = view.right - 6;
        PostMessageW(Top(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumbX, view.top + 5));
        PostMessageW(Top(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(thumbX, view.bottom + 50));
        PostMessageW(Top(), WM_LBUTTONUP, 0, MAKELPARAM(thumbX, view.bottom + 50));
        Settle();
        EXPECT_EQ(list.GetScrollPos().cy, list.GetScrollRange().cy);
    }

    HWND Top() const { return Win32Backend::WindowHandle(m_window->GetHWND()); }
    // Where a child window is, in the window's coordinates.
    UIRect PlaceOf(HWND child) const
    {
        RECT placed{};
        GetWindowRect(child, &placed);
        MapWindowPoints(nullptr, Top(), reinterpret_cast<POINT*>(&placed), 2);
        return UIRect(placed.left, placed.top, placed.right, placed.bottom);
    }

    Win32Backend m_backend;
};

#define BACKEND_WINDOW_TEST Win32BackendTest
#include "support/BackendWindowCases.h"

TEST_F(Win32BackendTest, ASecondBackendIsRefusedItsWindowClassSaysWhyAndLeavesTheFirstOneWorking)
{
    testing::internal::CaptureStderr();
    {
        Win32Backend second; // the first one holds the class name in this process
        EXPECT_NE(second.StartFailure().find("RegisterClassExW(KelpmereWindow) failed"), std::string::npos)
            << second.StartFailure();
        EXPECT_NE(second.StartFailure().find("(error 1410)"), std::string::npos) << second.StartFailure();
        RecordingWindow refused("Window.xml");
        EXPECT_EQ(second.CreateNativeWindow(refused, nullptr, "", 0, 0, {0, 0, 9, 9}), nullptr);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("kelpmere: RegisterClassExW(KelpmereWindow) failed"), std::string::npos) << said;
    Open(); // the first backend's class is still registered
    Click("btn_ok");
    EXPECT_EQ(Count("click:btn_ok"), 1u);
}

TEST_F(Win32BackendTest, TheWindowFadesByItsLayerAndDragsByItsCaptionStrip)
{
    Open();
    for (int alpha : {0, 85, 170, 255}) {
        SCOPED_TRACE(alpha);
        m_window->SetOpacity(alpha);
        BYTE read = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(Top(), nullptr, &read, &flags));
        EXPECT_EQ(read, alpha);
        EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
    }
    // The caption strip drags the window, but not from its buttons.
    RECT frame{};
    GetWindowRect(Top(), &frame);
    const auto hit
        = [&](int x, int y) { return SendMessageW(Top(), WM_NCHITTEST, 0, MAKELPARAM(frame.left + x, frame.top + y)); };
    const UIRect button = Control("btn_ok").GetPos();
    EXPECT_EQ(hit(5, 5), HTCAPTION);
    EXPECT_EQ(hit(button.left + 5, button.top + 5), HTCLIENT);
    EXPECT_EQ(hit(5, 100), HTCLIENT);
}

TEST_F(Win32BackendTest, AWebPaneWithoutAnEngineShowsItsNoteAndStaysWhileHidden)
{
    if (Win32WebHost::EngineAvailable())
        GTEST_SKIP() << "this system has an HTML engine";
    Open();
    HWND pane = m_backend.WebPaneOf(Control("web"));
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(IsWindowVisible(pane));
    EXPECT_EQ(PlaceOf(pane), Control("web").GetPos());
    Control("web").SetVisible(false);
    Settle();
    EXPECT_EQ(m_backend.WebPaneOf(Control("web")), pane); // the page stays loaded
    EXPECT_FALSE(IsWindowVisible(pane));
    Click("btn_ok");
    EXPECT_EQ(Count("click:btn_ok"), 1u);
}

} // namespace
