// The Win32 backend with real windows: what it does with them, their loops and timers, and input
// posted to them as the window system would deliver it.

#include "toolkit/win32/Win32Backend.h"
#include "support/HundredThousandRows.h"
#include "support/RecordingWindow.h"
#include "support/TempFolder.h"
#include "toolkit/UIlib.h"
#include "toolkit/win32/Win32WebHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* const kWindowSkin = R"(<Window size="400,300" caption="0,0,0,30" focuscolor="#FFFF0000">
  <Font id="0" name="WenQuanYi Micro Hei" size="14"/>
  <VerticalLayout name="RootLayoutUI" bkcolor="#FFF0F0F0">
    <HorizontalLayout height="30" bkcolor="#FF203040">
      <Label text="标题" font="0" textcolor="#FFFFFFFF"/>
      <Button name="btn_ok" text="确定" width="60"/>
      <Button name="btn_off" text="关" width="40" enabled="false"/>
    </HorizontalLayout>
    <Edit name="edit_name" height="26" text="old"/>
    <Option name="opt_a" height="24" text="A" group="g" selected="true"/>
    <Option name="opt_b" height="24" text="B" group="g"/>
    <Container name="ListHostLayoutUI"/>
    <WebBrowser name="web" height="60" url="about:blank"/>
  </VerticalLayout>
</Window>)";

using TestWindow = RecordingWindow;

