// The running program read as a screen reader reads it: its accessible tree through AT-SPI, on a private session bus,
// in a real X server. Every read waits for what it looks for. The checks are the Win32 backend's too
// (accessible/AccessibleChecks.h).

#include "AccessibleTree.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace fs = std::filesystem;

namespace {

using namespace realwindow;
using namespace accessible;

const char* const kNoTools = "Xvfb, xdotool or dbus-daemon is not installed: the accessible-tree tests are skipped";

// Each row's state: a label of its own inside the row (its parent's parent, by the ids' child indices).
std::multiset<std::string> RowStates(const Snapshot& tree)
{
    std::multiset<std::string> states;
    for (const Element& label : tree) {
        const std::string cell = label.id.substr(0, label.id.rfind('/'));
        const std::string row = cell.substr(0, cell.rfind('/'));
        if (label.role == "label" && label.name.find("种子") != std::string::npos
            && std::ranges::any_of(tree, [&](const Element& e) { return e.id == row && e.role == "list item"; }))
            states.insert(label.name);
    }
    return states;
}

TEST(AccessibleTreeTest, TheSinglePageTellsItsTabsButtonsLabelledEditAndRowsAndTakesPressesAndTab)
{
    if (!RealProgram::Available() || !AccessibilityBusAvailable())
        GTEST_SKIP() << kNoTools;
    ASSERT_TRUE(AccessibilityBusReady()) << "no session bus for AT-SPI";
    TempFolder work;
    // A path too long for its field, which shows it shortened in the middle.
    const fs::path torrent = work.path / std::string(150, 'p') / "three.torrent";
    WriteThreeFileTorrent(torrent);
    RealProgram program(work.path / "run", "singleOption", {"btn_single_file", "edit_single_name"});
    ASSERT_EQ(program.Problem(), "");
    ASSERT_TRUE(program.AnswerDialog("btn_single_file", "Open", torrent)) << "the open dialog did not take the file";
    AtspiReader reader(program);
    ASSERT_NO_FATAL_FAILURE(CheckSinglePage(reader));
    // The shortened path is read whole as the field's description.
    const auto pathTold = [&](const Snapshot& t) {
        const Element* path = Find(t, "text", "种子文件");
        return path && path->description == torrent.string();
    };
    const Snapshot paths = reader.Read(pathTold);
    EXPECT_TRUE(pathTold(paths)) << "the path field does not tell the whole path";
    EXPECT_NE(TextOf(paths, "种子文件"), torrent.string()) << "the path was not shortened: the check shows nothing";

    // The Tab order is followed from the clicked torrent-name edit.
    program.Click("edit_single_name");
    const auto editFocused = [](const Snapshot& t) {
        const Element* edit = Find(t, "text", "种子名称");
        return edit && FocusedId(t) == edit->id;
    };
    const Snapshot tree = reader.Read(editFocused);
    ASSERT_TRUE(editFocused(tree)) << "the clicked edit did not take the focus";
    ASSERT_NO_FATAL_FAILURE(CheckTabOrder(reader, tree));
    EXPECT_EQ(program.Close(), 0);
}

TEST(AccessibleTreeTest, TheBatchPageTellsItsFoldersStartButtonProgressAndEachRowsState)
{
    if (!RealProgram::Available() || !AccessibilityBusAvailable())
        GTEST_SKIP() << kNoTools;
    ASSERT_TRUE(AccessibilityBusReady()) << "no session bus for AT-SPI";
    TempFolder temp;
    const fs::path source = temp.path / "source";
    const fs::path dest = temp.path / "washed";
    WriteFile(source / "a.torrent", BuildTorrent(SingleFile("movie.mkv", 3 << 20)));
    WriteFile(source / "b.torrent", BuildTorrent(SingleFile("song.flac", 1 << 20)));
    WriteFile(source / "broken.torrent", "no torrent in here");
    fs::create_directories(dest);

    RealProgram program(temp.path / "run", "batchOption", {"btn_batch_src", "btn_batch_des"});
    ASSERT_EQ(program.Problem(), "");
    ASSERT_TRUE(program.AnswerDialog("btn_batch_src", "请选择需要转换的种子目录", source));
    ASSERT_TRUE(program.AnswerDialog("btn_batch_des", "请选择转换后种子存放目录", dest));
    AtspiReader reader(program);
    Snapshot tree = reader.Read([&](const Snapshot& t) { return TextOf(t, "目标目录") == dest.string(); });
    EXPECT_EQ(TextOf(tree, "源目录"), source.string());

    // Pressed through its action until the run has gone through all three and every row tells its state (the first
    // press may come before the page takes it).
    const auto finished = [](const Snapshot& t) {
        const auto bars = WithRole(t, "progress bar");
        return CounterOf(t) == "3/3" && bars.size() == 1 && bars.front()->value == "100" && RowStates(t).size() == 3;
    };
    for (int attempt = 0; attempt < 5 && !finished(tree); ++attempt) {
        reader.Press("开始转换");
        tree = reader.Read(finished);
    }
    ASSERT_NO_FATAL_FAILURE(CheckBatchPage(tree, source.string(), dest.string(), "100", "3/3"));
    ASSERT_EQ(WithRole(tree, "list item").size(), 3u);
    EXPECT_EQ(RowStates(tree),
        (std::multiset<std::string>{"保存转换的种子成功!", "保存转换的种子成功!", "种子文件分析失败 请检查种子文件!"}));
    EXPECT_EQ(program.Close(), 0);
}

} // namespace
