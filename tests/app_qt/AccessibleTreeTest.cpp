// The running program read as a screen reader reads it: its accessible tree through AT-SPI, on a
// private session bus, in a real X server. Every read waits for what it looks for.

#include "AccessibleTree.h"

#include "support/TempFolder.h"
#include "support/TestTorrents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {

using namespace realwindow;

const char* const kNoTools = "Xvfb, xdotool or dbus-daemon is not installed: the accessible-tree tests are skipped";

// Reads the program's tree until check holds for it (up to 60 s: a read of the whole tree takes
// seconds on a loaded machine); the last tree read.
template <class Check>
std::unique_ptr<AccessibleTree> TreeWhere(const Check& check)
{
    std::unique_ptr<AccessibleTree> tree;
    WaitFor(
        [&] {
            tree = std::make_unique<AccessibleTree>("kelpmere");
            return !tree->Empty() && check(*tree);
        },
        60s);
    return tree;
}

std::vector<std::string> Names(const std::vector<const AccessibleNode*>& nodes)
{
    std::vector<std::string> names;
    for (const AccessibleNode* node : nodes)
        names.push_back(node->name);
    return names;
}

// Where a node stands in its tree (child indices from the top): the same object in two reads.
std::vector<std::size_t> PlaceOf(const AccessibleNode* node)
{
    std::vector<std::size_t> place;
    for (; node && node->parent; node = node->parent) {
        const auto& siblings = node->parent->children;
        place.insert(place.begin(), std::find(siblings.begin(), siblings.end(), node) - siblings.begin());
    }
    return place;
}

std::string TextOf(const AccessibleTree& tree, const std::string& editName)
{
    const AccessibleNode* edit = tree.Find("text", editName);
    return edit ? edit->text : "<no edit named " + editName + ">";
}

TEST(AccessibleTreeTest, TheSinglePageTellsItsTabsButtonsLabelledEditAndRowsAndTakesPressesAndTab)
{
    if (!RealProgram::Available() || !AccessibilityBus::Available())
        GTEST_SKIP() << kNoTools;
    ASSERT_TRUE(AccessibilityBus::Shared().Ready()) << "no session bus for AT-SPI";
    TempFolder work;
    const fs::path torrent = work.path / "three.torrent";
    WriteFile(
        torrent, BuildTorrent(MultiFile({{{"alpha.mkv"}, 3 << 20}, {{"beta.srt"}, 40 << 10}, {{"gamma.nfo"}, 900}})));
    RealProgram program(work.path / "run", "singleOption", {"btn_single_file", "edit_single_name"});
    ASSERT_EQ(program.Problem(), "");
    ASSERT_TRUE(program.AnswerDialog("btn_single_file", "Open", torrent)) << "the open dialog did not take the file";

    auto tree = TreeWhere([](const AccessibleTree& t) { return TextOf(t, "种子名称") == "Show"; });
    ASSERT_EQ(TextOf(*tree, "种子名称"), "Show") << "the torrent-name edit is not labelled or lacks the name";

    const auto tabs = tree->FindAll([](const AccessibleNode& n) { return n.role == "page tab"; });
    EXPECT_EQ(Names(tabs), (std::vector<std::string>{"首页推荐", "单个种子", "批量转换", "种子搜索"}));
    EXPECT_EQ(Names(tree->FindAll([](const AccessibleNode& n) { return n.role == "page tab" && n.selected; })),
        std::vector<std::string>{"单个种子"});
    for (const char* button : {"打开种子", "一键修改", "保存种子", "最小化", "关闭"})
        EXPECT_NE(tree->Find("push button", button), nullptr) << button << " is no named push button";

    const auto lists = tree->FindAll([](const AccessibleNode& n) { return n.role == "list"; });
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists.front()->description, "3") << "the count of all rows";
    const auto rows = tree->FindAll([](const AccessibleNode& n) { return n.role == "list item"; });
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string file = std::vector<std::string>{"alpha.mkv", "beta.srt", "gamma.nfo"}[i];
        EXPECT_NE(rows[i]->name.find(file), std::string::npos) << rows[i]->name;
    }

    // "一键修改" pressed through its accessible action renames the torrent and every file.
    ASSERT_TRUE(DoAccessibleAction(tree->Find("push button", "一键修改")->object, "Press"));
    tree = TreeWhere([](const AccessibleTree& t) {
        const auto renamed = t.FindAll([](const AccessibleNode& n) {
            return n.role == "list item" && std::regex_search(n.name, std::regex("[0-9a-f]{32}_[123]"));
        });
        return TextOf(t, "种子名称") != "Show" && renamed.size() == 3;
    });
    EXPECT_TRUE(std::regex_match(TextOf(*tree, "种子名称"), std::regex("-?[0-9]+-[0-9]{1,3}")))
        << TextOf(*tree, "种子名称");
    EXPECT_EQ(
        tree->FindAll([](const AccessibleNode& n) { return n.name.find("alpha.mkv") != std::string::npos; }).size(),
        0u);

    // Text set through the editable-text interface reaches the tree: the row's name, made from the
    // tree's texts, follows it.
    const AccessibleNode* fileEdit = tree->Find("text", "文件");
    ASSERT_NE(fileEdit, nullptr);
    ASSERT_TRUE(SetAccessibleText(fileEdit->object, "zeta.mkv"));
    tree = TreeWhere([](const AccessibleTree& t) {
        return !t.FindAll([](const AccessibleNode& n) {
                     return n.role == "list item" && n.name.find("zeta.mkv") != std::string::npos;
                 }).empty();
    });
    EXPECT_EQ(TextOf(*tree, "文件"), "zeta.mkv");

    // Tab moves the focus from each focusable object to the next one in reading order.
    std::vector<std::vector<std::size_t>> order;
    for (const AccessibleNode* node : tree->FindAll([](const AccessibleNode& n) { return n.focusable; }))
        order.push_back(PlaceOf(node));
    ASSERT_GE(order.size(), 8u);
    // Each Tab waits for the focus it moves before the next one.
    program.Click("edit_single_name");
    std::vector<std::size_t> focused;
    tree = TreeWhere([&](const AccessibleTree& t) {
        const AccessibleNode* node = t.Focused();
        focused = node && node->name == "种子名称" ? PlaceOf(node) : std::vector<std::size_t>{};
        return !focused.empty();
    });
    ASSERT_FALSE(focused.empty()) << "the clicked edit did not take the focus";
    for (int step = 0; step < 8; ++step) {
        std::vector<std::size_t> now;
        program.Key("Tab");
        tree = TreeWhere([&](const AccessibleTree& t) {
            now = t.Focused() ? PlaceOf(t.Focused()) : std::vector<std::size_t>{};
            return !now.empty() && now != focused;
        });
        const auto before = std::find(order.begin(), order.end(), focused);
        ASSERT_NE(before, order.end());
        const auto expected = before + 1 == order.end() ? order.begin() : before + 1;
        ASSERT_TRUE(now == *expected) << "Tab skipped or went back at step " << step << " to "
                                      << (tree->Focused() ? tree->Focused()->role + " " + tree->Focused()->name
                                                          : "none");
        focused = now;
    }
    EXPECT_EQ(program.Close(), 0);
}

