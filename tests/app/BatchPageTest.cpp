// The batch page on the headless backend: choosing folders, the checks before a run, the run
// itself tick by tick (row states, counter, progress, scrolling), pooled rows and the output
// tree. Folder dialogs and notice boxes are scripted; the clock is the backend's.

#include "AppTestSupport.h"

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "support/WorkingFolder.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "toolkit/CWindowWnd.h"
#include "torrent/CTorrentParser.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"
#include "ui/batch/BatchListElementUI.h"
#include "ui/list/RerListBaseUI.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kConverted = "保存转换的种子成功!";
const std::string kLoadFailed = "种子文件分析失败 请检查种子文件!";
const std::string kAnalyzeFailed = "获取种子信息失败 请检查种子文件!";
const std::string kWashFailed = "清洗种子文件失败 请检查种子文件!";
const std::string kFolderFailed = "保存种子文件的目录有误 请检查目录!";
const std::string kSaveFailed = "保存转换的种子失败 请检查存储路径!";
const std::string kNoDestination = "  您还没有选择需要积存的种子路径 !\n";
const std::string kSameFolder = "  保存路径不能与原路径相同 !\n";

// The headless backend, also noting the text of every notice box when it shows.
class NoticeRecordingBackend : public CHeadlessBackend {
public:
    UIWindowHandle CreateNativeWindow(CWindowWnd& window, UIWindowHandle parent, const CDuiString& title,
                                      std::uint32_t style, std::uint32_t exStyle, UIRect rect) override
    {
        UIWindowHandle handle = CHeadlessBackend::CreateNativeWindow(window, parent, title, style, exStyle, rect);
        windows[handle] = &window;
        return handle;
    }
    void ShowNativeWindow(UIWindowHandle handle, bool show) override
    {
        CHeadlessBackend::ShowNativeWindow(handle, show);
        CWindowWnd* window = windows[handle];
        if (!show || window == nullptr || std::string(window->GetWindowClassName()) != "NoticeBoxUI")
            return;
        CControlUI* text = window->GetPaintManager()->FindControl("TextUI");
        notices.push_back(text != nullptr ? text->GetText().str() : "(no text)");
        owners.push_back(RecordOf(handle)->parent);
    }

    std::vector<std::string> notices;
    std::vector<UIWindowHandle> owners;

private:
    std::map<UIWindowHandle, CWindowWnd*> windows;
};

class BatchPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetBackend(&backend);
        CPaintManagerUI::SetResourcePath(apptest::PackedSkinFolder().c_str());
        CPaintManagerUI::SetResourceZip("kelpmeres.zip");
        frame = CreateMainFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(frame->GetBatchPage(), nullptr);
        ASSERT_NE(List(), nullptr);
        ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "batchOption"));
    }
    void TearDown() override
    {
        if (frame != nullptr)
            frame->Close(0);
        backend.FlushClosedWindows();
        CPaintManagerUI::SetBackend(nullptr);
    }

    CPaintManagerUI& Manager() { return *frame->GetPaintManager(); }
    BatchControlUI& Page() { return *frame->GetBatchPage(); }
    BatchListControl* List() { return frame->GetBatchPage()->GetListControl(); }
    CButtonUI& StartButton() { return *Manager().FindControl<CButtonUI>("btn_batch_conver"); }
    CEditUI& SourceEdit() { return *Manager().FindControl<CEditUI>("edit_batch_src"); }
    CEditUI& DestEdit() { return *Manager().FindControl<CEditUI>("edit_batch_des"); }
    std::string Rate() { return Manager().FindControl("text_batch_rate")->GetText().str(); }
    int Progress() { return List()->GetProgressBar()->GetValue(); }
    BatchListElementUI& Row(int position)
    {
        BatchListElementUI* row = List()->RowAt(position);
        if (row == nullptr)
            throw std::runtime_error("no row at " + std::to_string(position));
        return *row;
    }
    int VisibleRows()
    {
        int visible = 0;
        for (int position = 0; position < List()->GetList()->GetCount(); ++position)
            visible += Row(position).IsVisible() ? 1 : 0;
        return visible;
    }

    // The user picks folder in the source dialog (nullopt: cancels it).
    void ChooseSource(std::optional<std::string> folder)
    {
        backend.QueueFolderAnswer(std::move(folder));
        ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "btn_batch_src"));
    }
    void ChooseDest(std::optional<std::string> folder)
    {
        backend.QueueFolderAnswer(std::move(folder));
        ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "btn_batch_des"));
    }
    bool ClickStart() { return CHeadlessBackend::Click(Manager(), "btn_batch_conver"); }
    void Tick() { backend.AdvanceClock(BatchListControl::kRunIntervalMs); }
    // Ticks until the start button comes back; the number of ticks it took.
    int RunToEnd(int limit = 1000)
    {
        int ticks = 0;
        while (!StartButton().IsEnabled() && ticks < limit) {
            Tick();
            ++ticks;
        }
        return ticks;
    }

    // Writes a torrent below the source folder.
    void Put(const std::string& relativePath, const std::string& bytes) { WriteFile(source / relativePath, bytes); }
    static std::string Torrent(const std::string& name, int64_t length = 1000)
    {
        return BuildTorrent(SingleFile(name, length));
    }

    NoticeRecordingBackend backend;
    // The program writes its advertisement page below the folder it starts in.
    WorkingFolder work;
    CMainFrameWnd* frame = nullptr;
    TempFolder temp;
    fs::path source = temp.path / "source";
    fs::path dest = temp.path / "dest";
};

