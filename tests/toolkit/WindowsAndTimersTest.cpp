// Windows, timers, loops and dialogs on the headless backend: skin loading and window
// attributes, timers on the manual clock, modal results, the message loop and scripted dialogs.

#include "ToolkitTestSupport.h"

using namespace toolkittest;

namespace {

constexpr const char* kBoxSkin = R"(<Window size="300,400" caption="0,0,0,24">
  <VerticalLayout><Label name="TextUI"/><Button name="BtnClose" height="30"/></VerticalLayout>
</Window>)";

class Windows : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        folder.Write("Box.xml", kBoxSkin);
    }
    // A heap window that deletes itself in OnFinalMessage, as the program's windows do.
    TestWindow* NewBox(UIWindowHandle parent = nullptr, std::uint32_t style = 0)
    {
        auto* window = new TestWindow("Box.xml");
        window->deleteOnFinal = true;
        if (!window->Create(parent, "box", style, 0, 0, 0, 800, 600)) {
            delete window;
            return nullptr;
        }
        return window;
    }
};

}  // namespace

TEST_F(Windows, ASkinnedWindowLoadsItsSkinBeforeTheInitHookAndTakesTheSkinsSize)
{
    bool sawControls = false;
    TestWindow window("Box.xml");
    window.onInit = [&](TestWindow& w) { sawControls = w.Manager().FindControl("TextUI") && w.Manager().FindControl("BtnClose"); };
    ASSERT_NE(window.Create(nullptr, "Kelpmere", 0x10CF0000, 0, 0, 0, 800, 600), nullptr);
    EXPECT_TRUE(sawControls);

    const auto* record = backend.RecordOf(window.GetHWND());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->className, "TestWindow");
    EXPECT_EQ(record->title, "Kelpmere");
    EXPECT_TRUE(record->visible);                       // the style asked for a visible window
    EXPECT_EQ(record->rect, (UIRect{0, 0, 300, 400}));
    EXPECT_EQ(window.Manager().GetClientSize(), (UISize{300, 400}));
    EXPECT_EQ(window.Manager().FindControl("BtnClose")->GetPos(), (UIRect{0, 370, 300, 400}));

    window.SetIcon(102);
    window.CenterWindow();
    EXPECT_EQ(record->icon, "icon102.png");
    EXPECT_TRUE(record->centered);
    EXPECT_EQ(record->rect, (UIRect{810, 340, 1110, 740}));
}

TEST_F(Windows, AnOwnedWindowIsCentredOverItsOwner)
{
    TestWindow owner("Box.xml");
    owner.Create(nullptr, "", 0, 0, 100, 100, 0, 0);
    folder.Write("Small.xml", R"(<Window size="100,50"><Label/></Window>)");
    TestWindow box("Small.xml");
    box.Create(owner.GetHWND(), "", 0, 0, 0, 0, 0, 0);
    box.CenterWindow();
    EXPECT_EQ(backend.RecordOf(box.GetHWND())->rect, (UIRect{200, 275, 300, 325}));
}

TEST_F(Windows, AWindowWhoseSkinIsMissingStillInitialisesOnAnEmptyRoot)
{
    bool initialised = false;
    TestWindow window("NoSuchSkin.xml");
    window.onInit = [&](TestWindow& w) {
        initialised = true;
        auto* root = dynamic_cast<CContainerUI*>(w.Manager().GetRoot());
        ASSERT_NE(root, nullptr);
        auto* label = new CLabelUI();
        label->SetName("TextUI");
        root->Add(label);
    };
    ASSERT_NE(window.Create(nullptr, "", 0, 0, 0, 0, 300, 400), nullptr);
    EXPECT_TRUE(initialised);
    EXPECT_EQ(backend.RecordOf(window.GetHWND())->rect, (UIRect{0, 0, 300, 400}));
    EXPECT_NE(window.Manager().FindControl("TextUI"), nullptr);
}

// ---------------- timers ----------------

TEST_F(Windows, TimersFireInOrderOfDueTimeWithTheirControlAndIdOnTheManualClock)
{
    TestWindow window("Box.xml");
    window.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    NotifyLog log;
    window.Manager().AddNotifier(&log);
    CControlUI* text = window.Manager().FindControl("TextUI");
    CControlUI* close = window.Manager().FindControl("BtnClose");
    ASSERT_TRUE(window.Manager().SetTimer(text, 1, 200));
    ASSERT_TRUE(window.Manager().SetTimer(close, 7, 300));

    backend.AdvanceClock(199);
    EXPECT_TRUE(log.entries.empty());
    backend.AdvanceClock(401);

    std::vector<std::tuple<std::uint64_t, CControlUI*, std::uintptr_t>> fired;
    for (const auto& e : log.entries) {
        EXPECT_EQ(e.type, "timer");
        fired.emplace_back(e.time, e.sender, e.wParam);
    }
    // At 600 both are due: the one armed earlier (at 300) goes first.
    const std::vector<std::tuple<std::uint64_t, CControlUI*, std::uintptr_t>> expected{
        {200, text, 1}, {300, close, 7}, {400, text, 1}, {600, close, 7}, {600, text, 1}};
    EXPECT_EQ(fired, expected);
}

