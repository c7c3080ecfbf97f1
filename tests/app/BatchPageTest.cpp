// The batch page on the headless backend, its folder dialogs and notice boxes scripted and its
// clock moved only by the test.

#include "AppTestSupport.h"

#include "support/TestTorrents.h"
#include "support/WorkingFolder.h"
#include "toolkit/CListUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "torrent/BatchConversion.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"
#include "ui/batch/BatchListElementUI.h"
#include "ui/list/RerListBaseUI.h"

#include <map>
#include <tuple>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kConverted = "保存转换的种子成功!";
const std::string kNoDestination = "  您还没有选择需要积存的种子路径 !\n";
const std::string kSameFolder = "  保存路径不能与原路径相同 !\n";
constexpr UIColor kFresh = 0xFFF7D9B5;
constexpr UIColor kFailedRow = 0xFFFD4D59;

class BatchPageTest : public apptest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(OpenFrame("batchOption") && frame->GetBatchPage() != nullptr && List() != nullptr);
        // The stems come from the backend's clock, which only the test's ticks move.
        List()->makeStem = [this](std::uint32_t index) {
            return FormatBatchStem(1700000000, static_cast<std::uint32_t>(backend.Clock()), index);
        };
    }

    BatchListControl* List() { return frame->GetBatchPage()->GetListControl(); }
    bool StartEnabled() { return Manager().FindControl("btn_batch_conver")->IsEnabled(); }
    std::string Text(const char* name) { return Manager().FindControl(name)->GetText().str(); }
    std::string Rate() { return Text("text_batch_rate"); }
    BatchListElementUI& Row(int position)
    {
        if (BatchListElementUI* row = List()->RowAt(position))
            return *row;
        throw std::runtime_error("no row at " + std::to_string(position));
    }
    std::string State(int position) { return Row(position).GetStateText()->GetText().str(); }
    UIColor Background(int position) { return Row(position).GetElementLayout()->GetBkColor(); }
    void ExpectRow(int position, const std::string& state, UIColor colour, UIColor background)
    {
        EXPECT_EQ(State(position), state) << position;
        EXPECT_EQ(Row(position).GetStateText()->GetTextColor(), colour) << position;
        EXPECT_EQ(Background(position), background) << position;
    }
    int VisibleRows()
    {
        int visible = 0;
        for (int position = 0; position < List()->GetList()->GetCount(); ++position)
            visible += Row(position).IsVisible();
        return visible;
    }

    // The user picks folder in the folder dialog of button (nullopt: cancels it).
    void Choose(const char* button, std::optional<fs::path> folder)
    {
        backend.QueueFolderAnswer(folder ? std::optional<std::string>(folder->string()) : std::nullopt);
        ASSERT_TRUE(CHeadlessBackend::Click(Manager(), button));
    }
    void ChooseSource(std::optional<fs::path> folder) { Choose("btn_batch_src", std::move(folder)); }
    void ChooseDest(std::optional<fs::path> folder) { Choose("btn_batch_des", std::move(folder)); }
    void TypeDest(const std::string& text) { CHeadlessBackend::TypeText(Manager(), "edit_batch_des", text.c_str()); }
    bool ClickStart() { return CHeadlessBackend::Click(Manager(), "btn_batch_conver"); }
    void Tick() { backend.AdvanceClock(BatchListControl::kRunIntervalMs); }
    // Ticks until the start button comes back; the number of ticks it took.
    int RunToEnd()
    {
        int ticks = 0;
        for (; !StartEnabled() && ticks < 1000; ++ticks)
            Tick();
        return ticks;
    }
    // Chooses both folders, clicks start and runs to the end; the number of ticks.
    int Convert(const fs::path& from, const fs::path& to)
    {
        ChooseSource(from);
        ChooseDest(to);
        return ClickStart() ? RunToEnd() : -1;
    }
    void Put(const std::string& relativePath, const std::string& bytes) { WriteFile(source / relativePath, bytes); }
    static std::string Torrent(const std::string& name) { return BuildTorrent(SingleFile(name, 1000)); }
    // Chooses a new folder of count torrents t0.torrent... (none loads when broken) as the source
    // and dest/<count> as the destination.
    void ChooseMany(int count, bool broken = false)
    {
        const fs::path folder = temp.path / std::to_string(count);
        fs::create_directories(folder);
        for (int i = 0; i < count; ++i)
            WriteFile(folder / ("t" + std::to_string(i) + ".torrent"), broken ? "no torrent" : Torrent("f.bin"));
        ChooseSource(folder);
        ChooseDest(dest / std::to_string(count));
    }

    // The program writes its advertisement page below the folder it starts in.
    WorkingFolder work;
    TempFolder temp;
    fs::path source = temp.path / "source";
    fs::path dest = temp.path / "dest";
};