TEST_F(BatchPageTest, AtStartUpStartCannotBeClickedEvenWithADestinationAndTheSourceCanOnlyBeChosen)
{
    EXPECT_FALSE(StartButton().IsEnabled());
    EXPECT_FALSE(SourceEdit().IsEnabled());
    EXPECT_TRUE(DestEdit().IsEnabled());
    ASSERT_TRUE(CHeadlessBackend::TypeText(Manager(), "edit_batch_des", dest.c_str()));
    EXPECT_FALSE(ClickStart());
    EXPECT_TRUE(backend.notices.empty());
    for (const char* name : {"btn_batch_src", "btn_batch_des", "btn_batch_conver"}) {
        SCOPED_TRACE(name);
        auto* button = Manager().FindControl<CButtonUI>(name);
        EXPECT_EQ(button->GetHotBkColor(), 0xFFFF2D2DU);
        EXPECT_EQ(button->GetBorderSize(), 1);
    }

    // The list starts with its pool of hidden rows; the progress bar waits at 1 of 1..100.
    EXPECT_EQ(List()->GetList()->GetCount(), 20);
    EXPECT_EQ(VisibleRows(), 0);
    CProgressUI* bar = Manager().FindControl<CProgressUI>("BatchConverProcessUI");
    ASSERT_EQ(bar, List()->GetProgressBar());
    EXPECT_EQ(bar->GetParent(), Manager().FindControl("BatchFunLayoutUI"));
    EXPECT_EQ(bar->GetValue(), 1);
}

TEST_F(BatchPageTest, ChoosingASourceListsItsTorrentsShowsZeroOfNAndEnablesStartEvenWhenNoneIsFound)
{
    Put("b.torrent", Torrent("b.mkv"));
    Put("a/c.torrent", Torrent("c.mkv"));
    Put("a.torrent.bak", "listed: its path holds \".torrent\"");
    Put("notes.txt", "no torrent");
    fs::create_directories(temp.path / "empty");

    ChooseSource(std::nullopt);
    EXPECT_TRUE(SourceEdit().GetText().IsEmpty());
    EXPECT_FALSE(StartButton().IsEnabled());

    ChooseSource(source.string());
    EXPECT_EQ(SourceEdit().GetText().str(), source.string());
    EXPECT_EQ(Rate(), "0/3");
    EXPECT_TRUE(StartButton().IsEnabled());
    ASSERT_EQ(List()->RowsInUse(), 3u);
    EXPECT_EQ(VisibleRows(), 3);
    EXPECT_EQ(Row(0).GetSourceText()->GetText().str(), source.string() + "/a/c.torrent");
    EXPECT_EQ(Row(1).GetSourceText()->GetText().str(), source.string() + "/a.torrent.bak");
    EXPECT_EQ(Row(2).GetSourceText()->GetText().str(), source.string() + "/b.torrent");
    EXPECT_EQ(Row(2).GetItem().sourceRoot, source.string());
    EXPECT_TRUE(Row(2).GetOutputText()->GetText().IsEmpty());

    // Cancelling a later dialog keeps everything; the destination dialog touches only its edit.
    ChooseSource(std::nullopt);
    ChooseDest(dest.string());
    EXPECT_EQ(SourceEdit().GetText().str(), source.string());
    EXPECT_EQ(DestEdit().GetText().str(), dest.string());
    EXPECT_EQ(List()->RowsInUse(), 3u);
    ChooseDest(std::nullopt);
    EXPECT_EQ(DestEdit().GetText().str(), dest.string());

    ChooseSource((temp.path / "empty").string());
    EXPECT_EQ(Rate(), "0/0");
    EXPECT_TRUE(StartButton().IsEnabled());

    ASSERT_EQ(backend.Dialogs().size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(backend.Dialogs()[i].kind, CHeadlessBackend::DialogKind::Folder);
        EXPECT_EQ(backend.Dialogs()[i].title, i == 3 || i == 4 ? "请选择转换后种子存放目录" : "请选择需要转换的种子目录");
        EXPECT_TRUE(backend.Dialogs()[i].hadOwner);
    }
}

