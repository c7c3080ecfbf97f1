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

class MainFrameTest : public apptest::HeadlessTest {
protected:
    COptionUI* Option(const char* name) { return Find<COptionUI>(name); }

    // The program writes its advertisement page below the folder it starts in.
    std::optional<WorkingFolder> work{std::in_place};
};

TEST_F(MainFrameTest, StartUpShowsTheCentredWindowWhichMinimisesWithoutEnding)
{
    ASSERT_TRUE(OpenFrame());
    const auto& window = *backend.RecordOf(frame->GetHWND());
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
    ASSERT_TRUE(OpenFrame() && frame->GetTabLayout() != nullptr);
    EXPECT_EQ(frame->GetTabLayout()->GetCount(), 4);
    EXPECT_TRUE(Option("adOption")->IsSelected());
    ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "singleOption"));
    EXPECT_EQ(frame->GetTabLayout()->GetCurSel(), 1);
}

// Each page is in its tab, the advertisement page shown first. A page that cannot be built costs
// only its own tab, which shows empty.
TEST_F(MainFrameTest, EachPageHasItsTabAndOneThatCannotBeBuiltCostsOnlyItsOwn)
{
    using enum WorkingFolder::AdFolder;
    struct Case {
        const char* situation;
        WorkingFolder::AdFolder ad;
        std::string below;    // the start folder inside the temporary one
        const char* skinFile; // replaced by skinXml among the loose skins; none: the packed skins
        const char* skinXml;
        int emptyTab; // none when negative
    };
    const Case cases[] = {
        {"the packed skins", Present, "", nullptr, nullptr, -1},
        {"no folder Ad where the program starts", Missing, "", nullptr, nullptr, 0},
        {"a start folder too long to record", Present,
            std::string(120, 'a') + "/" + std::string(120, 'b') + "/" + std::string(40, 'c'), nullptr, nullptr, 0},
        {"a search skin that gives no control", Present, "", "SearchSkin.xml", "<not a skin", 3},
        {"a single page skin without the list", Present, "", "SingleSkin.xml",
            R"(<VerticalLayout><Button name="btn_single_file"/></VerticalLayout>)", 1},
        {"a file list skin without the list", Present, "", "SingleControlSkin.xml",
            R"(<VerticalLayout><Edit name="edit_single_name"/></VerticalLayout>)", 1},
    };
    const char* const options[] = {"adOption", "singleOption", "batchOption", "searchOption"};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.situation);
        work.reset();
        work.emplace(test.ad, test.below);
        apptest::SkinFolder skins;
        if (test.skinFile != nullptr) {
            skins.Replace(test.skinFile, test.skinXml);
            UseSkinFolder(skins);
        } else {
            UsePackedSkins();
        }
        ASSERT_TRUE(OpenFrame());
        CTabLayoutUI* tabs = frame->GetTabLayout();
        ASSERT_TRUE(tabs != nullptr && tabs->GetCount() == 4);
        const CControlUI* pages[]
            = {frame->GetAdPage(), frame->GetSinglePage(), frame->GetBatchPage(), frame->GetSearchPage()};
        for (int tab = 0; tab < 4; ++tab) {
            EXPECT_EQ(pages[tab] == nullptr, tab == test.emptyTab) << tab;
            EXPECT_TRUE(pages[tab] == nullptr || tabs->GetItemAt(tab) == pages[tab]) << tab;
        }
        ASSERT_NE(frame->GetBatchPage(), nullptr);
        EXPECT_EQ(std::filesystem::exists(work->AdPageFile()), test.emptyTab != 0);
        // Nothing of a half-built page is left in the window, and no dialog told of it.
        for (const char* name : {"btn_single_file", "edit_single_name", "singleListElement1"})
            EXPECT_EQ(Manager().FindControl(name) == nullptr, test.emptyTab == 1) << name;
        EXPECT_TRUE(backend.Dialogs().empty());

        // Every option is set up and shows its own tab; the failed page's tab is empty.
        EXPECT_TRUE(Option("adOption")->IsSelected());
        EXPECT_EQ(tabs->GetCurSel(), 0);
        for (int index : {1, 2, 3, 0}) {
            ASSERT_TRUE(CHeadlessBackend::Click(Manager(), options[index])) << options[index];
            EXPECT_EQ(tabs->GetCurSel(), index) << options[index];
        }
        if (test.emptyTab >= 0) {
            auto* empty = dynamic_cast<CContainerUI*>(tabs->GetItemAt(test.emptyTab));
            ASSERT_NE(empty, nullptr);
            EXPECT_EQ(empty->GetCount(), 0);
        }

        // Every timer still reaches the batch list, which acts only on its own: another control's
        // passes; its own, with nothing listed, finds the run over and gives the start button back.
        BatchListControl* list = frame->GetBatchPage()->GetListControl();
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
    ASSERT_TRUE(OpenFrame());
    const fs::path torrent = work->path / "dropped.torrent";
    WriteFile(torrent, BuildTorrent(SingleFile("movie.mkv", 1000)));
    // Files without ".torrent" in their names are passed over; the first torrent opens.
    ASSERT_TRUE(backend.DropFiles(frame->GetHWND(), {(work->path / "notes.txt").string(), torrent.string()}));
    EXPECT_EQ(frame->GetTabLayout()->GetCurSel(), 1);
    EXPECT_EQ(Find<CEditUI>("edit_single_file")->GetText(), CDuiString(torrent.string()));
    EXPECT_EQ(Find<CEditUI>("edit_single_file1")->GetText(), "movie.mkv");
    // A dropped file that is no torrent says so, as the open dialog's choice would.
    const fs::path broken = work->path / "broken.torrent";
    WriteFile(broken, "no torrent");
    EXPECT_EQ(Notice([&] { backend.DropFiles(frame->GetHWND(), {broken.string()}); }),
        "  选择的种子文件不存在,请检查文件路径 !\n");
}

class ProgramRunTest : public apptest::HeadlessTest { };

// The program opens a torrent given as its only argument, and ends with 0 however its window closes.
TEST_F(ProgramRunTest, ARunOpensAnOnlyTorrentArgumentAndEndsWithZeroHoweverTheWindowCloses)
{
    WorkingFolder work;
    const std::string torrent = (work.path / "given.torrent").string();
    WriteFile(torrent, BuildTorrent(SingleFile("movie.mkv", 1000)));
    struct Case {
        std::vector<std::string> arguments;
        bool closeButton;  // or the window system's close
        std::string shown; // the single page's first file name
    };
    const Case cases[] = {{{torrent}, true, "movie.mkv"}, {{torrent, "second"}, true, ""}, {{}, false, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments.size() << " arguments, close button " << c.closeButton);
        std::string shown;
        const auto onShown = [&](CMainFrameWnd& main) {
            shown = main.GetPaintManager()->FindControl("edit_single_file1")->GetText().str();
            backend.QueueAction([&, window = &main] {
                if (c.closeButton)
                    EXPECT_TRUE(CHeadlessBackend::Click(*window->GetPaintManager(), "closebtn"));
                else
                    backend.SimulateWindowSystemClose(window->GetHWND());
            });
        };
        EXPECT_EQ(RunKelpmere(backend, nullptr, apptest::PackedSkinFolder().c_str(), onShown, c.arguments), 0);
        EXPECT_EQ(shown, c.shown);
        backend.FlushClosedWindows();
        const auto* record = backend.FindWindow("MainFrameWnd");
        ASSERT_NE(record, nullptr);
        EXPECT_TRUE(record->destroyed);
    }
}

} // namespace