TEST_F(BatchPageTest, AtStartUpOnlyTheSourceCanBeChosen)
{
    EXPECT_FALSE(StartEnabled() || Manager().FindControl("edit_batch_src")->IsEnabled());
    TypeDest(dest.string());
    EXPECT_FALSE(ClickStart());
    EXPECT_EQ(VisibleRows(), 0);
}

TEST_F(BatchPageTest, ChoosingTheSourceListsItsTorrentsInPathOrder)
{
    Put("b.torrent", Torrent("b.mkv"));
    Put("a/c.torrent", Torrent("c.mkv"));
    TypeDest(dest.string());
    ChooseSource(source);
    EXPECT_EQ(Text("edit_batch_src"), source.string());
    EXPECT_EQ(Rate(), "0/2");
    EXPECT_TRUE(StartEnabled());
    ASSERT_EQ(List()->RowsInUse(), 2u);
    EXPECT_EQ(VisibleRows(), 2);
    EXPECT_EQ(Row(0).GetSourceText()->GetText().str(), (source / "a" / "c.torrent").string());
    EXPECT_EQ(Row(1).GetSourceText()->GetText().str(), (source / "b.torrent").string());
    EXPECT_TRUE(Row(1).GetOutputText()->GetText().IsEmpty());
}

TEST_F(BatchPageTest, ACancelledFolderDialogKeepsTheChoice)
{
    Put("b.torrent", Torrent("b.mkv"));
    ChooseSource(source);
    ChooseDest(dest);
    ChooseSource(std::nullopt);
    ChooseDest(std::nullopt);
    EXPECT_EQ(Text("edit_batch_src"), source.string());
    EXPECT_EQ(Text("edit_batch_des"), dest.string());
    EXPECT_EQ(List()->RowsInUse(), 1u);
    ASSERT_EQ(backend.Dialogs().size(), 4u);
    for (const CHeadlessBackend::DialogRecord& dialog : backend.Dialogs())
        EXPECT_TRUE(dialog.kind == CHeadlessBackend::DialogKind::Folder && dialog.hadOwner);
}

TEST_F(BatchPageTest, StartRefusesOnlyAnEmptyDestinationOrOneNamingTheSourceFolder)
{
    // The page's own call is refused also before a source is chosen.
    EXPECT_EQ(Notice([&] { frame->GetBatchPage()->StartConversion(); }), kNoDestination);
    Put("b.torrent", Torrent("b.mkv"));
    Put("a/c.torrent", Torrent("c.mkv"));
    ChooseSource(source);
    const std::string sourceBytes = ReadFile(source / "b.torrent");
    std::vector<std::pair<std::string, std::optional<std::string>>> cases{{"", kNoDestination},
        {source.string(), kSameFolder}, {source.string() + "/", kSameFolder}, {source.string() + "/.", kSameFolder},
        {source.parent_path().string() + "//source", kSameFolder},
        // A folder inside the source is taken as typed.
        {(source / "inside").string(), std::nullopt}};
#ifdef _WIN32
    // Names that differ in case name the same folder here.
    cases.emplace_back(source.parent_path().string() + "/SOURCE", kSameFolder);
#else
    // A link to the source is the source; another folder named in another case is taken as typed.
    fs::create_directory_symlink(source, temp.path / "link");
    cases.emplace_back((temp.path / "link").string(), kSameFolder);
    cases.emplace_back(source.parent_path().string() + "/SOURCE", std::nullopt);
#endif
    for (const auto& [typed, notice] : cases) {
        SCOPED_TRACE(typed);
        TypeDest(typed);
        EXPECT_EQ(Notice([&] { ClickStart(); }), notice);
        EXPECT_EQ(CPaintManagerUI::NextTimerDue().has_value(), !notice.has_value());
        RunToEnd();
    }
    EXPECT_EQ(ReadFile(source / "b.torrent"), sourceBytes);
#ifndef _WIN32
    EXPECT_TRUE(fs::exists(source.parent_path() / "SOURCE" / "b.torrent"));
#endif
    EXPECT_TRUE(fs::exists(source / "inside" / "a" / "c.torrent"));
}

