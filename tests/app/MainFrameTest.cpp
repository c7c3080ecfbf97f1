// The main window on the headless backend: start-up, tab switching by the options, timer
// routing, and the ways the program ends.

#include "AppTestSupport.h"

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "app/StartDirectory.h"
#include "platform/Clock.h"
#include "platform/Directories.h"
#include "platform/ProcessRandom.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"
#include "ui/single/SingleControlUI.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/SearchControlUI.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using apptest::HeadlessTest;
using apptest::SkinFolder;

// A main skin with a tab layout and the option "adOption" and "singleOption" only: no
// "batchOption", "searchOption" or "closebtn".
const char* const kSkinWithoutSomeButtons = R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="800,600" caption="0,0,0,40">
  <VerticalLayout>
    <HorizontalLayout height="40">
      <Option name="adOption" text="ad" width="80"/>
      <Option name="singleOption" text="single" width="80"/>
    </HorizontalLayout>
    <TabLayout name="PageTabLayoutUI"/>
  </VerticalLayout>
</Window>)";

class MainFrameTest : public HeadlessTest {
protected:
    // Starts the main window as the entry does and keeps it for the test.
    CMainFrameWnd& Start()
    {
        frame = CreateMainFrame();
        if (frame == nullptr)
            throw std::runtime_error("the main window was not created");
        return *frame;
    }
    void TearDown() override
    {
        if (frame != nullptr)
            frame->Close(0);
        HeadlessTest::TearDown();
    }
    CPaintManagerUI& Manager() { return *frame->GetPaintManager(); }
    template <class T>
    T* Find(const char* name) { return dynamic_cast<T*>(Manager().FindControl(name)); }

    CMainFrameWnd* frame = nullptr;
};

TEST_F(MainFrameTest, StartUpShowsTheCentredWindowWithFourPagesInOrderAndTheAdvertisementPageSelected)
{
    UsePackedSkins();
    CMainFrameWnd& main = Start();

    CTabLayoutUI* tabs = main.GetTabLayout();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->GetCount(), 4);
    EXPECT_EQ(tabs->GetItemAt(0), main.GetAdPage());
    EXPECT_EQ(tabs->GetItemAt(1), main.GetSinglePage());
    EXPECT_EQ(tabs->GetItemAt(2), main.GetBatchPage());
    EXPECT_EQ(tabs->GetItemAt(3), main.GetSearchPage());
    EXPECT_NE(dynamic_cast<AdControlUI*>(tabs->GetItemAt(0)), nullptr);
    EXPECT_NE(dynamic_cast<SearchControlUI*>(tabs->GetItemAt(3)), nullptr);
    EXPECT_EQ(tabs->GetCurSel(), 0);

    auto* adOption = Find<COptionUI>("adOption");
    ASSERT_NE(adOption, nullptr);
    EXPECT_TRUE(adOption->IsSelected());
    EXPECT_STREQ(startDirectory, CurrentWorkingDirectory().c_str());

    const auto* record = backend.RecordOf(main.GetHWND());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->className, "MainFrameWnd");
    EXPECT_EQ(record->title, "Kelpmere");
    EXPECT_EQ(record->rect.Width(), 800);
    EXPECT_EQ(record->rect.Height(), 600);
    EXPECT_TRUE(record->centered);
    EXPECT_TRUE(record->visible);
    EXPECT_EQ(record->icon, "icon102.png");
    EXPECT_TRUE(CPaintManagerUI::LoadResourceFile(record->icon).has_value());
}

TEST_F(MainFrameTest, EachOptionIsTaggedWithItsPageAndJoinsOneGroup)
{
    UsePackedSkins();
    CMainFrameWnd& main = Start();

    const std::pair<const char*, CControlUI*> expected[] = {
        {"adOption", main.GetAdPage()},
        {"singleOption", main.GetSinglePage()},
        {"batchOption", main.GetBatchPage()},
        {"searchOption", main.GetSearchPage()},
    };
    for (const auto& [name, page] : expected) {
        SCOPED_TRACE(name);
        auto* option = Find<COptionUI>(name);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(option->GetTag(), reinterpret_cast<std::uintptr_t>(page));
        EXPECT_EQ(option->GetGroup(), "function_group");
        EXPECT_EQ(option->GetHotBkColor(), 0xFFFF2D2Du);
        EXPECT_EQ(option->GetBorderSize(), 1);
    }
    auto* close = Find<CButtonUI>("closebtn");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->GetHotBkColor(), 0xFFFF2D2Du);
}

