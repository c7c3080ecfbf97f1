#pragma once

// What a screen reader must find in the main window, checked alike on every backend: a flat snapshot of the window's
// accessible elements, read through the system's own interface (AT-SPI on Linux, MSAA on Windows), and the checks both
// backends' tests make on it.

#include "support/TempFolder.h"
#include "support/TestTorrents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace accessible {

// One element as read at one moment; roles are named as AT-SPI names them.
struct Element {
    std::string role; // "page tab", "push button", "text", "list", "list item", "label", "progress bar"
    std::string name;
    std::string value; // an edit's text, a progress bar's value
    std::string description;
    std::string action; // the default action's name, where the system tells it (MSAA)
    std::string id;     // the same element in two reads
    bool selected = false;
    bool focusable = false; // and available
    bool focused = false;
};
using Snapshot = std::vector<Element>;
using Match = std::function<bool(const Element&)>;

// The window of the running program as a screen reader sees it: its elements in reading order (read again until
// `until` holds where the system answers late), the "Press" action of the push button named name and the whole text of
// the edit named name (each: whether it was taken), and the Tab key.
class Reader {
public:
    virtual ~Reader() = default;
    virtual Snapshot Read(const std::function<bool(const Snapshot&)>& until) = 0;
    virtual bool Press(const std::string& name) = 0;
    virtual bool SetText(const std::string& name, const std::string& text) = 0;
    virtual void Tab() = 0;
};

inline std::vector<const Element*> All(const Snapshot& elements, const Match& match)
{
    std::vector<const Element*> found;
    for (const Element& element : elements)
        if (match(element))
            found.push_back(&element);
    return found;
}
inline std::vector<const Element*> WithRole(const Snapshot& elements, const std::string& role)
{
    return All(elements, [&](const Element& e) { return e.role == role; });
}
inline std::vector<std::string> Names(const Snapshot& elements, const Match& match)
{
    std::vector<std::string> names;
    for (const Element* element : All(elements, match))
        names.push_back(element->name);
    return names;
}
inline const Element* Find(const Snapshot& elements, const std::string& role, const std::string& name)
{
    auto found = All(elements, [&](const Element& e) { return e.role == role && e.name == name; });
    return found.empty() ? nullptr : found.front();
}
inline std::string TextOf(const Snapshot& elements, const std::string& editName)
{
    const Element* edit = Find(elements, "text", editName);
    return edit ? edit->value : "<no edit named " + editName + ">";
}
inline std::string FocusedId(const Snapshot& elements)
{
    auto found = All(elements, [](const Element& e) { return e.focused; });
    return found.empty() ? std::string() : found.back()->id;
}
// The batch page's counter of torrents done: the first label reading "N/M".
inline std::string CounterOf(const Snapshot& elements)
{
    auto found = All(elements,
        [](const Element& e) { return e.role == "label" && std::regex_match(e.name, std::regex("[0-9]+/[0-9]+")); });
    return found.empty() ? std::string() : found.front()->name;
}

// The torrent the single page is read with: named "Show", with three files.
inline void WriteThreeFileTorrent(const std::filesystem::path& file)
{
    WriteFile(
        file, BuildTorrent(MultiFile({{{"alpha.mkv"}, 3 << 20}, {{"beta.srt"}, 40 << 10}, {{"gamma.nfo"}, 900}})));
}

