// The main window on the headless backend.

#include "AppTestSupport.h"
#include "support/TestTorrents.h"
#include "support/WorkingFolder.h"

#include "toolkit/CEditUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"
#include "ui/single/SingleControlUI.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/SearchControlUI.h"

namespace {

namespace fs = std::filesystem;

class MainFrameTest : public apptest::MainWindowTest {
protected:
    CMainFrameWnd& Start()
    {
        if (!OpenFrame())
            throw std::runtime_error("the main window was not created");
        return *frame;
    }
    COptionUI* Option(const char* name) { return Find<COptionUI>(name); }

    // The program writes its advertisement page below the folder it starts in.
    std::optional<WorkingFolder> work{std::in_place};
};

TEST_F(MainFrameTest, StartUpShowsTheCentredWindowOnTheAdPage)
{
    CMainFrameWnd& main = Start();
    CTabLayoutUI* tabs = main.GetTabLayout();
    ASSERT_TRUE(tabs != nullptr && tabs->GetCount() == 4);
    EXPECT_NE(dynamic_cast<AdControlUI*>(tabs->GetItemAt(0)), nullptr);
    EXPECT_EQ(tabs->GetItemAt(1), main.GetSinglePage());
    EXPECT_EQ(tabs->GetItemAt(2), main.GetBatchPage());
    EXPECT_NE(dynamic_cast<SearchControlUI*>(tabs->GetItemAt(3)), nullptr);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(Option("adOption") != nullptr && Option("adOption")->IsSelected());
    const auto& window = *backend.RecordOf(main.GetHWND());
    EXPECT_EQ(window.title, "Kelpmere");
    EXPECT_TRUE(window.rect.Width() == 800 && window.rect.Height() == 600 && window.centered && window.visible);
    EXPECT_TRUE(CPaintManagerUI::LoadResourceFile(window.icon).has_value());
    // The minimise button minimises the window and leaves it running.
    ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "minbtn"));
    EXPECT_EQ(window.minimized, 1);
    EXPECT_FALSE(window.closed || backend.QuitPosted());
}

TEST_F(MainFrameTest, OptionsMissingFromTheSkinAreSkipped)
{
    apptest::SkinFolder skins;
    skins.Replace("MainFrame.xml", R"(<?xml version="1.0" encoding="UTF-8"?><Window size="800,600" caption="0,0,0,40">
  <VerticalLayout><HorizontalLayout height="40"><Option name="adOption" width="80"/><Option name="singleOption" width="80"/>
  </HorizontalLayout><TabLayout name="PageTabLayoutUI"/></VerticalLayout></Window>)");
    UseSkinFolder(skins);
    CMainFrameWnd& main = Start();
    ASSERT_NE(main.GetTabLayout(), nullptr);
    EXPECT_EQ(main.GetTabLayout()->GetCount(), 4);
    EXPECT_TRUE(Option("adOption")->IsSelected());
    ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "singleOption"));
    EXPECT_EQ(main.GetTabLayout()->GetCurSel(), 1);
}

TEST_F(MainFrameTest, APageThatCannotBeBuiltCostsOnlyItsOwnTabWhichShowsEmpty)
{
    apptest::SkinFolder brokenSearchSkin;
    brokenSearchSkin.Replace("SearchSkin.xml", "<not a skin");
    struct Case {
        const char* situation;
        WorkingFolder::AdFolder ad;
        std::string below; // the start folder inside the temporary one
        const apptest::SkinFolder* skins;
        int emptyTab;
    };
    const Case cases[] = {
        {"no folder Ad where the program starts", WorkingFolder::AdFolder::Missing, "", nullptr, 0},
        {"a start folder too long to record", WorkingFolder::AdFolder::Present,
            std::string(120, 'a') + "/" + std::string(120, 'b') + "/" + std::string(40, 'c'), nullptr, 0},
        {"a search skin that gives no control", WorkingFolder::AdFolder::Present, "", &brokenSearchSkin, 3},
    };
    const char* const options[] = {"adOption", "singleOption", "batchOption", "searchOption"};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.situation);
        work.reset();
        work.emplace(test.ad, test.below);
        if (test.skins != nullptr)
            UseSkinFolder(*test.skins);
        else
            UsePackedSkins();
        CMainFrameWnd& main = Start();
        CTabLayoutUI* tabs = main.GetTabLayout();
        ASSERT_TRUE(tabs != nullptr && tabs->GetCount() == 4);
        EXPECT_EQ(main.GetAdPage() == nullptr, test.emptyTab == 0);
        EXPECT_EQ(main.GetSearchPage() == nullptr, test.emptyTab == 3);
        EXPECT_EQ(tabs->GetItemAt(1), main.GetSinglePage());
        EXPECT_EQ(tabs->GetItemAt(2), main.GetBatchPage());
        ASSERT_NE(main.GetSinglePage(), nullptr);
        ASSERT_NE(main.GetBatchPage(), nullptr);
        EXPECT_EQ(std::filesystem::exists(work->AdPageFile()), test.emptyTab != 0);

        // Every option is set up and shows its own tab; the failed page's tab is empty.
        EXPECT_TRUE(Option("adOption")->IsSelected());
        EXPECT_EQ(tabs->GetCurSel(), 0);
        for (int index : {1, 2, 3, 0}) {
            ASSERT_TRUE(CHeadlessBackend::Click(Manager(), options[index])) << options[index];
            EXPECT_EQ(tabs->GetCurSel(), index) << options[index];
        }
        auto* empty = dynamic_cast<CContainerUI*>(tabs->GetItemAt(test.emptyTab));
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(empty->GetCount(), 0);

        // Every timer still reaches the batch list, which acts only on its own: another control's
        // passes; its own, with nothing listed, finds the run over and gives the start button back.
        BatchListControl* list = main.GetBatchPage()->GetListControl();
        ASSERT_NE(list, nullptr);
        CControlUI* start = Manager().FindControl("btn_batch_conver");
        ASSERT_FALSE(start->IsEnabled());
        ASSERT_TRUE(Manager().SetTimer(Manager().FindControl("singleOption"), 1, 250));
        backend.AdvanceClock(500);
        EXPECT_FALSE(start->IsEnabled());
        ASSERT_TRUE(Manager().SetTimer(list, 1, 100));
        backend.AdvanceClock(100);
        EXPECT_TRUE(start->IsEnabled());
        EXPECT_FALSE(Manager().KillTimer(list, 1));

        CloseFrame();
    }
}