TEST_F(Windows, KillTimerStopsOnlyThatTimerAndSetTimerRestartsFromNow)
{
    TestWindow window("Box.xml");
    window.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    NotifyLog log;
    window.Manager().AddNotifier(&log);
    CPaintManagerUI& pm = window.Manager();
    CControlUI* text = pm.FindControl("TextUI");
    pm.SetTimer(text, 1, 100);
    pm.SetTimer(text, 2, 100);
    backend.AdvanceClock(50);
    EXPECT_TRUE(pm.KillTimer(text, 1));
    EXPECT_FALSE(pm.KillTimer(text, 1));
    pm.SetTimer(text, 2, 100);             // restarted at 50: next at 150
    backend.AdvanceClock(100);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].wParam, 2u);
    EXPECT_EQ(log.entries[0].time, 150u);

    CLabelUI stray;
    EXPECT_FALSE(pm.SetTimer(&stray, 1, 100));     // not a control of this window
    EXPECT_FALSE(pm.SetTimer(text, 3, 0));
    EXPECT_FALSE(pm.SetTimer(nullptr, 3, 10));
}

TEST_F(Windows, ATimerStoppedAndRearmedInsideItsHandlerCountsFromTheHandler)
{
    TestWindow window("Box.xml");
    window.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    CPaintManagerUI& pm = window.Manager();
    CControlUI* text = pm.FindControl("TextUI");
    std::vector<std::uint64_t> ticks;
    window.onNotify = [&](TestWindow&, TNotifyUI& msg) {
        if (msg.sType != "timer") return;
        pm.KillTimer(text, 1);
        ticks.push_back(backend.Clock());
        backend.AdvanceClock(30);          // the step itself takes 30 ms
        if (ticks.size() < 3) pm.SetTimer(text, 1, 100);
    };
    pm.SetTimer(text, 1, 100);
    backend.AdvanceClock(1000);
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{100, 230, 360}));
    EXPECT_EQ(CPaintManagerUI::NextTimerDue(), std::nullopt);
}

TEST_F(Windows, TimersOfADeletedControlStop)
{
    TestWindow window("Box.xml");
    window.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    NotifyLog log;
    window.Manager().AddNotifier(&log);
    CControlUI* close = window.Manager().FindControl("BtnClose");
    window.Manager().SetTimer(close, 1, 100);
    static_cast<CContainerUI*>(close->GetParent())->Remove(close);
    backend.AdvanceClock(500);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(CPaintManagerUI::NextTimerDue(), std::nullopt);
}

// ---------------- modal loops and closing ----------------

TEST_F(Windows, AModalLoopRunsTimersUntilTheWindowClosesAndReturnsItsResult)
{
    TestWindow* box = NewBox();
    ASSERT_NE(box, nullptr);
    CControlUI* text = box->Manager().FindControl("TextUI");
    int steps = 3;
    box->onNotify = [&](TestWindow& w, TNotifyUI& msg) {
        if (msg.sType != "timer" || msg.pSender != text) return;
        if (steps > 0) {
            w.SetOpacity(steps * 255 / 10);
            --steps;
        } else {
            w.Manager().KillTimer(text, 1);
            w.Close(1);
        }
    };
    box->Manager().SetTimer(text, 1, 200);
    box->CenterWindow();

    EXPECT_EQ(box->ShowModal(), 1);       // box is gone now
    const auto* record = backend.FindWindow("TestWindow");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->opacityHistory, (std::vector<int>{76, 51, 25}));
    EXPECT_TRUE(record->modal);
    EXPECT_TRUE(record->destroyed);
    EXPECT_EQ(backend.Clock(), 800u);
}

TEST_F(Windows, ClosingInsideANotificationKeepsTheWindowAliveUntilTheHandlerReturns)
{
    TestWindow window("Box.xml");
    window.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    int finalDuringHandler = -1;
    window.onNotify = [&](TestWindow& w, TNotifyUI&) {
        w.Close(4);
        w.Close(5);                                  // a second close changes nothing
        finalDuringHandler = w.finalMessages;
    };
    CHeadlessBackend::Click(window.Manager(), "BtnClose");
    EXPECT_EQ(finalDuringHandler, 0);
    backend.FlushClosedWindows();
    EXPECT_EQ(window.finalMessages, 1);
    EXPECT_EQ(window.GetHWND(), nullptr);
    EXPECT_EQ(backend.FindWindow("TestWindow")->closeResult, 4);
    backend.FlushClosedWindows();
    EXPECT_EQ(window.finalMessages, 1);
}

