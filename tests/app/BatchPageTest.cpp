// The batch page on the headless backend, its folder dialogs and notice boxes scripted and its
// clock moved only by the test.

#include "AppTestSupport.h"

#include "support/ReloadedTorrent.h"
#include "support/TestTorrents.h"
#include "support/WorkingFolder.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "torrent/BatchConversion.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"
#include "ui/batch/BatchListElementUI.h"
#include "ui/list/RerListBaseUI.h"

#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kConverted = "保存转换的种子成功!";
const std::string kNoDestination = "  您还没有选择需要积存的种子路径 !\n";
const std::string kSameFolder = "  保存路径不能与原路径相同 !\n";
// The rows' backgrounds, and the colours of their states.
constexpr UIColor kFresh = 0xFFF7D9B5;
constexpr UIColor kFailedRow = 0xFFFD4D59;
constexpr UIColor kConvertedText = 0xFF0000FFU;
constexpr UIColor kFailedText = 0xFFFF0000U;

class BatchPageTest : public apptest::HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        ASSERT_TRUE(OpenFrame("batchOption") && frame->GetBatchPage() != nullptr && List() != nullptr);
        // Fixed clocks: the stems differ by their index only. Called on the workers.
        List()->makeStem = [](std::uint32_t index) { return FormatBatchStem(1700000000, 517, index); };
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
    void ExpectRow(int position, const std::string& state, UIColor colour, UIColor background)
    {
        EXPECT_EQ(Row(position).GetStateText()->GetText().str(), state) << position;
        EXPECT_EQ(Row(position).GetStateText()->GetTextColor(), colour) << position;
        EXPECT_EQ(Row(position).GetElementLayout()->GetBkColor(), background) << position;
    }
    int VisibleRows() { return apptest::VisibleRows(*List()->GetList()); }

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
    // Ticks until the start button comes back, each tick once the workers have converted every
    // row; the number of ticks it took.
    int RunToEnd()
    {
        int ticks = 0;
        for (; !StartEnabled() && ticks < 1000; ++ticks) {
            List()->WaitForConversions();
            Tick();
        }
        return ticks;
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

// At start-up only the source can be chosen; once it is, its torrents are listed. A cancelled
// dialog keeps the choice and its folder; each opens in the folder last chosen in it.
TEST_F(BatchPageTest, ChoosingTheSourceListsItsTorrentsAndEachDialogOpensInTheFolderLastChosenInIt)
{
    Put("b.torrent", Torrent("b.mkv"));
    Put("a/c.torrent", Torrent("c.mkv"));
    EXPECT_FALSE(StartEnabled() || Manager().FindControl("edit_batch_src")->IsEnabled());
    TypeDest(dest.string());
    EXPECT_FALSE(ClickStart());
    EXPECT_EQ(VisibleRows(), 0);
    ChooseSource(source);
    EXPECT_EQ(Rate(), "0/2");
    EXPECT_TRUE(StartEnabled());
    ASSERT_EQ(List()->RowsInUse(), 2u);
    EXPECT_EQ(VisibleRows(), 2);
    EXPECT_EQ(Row(0).GetSourceText()->GetText().str(), (source / "a" / "c.torrent").string());
    EXPECT_EQ(Row(1).GetSourceText()->GetText().str(), (source / "b.torrent").string());
    EXPECT_TRUE(Row(1).GetOutputText()->GetText().IsEmpty());
    ExpectRow(1, "", 0xFFFFFFFFU, kFresh);

    ChooseDest(dest);
    ChooseSource(std::nullopt);
    ChooseDest(std::nullopt);
    EXPECT_EQ(Text("edit_batch_src"), source.string());
    EXPECT_EQ(Text("edit_batch_des"), dest.string());
    EXPECT_EQ(List()->RowsInUse(), 2u);
    ChooseSource(temp.path);
    ChooseDest(dest);
    std::vector<std::string> folders;
    for (const CHeadlessBackend::DialogRecord& dialog : backend.Dialogs()) {
        EXPECT_TRUE(dialog.kind == CHeadlessBackend::DialogKind::Folder && dialog.hadOwner) << dialog.title;
        folders.push_back(dialog.initialFolder);
    }
    // Empty the first time: the backend opens the user's home folder.
    EXPECT_EQ(
        folders, (std::vector<std::string>{"", "", source.string(), dest.string(), source.string(), dest.string()}));
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

// The workers convert without waiting for the heartbeat; each tick shows what they finished
// since the last, and the tick after the last row ends the run. A shorter list reuses the rows
// made for a longer one, hidden.
TEST_F(BatchPageTest, EachTickShowsEveryRowFinishedSinceTheLastAndAShorterListReusesTheRows)
{
    auto* bar = Manager().FindControl<CProgressUI>("BatchConverProcessUI");
    ASSERT_NE(bar, nullptr);
    int made = 20;                         // twenty rows wait at start-up
    std::vector<BatchListElementUI*> rows; // those made for the list of 25
    for (const auto& [count, ticks] : {std::pair{0, 1}, {25, 2}, {1, 2}, {0, 1}}) {
        SCOPED_TRACE(count);
        ChooseMany(count);
        EXPECT_EQ(bar->GetValue(), 0) << "a new list starts the bar empty";
        EXPECT_EQ(Rate(), "0/" + std::to_string(count));
        EXPECT_TRUE(VisibleRows() == count && List()->RowsInUse() == static_cast<std::size_t>(count));
        made = std::max(made, count);
        ASSERT_EQ(List()->GetList()->GetCount(), made);
        if (count == 25)
            for (int position = 0; position < 25; ++position)
                rows.push_back(&Row(position));
        for (std::size_t position = 0; position < rows.size(); ++position)
            EXPECT_EQ(&Row(static_cast<int>(position)), rows[position]);
        ASSERT_TRUE(ClickStart());
        List()->WaitForConversions();
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(fs::exists(dest / std::to_string(count) / ("t" + std::to_string(i) + ".torrent"))) << i;
        EXPECT_EQ(Rate(), "0/" + std::to_string(count)) << "nothing is shown before the tick";
        EXPECT_EQ(RunToEnd(), ticks);
        EXPECT_EQ(Rate(), std::to_string(count) + "/" + std::to_string(count));
        EXPECT_EQ(bar->GetValue(), count == 0 ? 0 : 100);
        EXPECT_TRUE(StartEnabled() && !CPaintManagerUI::NextTimerDue());
    }
    // done * 100 / total, rounded up.
    for (const auto& [done, total, value] : {std::tuple{1u, 3u, 34}, {2u, 3u, 67}, {1u, 6u, 17}, {5u, 6u, 84}})
        EXPECT_EQ(BatchListControl::ProgressValue(done, total), value) << done << "/" << total;
}

// Closing the window during a run ends it between torrents: the torrents in hand are saved
// whole, none is left half written, and no other is started.
TEST_F(BatchPageTest, StoppingARunLeavesOnlyWholeTorrents)
{
    ChooseMany(300);
    ASSERT_TRUE(ClickStart());
    List()->StopRun();
    const fs::path out = dest / "300";
    int written = 0;
    std::error_code none; // no output yet when the stop came first
    for (const auto& entry : fs::recursive_directory_iterator(out, none)) {
        EXPECT_EQ(entry.path().extension(), ".torrent") << entry.path();
        EXPECT_TRUE(ReloadedTorrent(entry.path()).loaded) << entry.path();
        ++written;
    }
    EXPECT_LE(written, 300);
    EXPECT_FALSE(CPaintManagerUI::NextTimerDue()) << "the run is over";
}

// Each row shows how its torrent ended, and the hint line how the run did.
TEST_F(BatchPageTest, EveryOutcomeShowsItsStateInItsRowAndTheHintLineSumsThemUp)
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
    EXPECT_EQ(Text("label_batch_hint"), "");
    ChooseSource(source);
    ChooseDest(dest);
    ASSERT_TRUE(ClickStart());
    EXPECT_EQ(RunToEnd(), 2); // the rows shown, then the end
    EXPECT_EQ(Text("label_batch_hint"), "转换结束：成功 1 个，失败 2 个。");
    EXPECT_EQ(Rate(), "3/3");
    for (int position = 0; position < 3; ++position) {
        const auto& [path, bytes, state] = rows[static_cast<std::size_t>(position)];
        SCOPED_TRACE(path);
        EXPECT_EQ(
            Row(position).GetSourceText()->GetText().str(), fs::path(source.string() + path).make_preferred().string());
        EXPECT_EQ(
            Row(position).GetOutputText()->GetText().str(), fs::path(dest.string() + path).make_preferred().string());
        EXPECT_EQ(fs::is_regular_file(dest / path.substr(1)), state == kConverted);
        const bool converted = state == kConverted;
        ExpectRow(position, state, converted ? kConvertedText : kFailedText, converted ? kFresh : kFailedRow);
    }
    EXPECT_EQ(backend.FindWindow("NoticeBoxUI"), nullptr);
    // A new start, and a new list, leave the ended run's summary behind; a new scan makes every
    // row fresh again.
    ASSERT_TRUE(ClickStart());
    EXPECT_EQ(Text("label_batch_hint"), "");
    RunToEnd();
    ChooseSource(source);
    EXPECT_EQ(Text("label_batch_hint"), "");
    for (int position = 0; position < 3; ++position) {
        ExpectRow(position, "", 0xFFFFFFFFU, kFresh);
        EXPECT_TRUE(Row(position).GetOutputText()->GetText().IsEmpty());
    }
}

TEST_F(BatchPageTest, TheListScrollsAlongWithTheRunAlsoOnAnotherTab)
{
    ChooseMany(25, true);
    CListUI* list = List()->GetList();
    ASSERT_EQ(list->GetScrollRange().cy, 2548);
    ASSERT_EQ(list->GetScrollPos().cy, 0);
    ASSERT_TRUE(ClickStart());
    ASSERT_TRUE(CHeadlessBackend::Click(Manager(), "singleOption"));
    List()->WaitForConversions();
    Tick();
    EXPECT_EQ(list->GetScrollPos().cy, 2548);
    EXPECT_EQ(frame->GetTabLayout()->GetCurSel(), 1);
    EXPECT_EQ(list->GetScrollRange().cy, 2548);
    // done / total of the range, rounded up; 100 000 rows of 118 pixels: the product passes 2^32
    // long before the end.
    for (const auto& [done, range, total, position] : {std::tuple{1u, 2548, 25u, 102}, {13u, 2548, 25u, 1325},
             {100000u, 11799600, 100000u, 11799600}, {50000u, 11799600, 100000u, 5899800}})
        EXPECT_EQ(BatchListControl::ScrollAlongPosition(done, range, total), position) << done << "/" << total;
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
            ExpectRow(position, inOut ? "种子文件位于保存路径中 不再转换!" : kConverted,
                inOut ? kFailedText : kConvertedText, inOut ? kFailedRow : kFresh);
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

    // The workers of the first rows stop; the run goes on over the new rows into its destination.
    ChooseDest(temp.path / "elsewhere");
    ChooseSource(temp.path / "second");
    EXPECT_TRUE(Rate() == "0/4" && StartEnabled() && List()->CurrentIndex() == 0u);
    for (int tick = 0; tick < 10 && Rate() != "4/4"; ++tick) {
        List()->WaitForConversions();
        Tick();
    }
    EXPECT_EQ(Rate(), "4/4");
    EXPECT_EQ(Row(1).GetOutputText()->GetText().str(), (dest / "q.torrent").string());
    for (const char* name : {"p", "q", "r", "s"})
        EXPECT_TRUE(fs::exists(dest / (std::string(name) + ".torrent"))) << name;
    EXPECT_FALSE(fs::exists(temp.path / "elsewhere"));
}

} // namespace