class Win32BackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetBackend(&m_backend);
        std::ofstream(m_temp.path / "Window.xml", std::ios::binary) << kWindowSkin;
        CPaintManagerUI::SetResourcePath(CDuiString(TextOf(m_temp.path) + "\\"));
        CPaintManagerUI::SetResourceZip("");
    }
    void TearDown() override
    {
        if (m_window != nullptr && m_record.finalMessages == 0) {
            m_window->Close(0);
            EXPECT_TRUE(PumpUntil([&] { return m_record.finalMessages > 0; }));
        }
        CPaintManagerUI::SetBackend(nullptr);
    }

    TestWindow& Open()
    {
        m_window = new TestWindow("Window.xml", m_record, "main");
        EXPECT_NE(m_window->Create(nullptr, "Test", kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
        m_backend.FlushUpdates();
        return *m_window;
    }
    TestWindow* OpenOwned(WindowRecord& record, const std::string& name)
    {
        auto* box = new TestWindow("Window.xml", record, name);
        EXPECT_NE(
            box->Create(m_window->GetHWND(), "", kWindowStylePopup | kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
        return box;
    }
    HWND Top() const { return Win32Backend::WindowHandle(m_window->GetHWND()); }
    CControlUI& Control(const char* name)
    {
        CControlUI* control = m_window->Manager().FindControl(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }

    // Serves the message queue until done() holds; false after two seconds.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
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
    void Settle()
    {
        PumpUntil([] {
            MSG message;
            return !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        });
        m_backend.FlushUpdates();
    }
    // A press and release of the left button at the middle of control, posted as the window
    // system posts them.
    void Click(const char* name)
    {
        const UIRect pos = Control(name).GetPos();
        const LPARAM at = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        PostMessageW(Top(), WM_MOUSEMOVE, 0, at);
        PostMessageW(Top(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(Top(), WM_LBUTTONUP, 0, at);
        Settle();
    }
    void Key(WPARAM key)
    {
        PostMessageW(Top(), WM_KEYDOWN, key, 1);
        Settle();
    }
    std::size_t Count(const std::string& note) const { return std::ranges::count(m_record.notes, note); }

    Win32Backend m_backend;
    TempFolder m_temp;
    TestWindow* m_window = nullptr;
    WindowRecord m_record;
};

TEST_F(Win32BackendTest, ClicksReachOnlyEnabledButtonsAndSelectOptions)
{
    Open();
    Click("btn_ok");
    Click("btn_off");
    Click("opt_b");
    EXPECT_EQ(Count("click:btn_ok"), 1u);
    EXPECT_EQ(Count("click:btn_off"), 0u);
    EXPECT_TRUE(static_cast<COptionUI&>(Control("opt_b")).IsSelected());
    EXPECT_FALSE(static_cast<COptionUI&>(Control("opt_a")).IsSelected());
}

TEST_F(Win32BackendTest, ASecondBackendIsRefusedItsWindowClassSaysWhyAndLeavesTheFirstOneWorking)
{
    testing::internal::CaptureStderr();
    {
        Win32Backend second; // the first one holds the class name in this process
        EXPECT_NE(second.StartFailure().find("RegisterClassExW(KelpmereWindow) failed"), std::string::npos)
            << second.StartFailure();
        EXPECT_NE(second.StartFailure().find("(error 1410)"), std::string::npos) << second.StartFailure();
        TestWindow refused("Window.xml", m_record);
        EXPECT_EQ(second.CreateNativeWindow(refused, nullptr, "", 0, 0, {0, 0, 9, 9}), nullptr);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("kelpmere: RegisterClassExW(KelpmereWindow) failed"), std::string::npos) << said;
    Open(); // the first backend's class is still registered
    Click("btn_ok");
    EXPECT_EQ(Count("click:btn_ok"), 1u);
}

TEST_F(Win32BackendTest, TabWalksTheControlsInTreeOrderAndSpaceClicksTheFocusedOne)
{
    Open();
    Key(VK_TAB); // btn_ok (btn_off is disabled)
    Key(VK_SPACE);
    EXPECT_EQ(Count("click:btn_ok"), 1u);
    Key(VK_TAB); // the edit: its EDIT takes the keyboard
    EXPECT_EQ(GetFocus(), m_backend.EditOf(Control("edit_name")));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1); // Tab leaves an EDIT too
    Settle();
    Key(VK_RETURN); // opt_a
    Key(VK_TAB);
    Key(VK_RETURN); // opt_b
    EXPECT_TRUE(static_cast<COptionUI&>(Control("opt_b")).IsSelected());
}

TEST_F(Win32BackendTest, TextTypedIntoAnEditReachesTheTreeAndTreeTextReachesTheEdit)
{
    Open();
    HWND edit = m_backend.EditOf(Control("edit_name"));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"新名");
    EXPECT_EQ(Control("edit_name").GetText(), CDuiString("新名"));
    EXPECT_EQ(Count("textchanged:edit_name"), 1u);
    Control("edit_name").SetText("from the tree");
    Settle();
    wchar_t shown[32] = {};
    GetWindowTextW(edit, shown, 32);
    EXPECT_STREQ(shown, L"from the tree");
    EXPECT_EQ(Count("textchanged:edit_name"), 1u);
}

TEST_F(Win32BackendTest, AHundredThousandRowListKeepsAScreenfulOfEditsAndTheTypedText)
{
    Open();
    const HundredThousandRows rows(static_cast<CContainerUI&>(Control("ListHostLayoutUI")), {30, 0, 26});
    CListUI* list = rows.list;
    Settle();
    const auto edits = [&] {
        int count = 0;
        for (HWND child = GetWindow(Top(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            count += IsWindowVisible(child) ? 1 : 0;
        return count;
    };
    ASSERT_NE(m_backend.EditOf(*rows.Edit(0)), nullptr);
    EXPECT_LE(edits(), list->GetViewRect().Height() / 30 + 3);
    SetWindowTextW(m_backend.EditOf(*rows.Edit(0)), L"新名");

    // Three wheel notches away from the user scroll 180 pixels down; then the scroll bar's
    // thumb is dragged to the end.
    const UIRect view = list->GetViewRect();
    POINT inside{view.left + 10, view.top + 10};
    ClientToScreen(Top(), &inside);
    PostMessageW(
        Top(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA)), MAKELPARAM(inside.x, inside.y));
    Settle();
    EXPECT_EQ(list->GetScrollPos().cy, 180);
    const UIRect thumbAt{view.right - 6, view.top + 5, 0, 0};
    PostMessageW(Top(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumbAt.left, thumbAt.top));
    PostMessageW(Top(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(thumbAt.left, view.bottom + 50));
    PostMessageW(Top(), WM_LBUTTONUP, 0, MAKELPARAM(thumbAt.left, view.bottom + 50));
    Settle();
    EXPECT_EQ(list->GetScrollPos().cy, list->GetScrollRange().cy);
    EXPECT_EQ(m_backend.EditOf(*rows.Edit(0)), nullptr);
    EXPECT_NE(m_backend.EditOf(*rows.Edit(99999)), nullptr);
    EXPECT_LE(edits(), list->GetViewRect().Height() / 30 + 3);

    list->SetScrollPos(UISize{0, 0});
    Settle();
    wchar_t shown[32] = {};
    GetWindowTextW(m_backend.EditOf(*rows.Edit(0)), shown, 32);
    EXPECT_STREQ(shown, L"新名");
}

TEST_F(Win32BackendTest, AModalLoopReturnsTheCloseResultAndItsTimersFireInsideIt)
{
    Open();
    WindowRecord boxRecord;
    TestWindow* box = OpenOwned(boxRecord, "box");
    int ticks = 0;
    bool ownerDisabled = false;
    box->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType != "timer" || ++ticks < 3)
            return;
        ownerDisabled = !IsWindowEnabled(Top());
        box->Close(7);
    };
    box->Manager().SetTimer(box->Manager().FindControl("btn_ok"), 1, 20);
    EXPECT_EQ(box->ShowModal(), 7);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(Top()));
    EXPECT_EQ(boxRecord.finalMessages, 1);
}

TEST_F(Win32BackendTest, TheWindowSystemsCloseEndsAWindowOnceWithZero)
{
    Open();
    WindowRecord boxRecord;
    TestWindow* box = OpenOwned(boxRecord, "box");
    HWND boxHandle = Win32Backend::WindowHandle(box->GetHWND());
    PostMessageW(boxHandle, WM_CLOSE, 0, 0);
    PostMessageW(boxHandle, WM_CLOSE, 0, 0);
    EXPECT_EQ(box->ShowModal(), 0);
    Settle();
    EXPECT_EQ(boxRecord.finalMessages, 1);
    EXPECT_FALSE(IsWindow(boxHandle));
    EXPECT_EQ(m_record.finalMessages, 0);
}

TEST_F(Win32BackendTest, ClosingAWindowEndsItsOwnedWindowsFirstAndTheLastOneEndsTheLoop)
{
    std::vector<std::string> finals;
    m_record.finals = &finals;
    Open();
    WindowRecord ownedRecord, deletedRecord;
    ownedRecord.finals = &finals;
    OpenOwned(ownedRecord, "owned");
    TestWindow* deleted = OpenOwned(deletedRecord, "deleted");
    HWND deletedHandle = Win32Backend::WindowHandle(deleted->GetHWND());
    delete deleted; // its native window goes at once, without a last call
    EXPECT_FALSE(IsWindow(deletedHandle));
    PostMessageW(Top(), WM_CLOSE, 0, 0);
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
    EXPECT_EQ(finals, (std::vector<std::string>{"owned", "main"}));
    EXPECT_EQ(deletedRecord.finalMessages, 0);
}

TEST_F(Win32BackendTest, TheFadingOpacityIsSetOnTheWindow)
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
}

TEST_F(Win32BackendTest, TheCaptionStripDragsTheWindowButNotFromItsButtons)
{
    Open();
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
    RECT placed{};
    GetWindowRect(pane, &placed);
    MapWindowPoints(nullptr, Top(), reinterpret_cast<POINT*>(&placed), 2);
    const UIRect pos = Control("web").GetPos();
    EXPECT_EQ(UIRect(placed.left, placed.top, placed.right, placed.bottom), pos);
    Control("web").SetVisible(false);
    Settle();
    EXPECT_EQ(m_backend.WebPaneOf(Control("web")), pane); // the page stays loaded
    EXPECT_FALSE(IsWindowVisible(pane));
    Click("btn_ok");
    EXPECT_EQ(Count("click:btn_ok"), 1u);
}

} // namespace