// The single page with that torrent open tells its tabs, buttons, labelled edit and rows; "一键修改" pressed through
// its action renames the torrent and every file; text set into a file's edit is the tree's text, and the row's name,
// made from the tree's texts, follows it.
inline void CheckSinglePage(Reader& reader)
{
    Snapshot tree = reader.Read([](const Snapshot& t) { return TextOf(t, "种子名称") == "Show"; });
    ASSERT_EQ(TextOf(tree, "种子名称"), "Show") << "the torrent-name edit is not labelled or lacks the name";
    EXPECT_EQ(Names(tree, [](const Element& e) { return e.role == "page tab"; }),
        (std::vector<std::string>{"首页推荐", "单个种子", "批量转换", "种子搜索"}));
    EXPECT_EQ(Names(tree, [](const Element& e) { return e.role == "page tab" && e.selected; }),
        std::vector<std::string>{"单个种子"});
    for (const char* button : {"打开种子", "一键修改", "保存种子", "最小化", "关闭"})
        EXPECT_NE(Find(tree, "push button", button), nullptr) << button << " is no named push button";
    const auto lists = WithRole(tree, "list");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists.front()->description, "3") << "the count of all rows";
    const auto rows = WithRole(tree, "list item");
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<std::string> files{"alpha.mkv", "beta.srt", "gamma.nfo"};
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_NE(rows[i]->name.find(files[i]), std::string::npos) << rows[i]->name;

    ASSERT_TRUE(reader.Press("一键修改"));
    const Match renamedRow = [](const Element& e) {
        return e.role == "list item" && std::regex_search(e.name, std::regex("[0-9a-f]{32}_[123]"));
    };
    tree = reader.Read(
        [&](const Snapshot& t) { return TextOf(t, "种子名称") != "Show" && All(t, renamedRow).size() == 3; });
    EXPECT_TRUE(std::regex_match(TextOf(tree, "种子名称"), std::regex("-?[0-9]+-[0-9]{1,3}")))
        << TextOf(tree, "种子名称");
    EXPECT_EQ(All(tree, renamedRow).size(), 3u);
    EXPECT_EQ(WithRole(tree, "list item").size(), 3u) << "every row renamed";
    EXPECT_EQ(All(tree, [](const Element& e) { return e.name.find("alpha.mkv") != std::string::npos; }).size(), 0u);

    ASSERT_TRUE(reader.SetText("文件", "zeta.mkv"));
    const Match zetaRow
        = [](const Element& e) { return e.role == "list item" && e.name.find("zeta.mkv") != std::string::npos; };
    tree = reader.Read([&](const Snapshot& t) { return !All(t, zetaRow).empty(); });
    EXPECT_EQ(TextOf(tree, "文件"), "zeta.mkv");
    EXPECT_EQ(All(tree, zetaRow).size(), 1u);
}

// The batch page tells its folder edits, its start button, its one progress bar and its counter.
inline void CheckBatchPage(const Snapshot& tree, const std::string& source, const std::string& dest,
    const std::string& progress, const std::string& counter)
{
    EXPECT_EQ(TextOf(tree, "源目录"), source);
    EXPECT_EQ(TextOf(tree, "目标目录"), dest);
    EXPECT_NE(Find(tree, "push button", "开始转换"), nullptr);
    const auto bars = WithRole(tree, "progress bar");
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars.front()->value, progress);
    EXPECT_EQ(CounterOf(tree), counter);
}

// Tab moves the focus from each focusable element to the next in reading order, past the last one to the first; from a
// focus in `tree` when it has one.
inline void CheckTabOrder(Reader& reader, Snapshot tree)
{
    std::vector<std::string> order;
    for (const Element* element : All(tree, [](const Element& e) { return e.focusable; }))
        order.push_back(element->id);
    ASSERT_GE(order.size(), 8u);
    std::string focused = FocusedId(tree);
    for (int step = 0; step < 8; ++step) {
        reader.Tab();
        tree = reader.Read([&](const Snapshot& t) { return !FocusedId(t).empty() && FocusedId(t) != focused; });
        const std::string now = FocusedId(tree);
        ASSERT_NE(std::ranges::find(order, now), order.end()) << "the focus went to \"" << now << "\" at step " << step;
        if (!focused.empty()) {
            const auto before = std::ranges::find(order, focused);
            ASSERT_NE(before, order.end());
            EXPECT_EQ(now, before + 1 == order.end() ? order.front() : *(before + 1))
                << "Tab skipped or went back at step " << step;
        }
        focused = now;
    }
}

} // namespace accessible