TEST_F(BatchPageTest, StartRefusesAnEmptyDestinationAndOnlyTheSourceTextItselfWithANoticeOverTheWindow)
{
    // An empty destination is told first, even with no source either.
    Page().StartConversion();
    ASSERT_EQ(backend.notices, std::vector<std::string>{kNoDestination});
    EXPECT_EQ(backend.owners.back(), frame->GetHWND());

    Put("x.torrent", Torrent("x.mkv"));
    ChooseSource(source.string());
    ASSERT_TRUE(ClickStart());
    EXPECT_EQ(backend.notices.back(), kNoDestination);
    ASSERT_TRUE(CHeadlessBackend::TypeText(Manager(), "edit_batch_des", source.c_str()));
    ASSERT_TRUE(ClickStart());
    EXPECT_EQ(backend.notices.back(), kSameFolder);
    EXPECT_EQ(backend.notices.size(), 3u);
    EXPECT_TRUE(StartButton().IsEnabled());
    EXPECT_FALSE(CPaintManagerUI::NextTimerDue().has_value());

    // Other spellings of the source, and a folder inside it, are taken as typed.
    for (const std::string& typed : {source.string() + "/", source.parent_path().string() + "/SOURCE",
                                     (source / "inside").string()}) {
        SCOPED_TRACE(typed);
        ASSERT_TRUE(CHeadlessBackend::TypeText(Manager(), "edit_batch_des", typed.c_str()));
        ASSERT_TRUE(ClickStart());
        EXPECT_FALSE(StartButton().IsEnabled());
        EXPECT_EQ(List()->DestinationFolder(), typed);
        EXPECT_EQ(RunToEnd(), 2);
        EXPECT_EQ(Row(0).GetStateText()->GetText().str(), kConverted);
    }
    EXPECT_EQ(backend.notices.size(), 3u);
    EXPECT_TRUE(fs::exists(source / "inside" / "x.torrent"));
}

TEST_F(BatchPageTest, ARunTakesNPlusOneTicksMovingCounterAndProgressAndGivesTheButtonBackAtTheLast)
{
    const std::map<int, std::vector<int>> progress{
        {1, {100}}, {3, {34, 67, 100}}, {6, {17, 34, 50, 67, 84, 100}}};
    for (const auto& [count, values] : progress) {
        SCOPED_TRACE(count);
        const fs::path folder = temp.path / ("rows" + std::to_string(count));
        for (int i = 0; i < count; ++i)
            WriteFile(folder / ("t" + std::to_string(i) + ".torrent"), Torrent("f.bin"));
        ChooseSource(folder.string());
        ChooseDest((dest / std::to_string(count)).string());
        ASSERT_TRUE(ClickStart());
        const std::uint64_t started = backend.Clock();
        for (int tick = 1; tick <= count; ++tick) {
            Tick();
            EXPECT_EQ(Rate(), std::to_string(tick) + "/" + std::to_string(count));
            EXPECT_EQ(Progress(), values[static_cast<std::size_t>(tick - 1)]);
            EXPECT_FALSE(StartButton().IsEnabled());
            EXPECT_EQ(CPaintManagerUI::NextTimerDue(), backend.Clock() + 100);
        }
        Tick();
        EXPECT_TRUE(StartButton().IsEnabled());
        EXPECT_EQ(backend.Clock() - started, 100u * static_cast<std::uint64_t>(count + 1));
        EXPECT_FALSE(CPaintManagerUI::NextTimerDue().has_value());
        EXPECT_EQ(Rate(), std::to_string(count) + "/" + std::to_string(count));
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(fs::exists(dest / std::to_string(count) / ("t" + std::to_string(i) + ".torrent")));
    }
}