TEST_F(BatchPageTest, EachTickAdvancesTheRunByOneTorrent)
{
    const std::map<int, std::vector<int>> progress{{1, {100}}, {3, {34, 67, 100}}, {6, {17, 34, 50, 67, 84, 100}}};
    auto* bar = Manager().FindControl<CProgressUI>("BatchConverProcessUI");
    ASSERT_NE(bar, nullptr);
    for (const auto& [count, values] : progress) {
        SCOPED_TRACE(count);
        ChooseMany(count);
        ASSERT_TRUE(ClickStart());
        for (int tick = 1; tick <= count; ++tick) {
            Tick();
            EXPECT_EQ(Rate(), std::to_string(tick) + "/" + std::to_string(count));
            EXPECT_EQ(bar->GetValue(), values[static_cast<std::size_t>(tick - 1)]);
            EXPECT_TRUE(fs::exists(dest / std::to_string(count) / ("t" + std::to_string(tick - 1) + ".torrent")));
            EXPECT_FALSE(fs::exists(dest / std::to_string(count) / ("t" + std::to_string(tick) + ".torrent")));
        }
        RunToEnd();
    }
}

TEST_F(BatchPageTest, TheRunEndsOneTickAfterTheLastTorrent)
{
    for (const auto& [count, ticks, rate] : {std::tuple{0, 1, "0/0"}, {1, 2, "1/1"}, {3, 4, "3/3"}}) {
        SCOPED_TRACE(count);
        ChooseMany(count);
        ASSERT_TRUE(ClickStart());
        EXPECT_EQ(RunToEnd(), ticks);
        EXPECT_TRUE(StartEnabled() && !CPaintManagerUI::NextTimerDue());
        EXPECT_EQ(Rate(), rate);
    }
}

TEST_F(BatchPageTest, EveryOutcomeShowsItsStateInItsRow)
{
    // Each torrent and the state its row ends in; in the destination a file takes the place of
    // the folder "3".
    const std::vector<std::tuple<std::string, std::string, std::string>> rows{
        {"/1-good.torrent", Torrent("movie.mkv"), kConverted},
        {"/2-text.torrent", "this is no torrent", "种子文件分析失败 请检查种子文件!"},
        {"/3/blocked.torrent", Torrent("b.mkv"), "保存种子文件的目录有误 请检查目录!"}};
    for (const auto& [path, bytes, state] : rows)
        Put(path.substr(1), bytes);
    WriteFile(dest / "3", "a file where the output folder should be");
    EXPECT_EQ(Convert(source, dest), 4);
    for (int position = 0; position < 3; ++position) {
        const auto& [path, bytes, state] = rows[static_cast<std::size_t>(position)];
        SCOPED_TRACE(path);
        EXPECT_EQ(
            Row(position).GetSourceText()->GetText().str(), fs::path(source.string() + path).make_preferred().string());
        EXPECT_EQ(
            Row(position).GetOutputText()->GetText().str(), fs::path(dest.string() + path).make_preferred().string());
        EXPECT_EQ(fs::is_regular_file(dest / path.substr(1)), state == kConverted);
        if (state == kConverted)
            ExpectRow(position, state, 0xFF0000FFU, kFresh);
        else
            ExpectRow(position, state, 0xFFFF0000U, kFailedRow);
    }
    EXPECT_EQ(backend.FindWindow("NoticeBoxUI"), nullptr);
}