TEST_F(Windows, AQueuedClickEndsAModalLoopBeforeAnyTimerFires)
{
    TestWindow* box = NewBox();
    ASSERT_NE(box, nullptr);
    box->onNotify = [](TestWindow& w, TNotifyUI& msg) {
        if (msg.sType == "click" && msg.pSender->GetName() == "BtnClose") w.Close(0);
        if (msg.sType == "timer") w.Close(1);
    };
    box->Manager().SetTimer(box->Manager().FindControl("TextUI"), 1, 200);
    CPaintManagerUI* pm = &box->Manager();
    backend.QueueAction([&] { EXPECT_TRUE(CHeadlessBackend::Click(*pm, "BtnClose")); });
    EXPECT_EQ(box->ShowModal(), 0);
    EXPECT_EQ(backend.Clock(), 0u);
    EXPECT_EQ(CPaintManagerUI::NextTimerDue(), std::nullopt);   // the closed window's timers ended
}

TEST_F(Windows, AModalLoopThatNothingCanEndFailsLoudly)
{
    TestWindow* box = NewBox();
    ASSERT_NE(box, nullptr);
    EXPECT_THROW(box->ShowModal(), HeadlessStuck);
    EXPECT_EQ(backend.ModalDepth(), 0);
    box->Close(0);
}

TEST_F(Windows, TheWindowSystemClosingAWindowEndsItOnce)
{
    TestWindow window("Box.xml");
    window.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    backend.SimulateWindowSystemClose(window.GetHWND());
    EXPECT_EQ(window.finalMessages, 1);
    EXPECT_EQ(backend.FindWindow("TestWindow")->closeResult, 0);
    EXPECT_TRUE(backend.FindWindow("TestWindow")->destroyed);
}

TEST_F(Windows, TheMessageLoopRunsTimersAndReturnsTheExitCodeOfTheQuit)
{
    TestWindow window("Box.xml");
    window.Create(nullptr, "", 0, 0, 0, 0, 0, 0);
    CControlUI* text = window.Manager().FindControl("TextUI");
    int ticks = 0;
    window.onNotify = [&](TestWindow&, TNotifyUI& msg) {
        if (msg.sType == "timer" && ++ticks == 5) CPaintManagerUI::PostQuit(3);
    };
    window.Manager().SetTimer(text, 1, 100);
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 3);
    EXPECT_EQ(ticks, 5);

    window.Manager().KillTimer(text, 1);
    backend.QueueAction([&] { EXPECT_TRUE(CHeadlessBackend::Click(window.Manager(), "BtnClose")); });
    backend.QueueAction([] { CPaintManagerUI::PostQuit(0); });
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
    EXPECT_EQ(window.clicks, (std::vector<std::string>{"BtnClose"}));
    EXPECT_THROW(CPaintManagerUI::MessageLoop(), HeadlessStuck);
}

// ---------------- dialogs ----------------

TEST_F(Windows, DialogsAnswerFromTheQueueAndRecordWhatWasAsked)
{
    backend.QueueOpenFileAnswer(std::string("/data/a.torrent"));
    backend.QueueOpenFileAnswer(std::nullopt);
    backend.QueueFolderAnswer(std::string("/data/out"));
    FileDialogOptions open;
    open.filter = {"torrent文件(*.torrent)", "*.torrent*;*.torrent*"};
    open.mustExist = true;
    EXPECT_EQ(ShowOpenFileDialog(nullptr, open), std::optional<std::string>("/data/a.torrent"));
    EXPECT_EQ(ShowOpenFileDialog(nullptr, open), std::nullopt);
    EXPECT_EQ(ShowFolderDialog(nullptr, "请选择转换后种子存放目录"), std::optional<std::string>("/data/out"));
    EXPECT_THROW(ShowSaveFileDialog(nullptr, FileDialogOptions{}), HeadlessStuck);

    ASSERT_EQ(backend.Dialogs().size(), 4u);
    EXPECT_EQ(backend.Dialogs()[0].filterPatterns, "*.torrent*;*.torrent*");
    EXPECT_EQ(backend.Dialogs()[0].filterDescription, "torrent文件(*.torrent)");
    EXPECT_EQ(backend.Dialogs()[2].kind, CHeadlessBackend::DialogKind::Folder);
    EXPECT_EQ(backend.Dialogs()[2].title, "请选择转换后种子存放目录");
}
