// Windows, timers on the manual clock, modal loops, the message loop and scripted dialogs.

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
    // A heap window that deletes itself in OnFinalMessage, as the program's windows do.
    TestWindow* NewBox()
    {
        auto* box = new TestWindow("Box.xml");
        box->deleteOnFinal = true;
        box->Create(nullptr, "box", 0, 0, 0, 0, 800, 600);
        return box;
    }

    TestWindow window{"Box.xml"};
    NotifyLog log;
    CControlUI* text = nullptr;
    CControlUI* close = nullptr;
};

} // namespace

TEST_F(Windows, ASkinnedWindowTakesItsSkinsSizeAndAMissingSkinGivesAnEmptyRoot)
{
    const auto* record = backend.RecordOf(window.GetHWND());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->rect, (UIRect{0, 0, 300, 400}));
    EXPECT_EQ(close->GetPos(), (UIRect{0, 370, 300, 400}));
    window.CenterWindow();
    EXPECT_EQ(record->rect, (UIRect{810, 340, 1110, 740}));

    TestWindow bare("NoSuchSkin.xml");
    ASSERT_NE(bare.Create(window.GetHWND(), "", 0, 0, 0, 0, 100, 50), nullptr);
    EXPECT_NE(dynamic_cast<CContainerUI*>(bare.Manager().GetRoot()), nullptr);
    bare.CenterWindow(); // over its owner
    EXPECT_EQ(backend.RecordOf(bare.GetHWND())->rect, (UIRect{910, 515, 1010, 565}));
}

TEST_F(Windows, TimersFireInOrderOfDueTimeWithTheirControlAndIdOnTheManualClock)
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
}

TEST_F(Windows, KillTimerStopsOnlyThatTimerSetTimerRestartsFromNowAndADeletedControlsTimersStop)
{
    CPaintManagerUI& pm = window.Manager();
    pm.SetTimer(text, 1, 100);
    pm.SetTimer(text, 2, 100);
    backend.AdvanceClock(50);
    EXPECT_TRUE(pm.KillTimer(text, 1));
    EXPECT_FALSE(pm.KillTimer(text, 1));
    pm.SetTimer(text, 2, 100); // restarted at 50: next at 150
    backend.AdvanceClock(100);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].wParam, 2u);
    EXPECT_EQ(log.entries[0].time, 150u);
    CLabelUI stray;
    EXPECT_FALSE(pm.SetTimer(&stray, 1, 100)); // not a control of this window

    pm.KillTimer(text, 2);
    pm.SetTimer(close, 1, 100);
    static_cast<CContainerUI*>(close->GetParent())->Remove(close);
    backend.AdvanceClock(500);
    EXPECT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(CPaintManagerUI::NextTimerDue(), std::nullopt);
}

TEST_F(Windows, ShowModalRunsTimersUntilTheWindowClosesAndReturnsTheCloseResult)
{
    TestWindow* box = NewBox();
    CControlUI* boxText = box->Manager().FindControl("TextUI");
    int steps = 3;
    box->onNotify = [&](TestWindow& w, TNotifyUI& msg) {
        if (msg.sType != "timer")
            return;
        if (steps > 0)
            return w.SetOpacity(steps-- * 255 / 10);
        w.Manager().KillTimer(boxText, 1);
        w.Close(1);
    };
    box->Manager().SetTimer(boxText, 1, 200);
    EXPECT_EQ(box->ShowModal(), 1); // box is gone now
    const auto* record = backend.FindWindow("TestWindow");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->opacityHistory, (std::vector<int>{76, 51, 25}));
    EXPECT_TRUE(record->modal);
    EXPECT_TRUE(record->destroyed);
    EXPECT_EQ(backend.Clock(), 800u);

    box = NewBox(); // a queued click ends the loop before any timer fires
    box->onNotify = [](TestWindow& w, TNotifyUI& msg) { w.Close(msg.sType == "click" ? 0 : 1); };
    box->Manager().SetTimer(box->Manager().FindControl("TextUI"), 1, 200);
    CPaintManagerUI* pm = &box->Manager();
    backend.QueueAction([&] { EXPECT_TRUE(CHeadlessBackend::Click(*pm, "BtnClose")); });
    EXPECT_EQ(box->ShowModal(), 0);
    EXPECT_EQ(backend.Clock(), 800u);
    EXPECT_EQ(CPaintManagerUI::NextTimerDue(), std::nullopt); // the closed window's timers ended

    box = NewBox(); // nothing can end this one: it fails loudly
    EXPECT_THROW(box->ShowModal(), HeadlessStuck);
    EXPECT_EQ(backend.ModalDepth(), 0);
    box->Close(0);
}