TEST_F(BatchPageTest, TheHintLineTellsHowTheRunEnded)
{
    Put("good.torrent", Torrent("movie.mkv"));
    Put("bad.torrent", "this is no torrent");
    Put("worse.torrent", "nor is this");
    EXPECT_EQ(Text("label_batch_hint"), "");
    ASSERT_EQ(Convert(source, dest), 4);
    EXPECT_EQ(Text("label_batch_hint"), "转换结束：成功 1 个，失败 2 个。");
    EXPECT_EQ(Rate(), "3/3");
    // A new start, and a new list, leave the ended run's summary behind.
    ASSERT_TRUE(ClickStart());
    EXPECT_EQ(Text("label_batch_hint"), "");
    RunToEnd();
    ChooseSource(source);
    EXPECT_EQ(Text("label_batch_hint"), "");
}

TEST_F(BatchPageTest, ANewListStartsTheBarEmpty)
{
    ChooseMany(2);
    ASSERT_TRUE(ClickStart());
    RunToEnd();
    auto* bar = Manager().FindControl<CProgressUI>("BatchConverProcessUI");
    ASSERT_EQ(bar->GetValue(), 100);
    ChooseMany(3);
    EXPECT_EQ(bar->GetValue(), 0);
    EXPECT_EQ(Rate(), "0/3");
}

TEST_F(BatchPageTest, EachFolderDialogOpensInTheFolderLastChosenInIt)
{
    fs::create_directories(source);
    ChooseSource(source);
    ChooseDest(dest);
    Choose("btn_batch_src", std::nullopt); // a cancelled dialog leaves its folder as it was
    ChooseSource(temp.path);
    ChooseDest(dest);
    std::vector<std::string> folders;
    for (const auto& dialog : backend.Dialogs())
        folders.push_back(dialog.initialFolder);
    // Empty the first time: the backend opens the user's home folder.
    EXPECT_EQ(folders, (std::vector<std::string>{"", "", source.string(), source.string(), dest.string()}));
}

TEST_F(BatchPageTest, RowsOfANewScanLookFreshAlsoAfterARun)
{
    Put("1-good.torrent", Torrent("movie.mkv"));
    Put("2-text.torrent", "this is no torrent");
    for (int run = 0; run < 2; ++run) {
        if (run == 1) {
            EXPECT_EQ(Convert(source, dest), 3);
        }
        ChooseSource(source);
        for (int position = 0; position < 2; ++position) {
            ExpectRow(position, "", 0xFFFFFFFFU, kFresh);
            EXPECT_TRUE(Row(position).GetOutputText()->GetText().IsEmpty());
        }
    }
}

TEST_F(BatchPageTest, AReadOnlyDestinationFailsEveryTorrentAtTheSave)
{
#ifdef _WIN32
    GTEST_SKIP() << "a folder's read-only attribute does not stop files being made in it";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders, so only another user meets one";
#endif
    Put("a.torrent", Torrent("a.mkv"));
    Put("b.torrent", Torrent("b.mkv"));
    const fs::path locked = temp.path / "locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Convert(source, locked), 3);
    for (int position = 0; position < 2; ++position)
        ExpectRow(position, "保存转换的种子失败 请检查存储路径!", 0xFFFF0000U, kFailedRow);
}

TEST_F(BatchPageTest, TheListScrollsAlongWithTheRunAlsoOnAnotherTab)
{
    ChooseMany(25, true);
    CListUI* list = List()->GetList();
    ASSERT_EQ(list->GetScrollRange().cy, 2548);
    ASSERT_EQ(list->GetScrollPos().cy, 0);
    ASSERT_TRUE(ClickStart());
    // 25 rows over a range of 2548 pixels: done / 25 of the range, rounded up.
    const int positions[25] = {102, 204, 306, 408, 510, 612, 714, 816, 918, 1020, 1122, 1224, 1325, 1427, 1529, 1631,
        1733, 1835, 1937, 2039, 2141, 2243, 2345, 2447, 2548};
    for (int tick = 1; tick <= 25; ++tick) {
        if (tick == 10) {
            ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "singleOption"));
        }
        Tick();
        EXPECT_EQ(list->GetScrollPos().cy, positions[tick - 1]) << tick;
    }
    EXPECT_EQ(frame->GetTabLayout()->GetCurSel(), 1);
    EXPECT_EQ(list->GetScrollRange().cy, 2548);
    // 100 000 rows of 118 pixels: the product passes 2^32 long before the end.
    EXPECT_EQ(BatchListControl::ScrollAlongPosition(100000, 11799600, 100000), 11799600);
    EXPECT_EQ(BatchListControl::ScrollAlongPosition(50000, 11799600, 100000), 5899800);
}