TEST_F(BatchPageTest, EveryOutcomeGetsItsStateTextColoursAndRowBackground)
{
    Put("1-good.torrent", Torrent("movie.mkv"));
    Put("2-text.torrent", "this is no torrent");
    TorrentDescription noAnnounce = SingleFile("a.mkv", 10);
    noAnnounce.announce.reset();
    Put("3-noannounce.torrent", BuildTorrent(noAnnounce));
    Put("4-empty.torrent", Torrent("empty.bin", 0));
    Put("5-nodot.torrent", Torrent("README"));
    Put("6/blocked.torrent", Torrent("b.mkv"));
    Put("7-taken.torrent", Torrent("c.mkv"));
    WriteFile(dest / "6", "a file where the output folder should be");
    fs::create_directories(dest / "7-taken.torrent" / "inside");

    ChooseSource(source.string());
    ChooseDest(dest.string());
    ASSERT_EQ(List()->RowsInUse(), 7u);
    for (int position = 0; position < 7; ++position) {
        EXPECT_EQ(Row(position).GetStateText()->GetTextColor(), 0xFFFFFFFFU);
        EXPECT_TRUE(Row(position).GetStateText()->GetText().IsEmpty());
        EXPECT_EQ(Row(position).GetElementLayout()->GetBkColor(), 0xFFF7D9B5U);
    }
    ASSERT_TRUE(ClickStart());
    EXPECT_EQ(RunToEnd(), 8);

    const std::vector<std::pair<std::string, std::string>> expected{
        {"/1-good.torrent", kConverted},  {"/2-text.torrent", kLoadFailed},     {"/3-noannounce.torrent", kLoadFailed},
        {"/4-empty.torrent", kAnalyzeFailed}, {"/5-nodot.torrent", kWashFailed}, {"/6/blocked.torrent", kFolderFailed},
        {"/7-taken.torrent", kSaveFailed}};
    for (int position = 0; position < 7; ++position) {
        const auto& [path, state] = expected[static_cast<std::size_t>(position)];
        SCOPED_TRACE(path);
        BatchListElementUI& row = Row(position);
        const bool converted = state == kConverted;
        EXPECT_EQ(row.GetSourceText()->GetText().str(), source.string() + path);
        EXPECT_EQ(row.GetOutputText()->GetText().str(), dest.string() + path);
        EXPECT_EQ(row.GetStateText()->GetText().str(), state);
        EXPECT_EQ(row.GetStateText()->GetTextColor(), converted ? 0xFF0000FFU : 0xFFFF0000U);
        EXPECT_EQ(row.GetElementLayout()->GetBkColor(), converted ? 0xFFF7D9B5U : 0xFFFD4D59U);
    }
    EXPECT_TRUE(fs::exists(dest / "1-good.torrent"));
    EXPECT_FALSE(fs::exists(dest / "5-nodot.torrent"));
    EXPECT_TRUE(fs::is_directory(dest / "7-taken.torrent" / "inside"));
    EXPECT_TRUE(backend.notices.empty());

    // A new fill gives the rows their fresh look again.
    ChooseSource(source.string());
    EXPECT_EQ(Row(1).GetElementLayout()->GetBkColor(), 0xFFF7D9B5U);
    EXPECT_EQ(Row(1).GetStateText()->GetTextColor(), 0xFFFFFFFFU);
    EXPECT_TRUE(Row(1).GetStateText()->GetText().IsEmpty());
    EXPECT_TRUE(Row(1).GetOutputText()->GetText().IsEmpty());
}

TEST_F(BatchPageTest, AReadOnlyDestinationFailsEveryRowAtTheSaveAndTheRunGoesOn)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders: the read-only destination can't be shown";
    Put("a.torrent", Torrent("a.mkv"));
    Put("b.torrent", Torrent("b.mkv"));
    fs::create_directories(dest);
    fs::permissions(dest, fs::perms::owner_read | fs::perms::owner_exec);
    ChooseSource(source.string());
    ChooseDest(dest.string());
    ASSERT_TRUE(ClickStart());
    EXPECT_EQ(RunToEnd(), 3);
    for (int position = 0; position < 2; ++position) {
        EXPECT_EQ(Row(position).GetStateText()->GetText().str(), kSaveFailed);
        EXPECT_EQ(Row(position).GetElementLayout()->GetBkColor(), 0xFFFD4D59U);
    }
}

