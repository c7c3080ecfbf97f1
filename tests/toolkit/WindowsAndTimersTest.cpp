// Windows, timers on the manual clock, modal loops and the message loop.

#include "ToolkitTestSupport.h"

using namespace toolkittest;

namespace {

class Windows : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        Write("Box.xml", R"(<Window size="300,400" caption="0,0,0,24">
            <VerticalLayout><Label name="TextUI"/><Button name="BtnClose" height="30"/></VerticalLayout></Window>)");
        window.Create(nullptr, "Kelpmere", 0x10CF0000, 0, 0, 0, 800, 600);
        window.Manager().AddNotifier(&log);
        text = window.Manager().FindControl("TextUI");
        close = window.Manager().FindControl("BtnClose");
    }

    RecordingWindow window{"Box.xml"};
    NotifyLog log;
    CControlUI* text = nullptr;
    CControlUI* close = nullptr;
};

} // namespace

TEST_F(Windows, CenterWindowCentresAWindowOfItsSkinsSizeOverItsOwnerOrTheScreen)
{
    RecordingWindow owned("NoSuchSkin.xml"); // no skin: the size given at creation, and an empty root
    ASSERT_NE(owned.Create(window.GetHWND(), "", 0, 0, 0, 0, 100, 50), nullptr);
    auto* root = dynamic_cast<CContainerUI*>(owned.Manager().GetRoot());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetCount(), 0);
    owned.CenterWindow();
    EXPECT_EQ(backend.RecordOf(owned.GetHWND())->rect, (UIRect{100, 175, 200, 225}));
    window.CenterWindow();
    EXPECT_EQ(backend.RecordOf(window.GetHWND())->rect, (UIRect{810, 340, 1110, 740}));
}

TEST_F(Windows, TimersFireInOrderOfDueTimeWithTheirControlAndIdOnTheManualClockUntilTheirControlGoes)
{
    ASSERT_TRUE(window.Manager().SetTimer(text, 1, 200));
    ASSERT_TRUE(window.Manager().SetTimer(close, 7, 300));
    backend.AdvanceClock(199);
    EXPECT_TRUE(log.entries.empty());
    backend.AdvanceClock(401);
    using Fired = std::tuple<std::uint64_t, CControlUI*, std::uintptr_t>;
    std::vector<Fired> fired;
    for (const auto& e : log.entries)
        fired.emplace_back(e.time, e.sender, e.wParam);
    // At 600 both are due: the one armed earlier (at 300) goes first.
    EXPECT_EQ(
        fired, (std::vector<Fired>{{200, text, 1}, {300, close, 7}, {400, text, 1}, {600, close, 7}, {600, text, 1}}));

    // A removed control's timers stop.
    static_cast<CContainerUI*>(close->GetParent())->Remove(close);
    EXPECT_TRUE(window.Manager().KillTimer(text, 1));
    log.entries.clear();
    backend.AdvanceClock(500);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(CPaintManagerUI::NextTimerDue(), std::nullopt);
}

TEST_F(Windows, KillTimerStopsOnlyThatTimerAndSetTimerAgainRestartsItFromNow)
{
    window.Manager().SetTimer(text, 1, 100);
    window.Manager().SetTimer(text, 2, 100);
    EXPECT_TRUE(window.Manager().KillTimer(text, 1));
    EXPECT_FALSE(window.Manager().KillTimer(text, 1));
    backend.AdvanceClock(50);
    window.Manager().SetTimer(text, 2, 100);
    backend.AdvanceClock(100);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].wParam, 2u);
    EXPECT_EQ(log.entries[0].time, 150u);
}

TEST_F(Windows, ASecondCloseOneInsideANotificationOrOneByTheWindowSystemIsSafe)
{
    int finalDuringHandler = -1;
    window.onNotify = [&](TNotifyUI&) {
        window.Close(4);
        window.Close(5); // changes nothing
        finalDuringHandler = window.record.finalMessages;
    };
    CHeadlessBackend::Click(window.Manager(), "BtnClose");
    EXPECT_EQ(finalDuringHandler, 0); // the window lives until the handler returns
    backend.FlushClosedWindows();
    backend.FlushClosedWindows();
    EXPECT_EQ(window.record.finalMessages, 1);
    EXPECT_EQ(window.GetHWND(), nullptr);
    EXPECT_EQ(backend.FindWindow("TestWindow")->closeResult, 4);

    RecordingWindow other("Box.xml"); // the window system's close ends a window once, with 0
    other.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    backend.SimulateWindowSystemClose(other.GetHWND());
    EXPECT_EQ(other.record.finalMessages, 1);
    EXPECT_EQ(backend.FindWindow("TestWindow")->closeResult, 0);
}

TEST_F(Windows, TheMessageLoopReturnsTheExitCodeGivenToPostQuit)
{
    int ticks = 0;
    window.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "timer" && ++ticks == 5)
            CPaintManagerUI::PostQuit(3);
    };
    window.Manager().SetTimer(text, 1, 100);
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 3);
    EXPECT_EQ(ticks, 5);
}

TEST_F(Windows, WhileAModalBoxIsOpenTheWindowBelowRefusesInput)
{
    bool refusedClick = false;
    bool refusedTyping = false;
    bool boxTookClick = false;
    // At 100 ms a timer of the window opens a modal box that fades on its own timer and closes
    // itself at 700 ms; meanwhile the input below runs once in the box's loop.
    WindowRecord boxRecord;
    window.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType != "timer" || msg.wParam != 9)
            return;
        window.Manager().KillTimer(msg.pSender, 9);
        auto* box = new RecordingWindow("Box.xml", boxRecord);
        box->Create(nullptr, "box", 0, 0, 0, 0, 800, 600);
        backend.QueueAction([&, box] {
            refusedClick = !CHeadlessBackend::Click(window.Manager(), "BtnClose");
            refusedTyping = !CHeadlessBackend::TypeText(window.Manager(), "TextUI", "x");
            boxTookClick = CHeadlessBackend::Click(box->Manager(), "BtnClose");
        });
        box->Manager().SetTimer(box->Manager().FindControl("TextUI"), 1, 200);
        box->onNotify = [box](TNotifyUI& boxMsg) {
            if (boxMsg.sType == "timer" && CPaintManagerUI::Now() >= 700)
                box->Close(1);
        };
        box->ShowModal();
    };
    window.Manager().SetTimer(text, 9, 100);
    backend.AdvanceClock(150);
    EXPECT_EQ(backend.Clock(), 700u); // the box's loop ran the clock on; it never goes back
    EXPECT_TRUE(refusedClick && refusedTyping && boxTookClick);
    EXPECT_TRUE(CHeadlessBackend::Click(window.Manager(), "BtnClose")); // the box is gone: input again
}