TEST(AccessibleTreeTest, TheBatchPageTellsItsFoldersStartButtonProgressAndEachRowsState)
{
    if (!RealProgram::Available() || !AccessibilityBus::Available())
        GTEST_SKIP() << kNoTools;
    ASSERT_TRUE(AccessibilityBus::Shared().Ready()) << "no session bus for AT-SPI";
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

    const auto rate = [](const AccessibleTree& t) {
        auto found = t.FindAll([](const AccessibleNode& n) {
            return n.role == "label" && std::regex_match(n.name, std::regex("[0-9]+/[0-9]+"));
        });
        return found.empty() ? std::string() : found.front()->name;
    };
    auto tree = TreeWhere([&](const AccessibleTree& t) { return TextOf(t, "目标目录") == dest.string(); });
    EXPECT_EQ(TextOf(*tree, "源目录"), source.string());
    EXPECT_EQ(TextOf(*tree, "目标目录"), dest.string());
    const AccessibleNode* start = tree->Find("push button", "开始转换");
    ASSERT_NE(start, nullptr);

    // Pressed through its action until the run has gone through all three (the first press may come
    // before the page takes it).
    const auto finished = [&](const AccessibleTree& t) {
        const auto bars = t.FindAll([](const AccessibleNode& n) { return n.role == "progress bar"; });
        return rate(t) == "3/3" && bars.size() == 1 && bars.front()->value == 100.0;
    };
    for (int attempt = 0; attempt < 5 && !finished(*tree); ++attempt) {
        if (const AccessibleNode* button = tree->Find("push button", "开始转换"))
            DoAccessibleAction(button->object, "Press");
        tree = TreeWhere(finished);
    }
    ASSERT_TRUE(finished(*tree)) << "counter " << rate(*tree);

    const auto rows = tree->FindAll([](const AccessibleNode& n) { return n.role == "list item"; });
    ASSERT_EQ(rows.size(), 3u);
    // Each row's state is a label of its own inside the row.
    std::multiset<std::string> states;
    for (const AccessibleNode* label : tree->FindAll([](const AccessibleNode& n) {
             return n.role == "label" && n.name.find("种子") != std::string::npos && n.parent && n.parent->parent
                 && n.parent->parent->role == "list item";
         }))
        states.insert(label->name);
    EXPECT_EQ(states,
        (std::multiset<std::string>{"保存转换的种子成功!", "保存转换的种子成功!", "种子文件分析失败 请检查种子文件!"}));
    EXPECT_EQ(program.Close(), 0);
}

} // namespace