TEST_F(Windows, ASecondCloseOneInsideANotificationOrOneByTheWindowSystemIsSafe)
{
    int finalDuringHandler = -1;
    window.onNotify = [&](TestWindow& w, TNotifyUI&) {
        w.Close(4);
        w.Close(5); // changes nothing
        finalDuringHandler = w.finalMessages;
    };
    CHeadlessBackend::Click(window.Manager(), "BtnClose");
    EXPECT_EQ(finalDuringHandler, 0); // the window lives until the handler returns
    backend.FlushClosedWindows();
    backend.FlushClosedWindows();
    EXPECT_EQ(window.finalMessages, 1);
    EXPECT_EQ(window.GetHWND(), nullptr);
    EXPECT_EQ(backend.FindWindow("TestWindow")->closeResult, 4);

    TestWindow other("Box.xml"); // the window system's close ends a window once, with 0
    other.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    backend.SimulateWindowSystemClose(other.GetHWND());
    EXPECT_EQ(other.finalMessages, 1);
    EXPECT_EQ(backend.FindWindow("TestWindow")->closeResult, 0);
}

TEST_F(Windows, TheMessageLoopRunsTimersAndQueuedActionsAndReturnsTheExitCodeOfTheQuit)
{
    int ticks = 0;
    window.onNotify = [&](TestWindow&, TNotifyUI& msg) {
        if (msg.sType == "timer" && ++ticks == 5)
            CPaintManagerUI::PostQuit(3);
    };
    window.Manager().SetTimer(text, 1, 100);
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 3);
    EXPECT_EQ(ticks, 5);
    window.Manager().KillTimer(text, 1);
    backend.QueueAction([&] { EXPECT_TRUE(CHeadlessBackend::Click(window.Manager(), "BtnClose")); });
    backend.QueueAction([] { CPaintManagerUI::PostQuit(0); });
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
    EXPECT_EQ(log.Types().back(), "click");
    EXPECT_THROW(CPaintManagerUI::MessageLoop(), HeadlessStuck);
}

TEST_F(Windows, DialogsAnswerFromTheQueueAndRecordWhatWasAsked)
{
    backend.QueueOpenFileAnswer(std::string("/data/a.torrent"));
    backend.QueueOpenFileAnswer(std::nullopt);
    backend.QueueFolderAnswer(std::string("/data/out"));
    FileDialogOptions open;
    open.filter = {"torrent文件(*.torrent)", "*.torrent*;*.torrent*"};
    EXPECT_EQ(ShowOpenFileDialog(nullptr, open), std::optional<std::string>("/data/a.torrent"));
    EXPECT_EQ(ShowOpenFileDialog(nullptr, open), std::nullopt);
    EXPECT_EQ(ShowFolderDialog(nullptr, "选择目录"), std::optional<std::string>("/data/out"));
    EXPECT_THROW(ShowSaveFileDialog(nullptr, FileDialogOptions{}), HeadlessStuck);
    ASSERT_EQ(backend.Dialogs().size(), 4u);
    EXPECT_EQ(backend.Dialogs()[0].filterPatterns, "*.torrent*;*.torrent*");
    EXPECT_EQ(backend.Dialogs()[2].kind, CHeadlessBackend::DialogKind::Folder);
    EXPECT_EQ(backend.Dialogs()[2].title, "选择目录");
}

TEST_F(Windows, WhileAModalBoxIsOpenInputToTheWindowBelowIsRefusedAndTheClockNeverGoesBack)
{
    // A timer of the main window opens a modal box; the box's own fade runs for 600 ms inside it.
    bool refusedClick = false;
    bool refusedTyping = false;
    bool boxTookClick = false;
    window.onNotify = [&](TestWindow& w, TNotifyUI& msg) {
        if (msg.sType != "timer" || msg.wParam != 9)
            return;
        w.Manager().KillTimer(msg.pSender, 9);
        TestWindow* box = NewBox();
        CPaintManagerUI* below = &w.Manager();
        CPaintManagerUI* boxManager = &box->Manager();
        backend.QueueAction([&, below, boxManager] {
            refusedClick = !CHeadlessBackend::Click(*below, "BtnClose");
            refusedTyping = !CHeadlessBackend::TypeText(*below, "TextUI", "x");
            boxTookClick = CHeadlessBackend::Click(*boxManager, "BtnClose");
        });
        box->Manager().SetTimer(box->Manager().FindControl("TextUI"), 1, 200);
        box->onNotify = [](TestWindow& b, TNotifyUI& boxMsg) {
            if (boxMsg.sType == "timer" && CPaintManagerUI::Now() >= 700)
                b.Close(1);
        };
        box->ShowModal();
    };
    window.Manager().SetTimer(text, 9, 100);
    backend.AdvanceClock(150);
    EXPECT_TRUE(refusedClick);
    EXPECT_TRUE(refusedTyping);
    EXPECT_TRUE(boxTookClick);
    // The nested loop ran the clock to 700 ms; advancing by 150 ms from 0 must not wind it back.
    EXPECT_EQ(backend.Clock(), 700u);
    EXPECT_TRUE(CHeadlessBackend::Click(window.Manager(), "BtnClose")); // the box is gone: input again
}