TEST_F(BatchPageTest, AShorterScanReusesTheRowsOfTheLongerOne)
{
    ChooseMany(25);
    std::vector<BatchListElementUI*> rows;
    for (int position = 0; position < 25; ++position)
        rows.push_back(&Row(position));
    for (int count : {1, 0}) {
        SCOPED_TRACE(count);
        ChooseMany(count);
        ASSERT_EQ(List()->GetList()->GetCount(), 25);
        for (int position = 0; position < 25; ++position)
            EXPECT_EQ(&Row(position), rows[static_cast<std::size_t>(position)]);
        EXPECT_TRUE(VisibleRows() == count && List()->RowsInUse() == static_cast<std::size_t>(count));
        EXPECT_EQ(Rate(), "0/" + std::to_string(count));
    }
}

TEST_F(BatchPageTest, ADestinationInsideTheSourceIsNeverWashedAgain)
{
    Put("a.torrent", Torrent("a.mkv"));
    Put("sub/b.torrent", Torrent("b.mkv"));
    const fs::path out = source / "out";
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        // The second run has the destination chosen before the source.
        if (run == 0)
            ChooseSource(source);
        ChooseDest(out);
        if (run == 1)
            ChooseSource(source);
        ASSERT_TRUE(ClickStart());
        RunToEnd();
        // The second scan finds the first run's output; its rows say why they were left alone.
        ASSERT_EQ(List()->RowsInUse(), run == 0 ? 2u : 4u);
        for (int position = 0; position < static_cast<int>(List()->RowsInUse()); ++position) {
            const std::string& folder = Row(position).GetItem().relativeDir;
            const bool inOut = folder.size() >= 4 && folder.compare(1, 3, "out") == 0;
            EXPECT_EQ(State(position), inOut ? "种子文件位于保存路径中 不再转换!" : kConverted) << position;
            EXPECT_EQ(Background(position), inOut ? kFailedRow : kFresh) << position;
        }
    }
    EXPECT_TRUE(fs::exists(out / "a.torrent") && fs::exists(out / "sub" / "b.torrent"));
    EXPECT_FALSE(fs::exists(out / "out"));
}

TEST_F(BatchPageTest, ChoosingFoldersDuringARunKeepsTheRunsDestination)
{
    for (const char* name : {"a", "b", "c"})
        Put(std::string(name) + ".torrent", Torrent(std::string(name) + ".mkv"));
    for (const char* name : {"p", "q", "r", "s"})
        WriteFile(temp.path / "second" / (std::string(name) + ".torrent"), Torrent("n.mkv"));
    ChooseSource(source);
    ChooseDest(dest);
    ASSERT_TRUE(ClickStart());
    Tick();
    EXPECT_EQ(Rate(), "1/3");

    ChooseDest(temp.path / "elsewhere");
    ChooseSource(temp.path / "second");
    EXPECT_TRUE(Rate() == "0/4" && StartEnabled() && List()->CurrentIndex() == 1u);
    Tick();
    EXPECT_EQ(Rate(), "2/4");
    EXPECT_EQ(Row(1).GetOutputText()->GetText().str(), (dest / "q.torrent").string());
    Tick();
    Tick();
    EXPECT_EQ(Rate(), "4/4");
    for (const auto& [name, written] :
        std::initializer_list<std::pair<const char*, bool>>{{"a", true}, {"s", true}, {"p", false}})
        EXPECT_EQ(fs::exists(dest / (std::string(name) + ".torrent")), written) << name;
    EXPECT_FALSE(fs::exists(temp.path / "elsewhere"));
}

} // namespace