TEST_F(MainFrameTest, EachOptionShowsThePageTaggedToIt)
{
    UsePackedSkins();
    CMainFrameWnd& main = Start();
    CTabLayoutUI* tabs = main.GetTabLayout();
    ASSERT_NE(tabs, nullptr);

    const std::pair<const char*, int> clicks[] = {
        {"singleOption", 1}, {"batchOption", 2}, {"searchOption", 3}, {"adOption", 0}, {"batchOption", 2},
    };
    for (const auto& [name, index] : clicks) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(CHeadlessBackend::Click(Manager(), name));
        EXPECT_EQ(tabs->GetCurSel(), index);
        EXPECT_TRUE(tabs->GetItemAt(index)->IsVisible());
        EXPECT_TRUE(Find<COptionUI>(name)->IsSelected());
    }
    // One option of the group is selected at a time.
    EXPECT_FALSE(Find<COptionUI>("adOption")->IsSelected());
    EXPECT_FALSE(Find<COptionUI>("singleOption")->IsSelected());
}

TEST_F(MainFrameTest, MissingOptionAndCloseButtonsAreSkippedAndTheOthersAreSetUp)
{
    SkinFolder skins;
    skins.Replace("MainFrame.xml", kSkinWithoutSomeButtons);
    UseSkinFolder(skins);
    CMainFrameWnd& main = Start();

    ASSERT_NE(main.GetTabLayout(), nullptr);
    EXPECT_EQ(main.GetTabLayout()->GetCount(), 4);
    auto* single = Find<COptionUI>("singleOption");
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->GetTag(), reinterpret_cast<std::uintptr_t>(main.GetSinglePage()));
    EXPECT_EQ(single->GetGroup(), "function_group");
    EXPECT_TRUE(Find<COptionUI>("adOption")->IsSelected());

    ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "singleOption"));
    EXPECT_EQ(main.GetTabLayout()->GetCurSel(), 1);
}

TEST_F(MainFrameTest, EveryTimerReachesTheBatchListControlWhateverItsSender)
{
    UsePackedSkins();
    CMainFrameWnd& main = Start();
    ASSERT_NE(main.GetBatchPage(), nullptr);
    BatchListControl* list = main.GetBatchPage()->GetListControl();
    ASSERT_NE(list, nullptr);

    ASSERT_TRUE(Manager().SetTimer(list, 1, 100));
    ASSERT_TRUE(Manager().SetTimer(Manager().FindControl("singleOption"), 7, 250));
    backend.AdvanceClock(500);   // list: 100 .. 500 (5), option: 250, 500 (2)
    EXPECT_EQ(list->TimerNotificationsSeen(), 7);
    // A timer never switches tabs or clicks anything on the way.
    EXPECT_EQ(main.GetTabLayout()->GetCurSel(), 0);
}

TEST_F(MainFrameTest, StartUpSeedsTheRandomGeneratorFromTheClock)
{
    UsePackedSkins();
    const auto before = static_cast<std::uint32_t>(UnixTimeSeconds());
    Start();
    const int drawn = ProcessRandom();

    bool matchesASeedOfThatSecond = false;
    for (std::uint32_t seed = before; seed <= before + 1; ++seed) {
        SeedProcessRandom(seed);
        matchesASeedOfThatSecond = matchesASeedOfThatSecond || ProcessRandom() == drawn;
    }
    EXPECT_TRUE(matchesASeedOfThatSecond);
}

class ProgramRunTest : public HeadlessTest {};

TEST_F(ProgramRunTest, TheCloseButtonEndsTheProgramWithExitCodeZero)
{
    bool clicked = false;
    const int code = RunKelpmere(backend, nullptr, apptest::PackedSkinFolder().c_str(), [&](CMainFrameWnd& main) {
        backend.QueueAction([&] { clicked = CHeadlessBackend::Click(*main.GetPaintManager(), "closebtn"); });
    });
    EXPECT_TRUE(clicked);
    EXPECT_EQ(code, 0);
    backend.FlushClosedWindows();
    const auto* record = backend.FindWindow("MainFrameWnd");
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->destroyed);
}

TEST_F(ProgramRunTest, ClosingTheWindowThroughTheWindowSystemEndsTheProgramWithExitCodeZero)
{
    const int code = RunKelpmere(backend, nullptr, apptest::PackedSkinFolder().c_str(), [&](CMainFrameWnd& main) {
        const UIWindowHandle window = main.GetHWND();
        backend.QueueAction([this, window] { backend.SimulateWindowSystemClose(window); });
    });
    EXPECT_EQ(code, 0);
    const auto* record = backend.FindWindow("MainFrameWnd");
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->destroyed);
}

} // namespace