TEST_F(BatchPageTest, TheListScrollsAlongWithTheRunAlsoWhileAnotherTabIsShown)
{
    for (int i = 0; i < 25; ++i)
        Put("t" + std::to_string(100 + i) + ".torrent", "no torrent: every row fails fast");
    ChooseSource(source.string());
    ChooseDest(dest.string());
    CListUI* list = List()->GetList();
    const int range = list->GetScrollRange().cy;
    ASSERT_GT(range, 0);
    EXPECT_EQ(list->GetScrollPos().cy, 0);

    ASSERT_TRUE(ClickStart());
    for (int tick = 1; tick <= 25; ++tick) {
        if (tick == 10) {
            ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "singleOption"));
        }
        Tick();
        SCOPED_TRACE(tick);
        EXPECT_EQ(list->GetScrollRange().cy, range);
        EXPECT_EQ(list->GetScrollPos().cy, static_cast<int>(std::ceil(static_cast<float>(tick * range / 25.0))));
    }
    EXPECT_EQ(frame->GetTabLayout()->GetCurSel(), 1);
    EXPECT_EQ(list->GetScrollPos().cy, range);
    Tick();
    EXPECT_TRUE(StartButton().IsEnabled());
}

TEST_F(BatchPageTest, AShorterScanReusesThePooledRowsAndHidesTheRestAndAnEmptyScanClearsTheList)
{
    for (int i = 0; i < 25; ++i)
        WriteFile(temp.path / "many" / ("t" + std::to_string(100 + i) + ".torrent"), Torrent("m.bin"));
    Put("a.torrent", Torrent("a.mkv"));
    Put("b.torrent", Torrent("b.mkv"));
    Put("c.torrent", Torrent("c.mkv"));
    fs::create_directories(temp.path / "nothing");

    ChooseSource((temp.path / "many").string());
    CListUI* list = List()->GetList();
    ASSERT_EQ(list->GetCount(), 25);
    std::vector<BatchListElementUI*> rows;
    for (int position = 0; position < 25; ++position) {
        rows.push_back(&Row(position));
        EXPECT_EQ(Row(position).GetIndex(), position + 1);
        EXPECT_EQ(Row(position).GetName().str(), "batchListElement" + std::to_string(position + 1));
    }
    EXPECT_EQ(VisibleRows(), 25);

    ChooseSource(source.string());
    ASSERT_EQ(list->GetCount(), 25);
    for (int position = 0; position < 25; ++position)
        EXPECT_EQ(&Row(position), rows[static_cast<std::size_t>(position)]);
    EXPECT_EQ(VisibleRows(), 3);
    EXPECT_EQ(List()->RowsInUse(), 3u);
    EXPECT_EQ(Row(0).GetSourceText()->GetText().str(), source.string() + "/a.torrent");
    EXPECT_EQ(Rate(), "0/3");

    // A folder without torrents leaves nothing of the earlier one to convert.
    ChooseSource((temp.path / "nothing").string());
    EXPECT_EQ(Rate(), "0/0");
    EXPECT_EQ(VisibleRows(), 0);
    EXPECT_EQ(List()->RowsInUse(), 0u);
    ChooseDest(dest.string());
    ASSERT_TRUE(ClickStart());
    EXPECT_FALSE(StartButton().IsEnabled());
    Tick();
    EXPECT_TRUE(StartButton().IsEnabled());
    EXPECT_FALSE(CPaintManagerUI::NextTimerDue().has_value());
    EXPECT_EQ(Rate(), "0/0");
    EXPECT_FALSE(fs::exists(dest / "a.torrent"));
}

TEST_F(BatchPageTest, TheOutputTreeMirrorsTheSourceAndEveryOutputKeepsItsPiecesUnderANewInfoHash)
{
    Put("top.torrent", Torrent("top.mkv", 3 << 20));
    Put("a/one.torrent", BuildTorrent(MultiFile({{{"disc 1", "intro.mkv"}, 5 << 20}, {{"cover.jpg"}, 1000}})));
    Put("a/b/two.torrent", Torrent("two.iso", 9 << 20));
    ChooseSource(source.string());
    ChooseDest(dest.string());
    ASSERT_TRUE(ClickStart());
    EXPECT_EQ(RunToEnd(), 4);

    for (const char* path : {"a/b/two.torrent", "a/one.torrent", "top.torrent"}) {
        SCOPED_TRACE(path);
        CTorrentParser before;
        CTorrentParser after;
        ASSERT_TRUE(before.LoadFromFile((source / path).c_str()) && before.Analyze());
        ASSERT_TRUE(after.LoadFromFile((dest / path).c_str()) && after.Analyze());
        ASSERT_EQ(after.pieceCount, before.pieceCount);
        EXPECT_EQ(std::string(after.pieces, static_cast<std::size_t>(after.pieceCount) * 20),
                  std::string(before.pieces, static_cast<std::size_t>(before.pieceCount) * 20));
        EXPECT_EQ(after.pieceLength, before.pieceLength);
        ASSERT_EQ(after.files.size(), before.files.size());
        for (std::size_t i = 0; i < after.files.size(); ++i) {
            EXPECT_EQ(after.files[i].length, before.files[i].length);
            EXPECT_NE(after.files[i].name.text, before.files[i].name.text);
        }
        // A single-file torrent's name is its file's name, compared above.
        if (!before.name.text.empty()) {
            EXPECT_NE(after.name.text, before.name.text);
        }
        EXPECT_NE(after.infoHashPrefix, before.infoHashPrefix);
    }
}