TEST_F(MainFrameTest, ADroppedTorrentOpensInTheSinglePage)
{
    CMainFrameWnd& main = Start();
    const fs::path torrent = work->path / "dropped.torrent";
    WriteFile(torrent, BuildTorrent(SingleFile("movie.mkv", 1000)));
    // Files without ".torrent" in their names are passed over; the first torrent opens.
    ASSERT_TRUE(backend.DropFiles(main.GetHWND(), {(work->path / "notes.txt").string(), torrent.string()}));
    EXPECT_EQ(main.GetTabLayout()->GetCurSel(), 1);
    EXPECT_EQ(Find<CEditUI>("edit_single_file")->GetText(), CDuiString(torrent.string()));
    EXPECT_EQ(Find<CEditUI>("edit_single_file1")->GetText(), "movie.mkv");
    // A dropped file that is no torrent says so, as the open dialog's choice would.
    const fs::path broken = work->path / "broken.torrent";
    WriteFile(broken, "no torrent");
    EXPECT_EQ(Notice([&] { backend.DropFiles(main.GetHWND(), {broken.string()}); }),
        "  选择的种子文件不存在,请检查文件路径 !\n");
}

class ProgramRunTest : public apptest::HeadlessTest { };

TEST_F(ProgramRunTest, EveryWayOfClosingTheWindowEndsTheProgramWithExitCodeZero)
{
    const std::function<void(CHeadlessBackend&, CMainFrameWnd&)> closers[] = {
        [](CHeadlessBackend&, CMainFrameWnd& main) {
            EXPECT_TRUE(CHeadlessBackend::Click(*main.GetPaintManager(), "closebtn"));
        },
        [](CHeadlessBackend& backend, CMainFrameWnd& main) { backend.SimulateWindowSystemClose(main.GetHWND()); },
    };
    for (std::size_t way = 0; way < std::size(closers); ++way) {
        SCOPED_TRACE(way == 0 ? "the close button" : "the window system's close");
        const auto& close = closers[way];
        const int code = RunKelpmere(backend, nullptr, apptest::PackedSkinFolder().c_str(), [&](CMainFrameWnd& main) {
            backend.QueueAction([this, &close, window = &main] { close(backend, *window); });
        });
        EXPECT_EQ(code, 0);
        backend.FlushClosedWindows();
        const auto* record = backend.FindWindow("MainFrameWnd");
        ASSERT_NE(record, nullptr);
        EXPECT_TRUE(record->destroyed);
    }
}

TEST_F(ProgramRunTest, ATorrentGivenAsTheOnlyArgumentOpensInTheSinglePage)
{
    WorkingFolder work;
    const fs::path torrent = work.path / "given.torrent";
    WriteFile(torrent, BuildTorrent(SingleFile("movie.mkv", 1000)));
    for (const auto& [arguments, opened] : {std::pair{std::vector<std::string>{torrent.string()}, true},
             std::pair{std::vector<std::string>{torrent.string(), "second"}, false}}) {
        SCOPED_TRACE(arguments.size());
        std::string shown;
        RunKelpmere(
            backend, nullptr, apptest::PackedSkinFolder().c_str(),
            [&](CMainFrameWnd& main) {
                shown = main.GetPaintManager()->FindControl("edit_single_file1")->GetText().str();
                backend.QueueAction([&main] { CHeadlessBackend::Click(*main.GetPaintManager(), "closebtn"); });
            },
            arguments);
        EXPECT_EQ(shown, opened ? "movie.mkv" : "");
    }
}

} // namespace