TEST_F(BatchPageTest, StartingAgainConvertsEveryRowAgainAndOverwritesTheOutputsWithNewNames)
{
    Put("x.torrent", Torrent("x.mkv"));
    Put("y/z.torrent", BuildTorrent(MultiFile({{{"d", "z.mkv"}, 10}})));
    ChooseSource(source.string());
    ChooseDest(dest.string());
    std::vector<std::string> names;
    std::vector<std::string> folders;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        // Two clicks on start are never within the same millisecond.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_TRUE(ClickStart());
        EXPECT_EQ(RunToEnd(), 3);
        EXPECT_EQ(Rate(), "2/2");
        CTorrentParser saved;
        ASSERT_TRUE(saved.LoadFromFile((dest / "x.torrent").c_str()) && saved.Analyze());
        ASSERT_EQ(saved.files.size(), 1u);
        names.push_back(saved.files[0].name.text);
        ASSERT_TRUE(saved.LoadFromFile((dest / "y" / "z.torrent").c_str()) && saved.Analyze());
        ASSERT_EQ(saved.files.size(), 1u);
        folders.push_back(saved.files[0].path.at(0).text + "/" + saved.files[0].name.text);
        EXPECT_EQ(Row(0).GetStateText()->GetText().str(), kConverted);
        EXPECT_EQ(Row(1).GetStateText()->GetText().str(), kConverted);
    }
    EXPECT_NE(names[0], names[1]);
    EXPECT_NE(folders[0], folders[1]);
    // The file is named from the digest of the stem, then its number and extension.
    EXPECT_EQ(names[1].substr(32), "_1.mkv");
}

TEST_F(BatchPageTest, ChoosingFoldersDuringARunRefillsTheListButKeepsTheRunsDestination)
{
    for (const char* name : {"a", "b", "c"})
        Put(std::string(name) + ".torrent", Torrent(std::string(name) + ".mkv"));
    for (const char* name : {"p", "q", "r", "s"})
        WriteFile(temp.path / "second" / (std::string(name) + ".torrent"), Torrent("n.mkv"));
    ChooseSource(source.string());
    ChooseDest(dest.string());
    ASSERT_TRUE(ClickStart());
    Tick();
    EXPECT_EQ(Rate(), "1/3");

    ChooseDest((temp.path / "elsewhere").string());
    ChooseSource((temp.path / "second").string());
    EXPECT_EQ(Rate(), "0/4");
    EXPECT_TRUE(StartButton().IsEnabled());
    EXPECT_EQ(List()->CurrentIndex(), 1u);
    Tick();
    EXPECT_EQ(Rate(), "2/4");
    EXPECT_EQ(Row(1).GetOutputText()->GetText().str(), dest.string() + "/q.torrent");
    Tick();
    Tick();
    EXPECT_EQ(Rate(), "4/4");
    EXPECT_TRUE(fs::exists(dest / "a.torrent"));
    EXPECT_TRUE(fs::exists(dest / "s.torrent"));
    EXPECT_FALSE(fs::exists(dest / "p.torrent"));
    EXPECT_FALSE(fs::exists(temp.path / "elsewhere"));
}

TEST(BatchRunArithmeticTest, TheScrollPositionOfALongListDoesNotOverflow)
{
    // 100 000 rows of 118 pixels: the product passes 2^32 long before the end.
    const int range = 100000 * 118 - 400;
    EXPECT_EQ(BatchListControl::ScrollAlongPosition(100000, range, 100000), range);
    EXPECT_EQ(BatchListControl::ScrollAlongPosition(50000, range, 100000), range / 2);
    EXPECT_EQ(BatchListControl::ScrollAlongPosition(1, 100, 3), 34);
}

} // namespace
