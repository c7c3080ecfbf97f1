// Controls and their notifications: option groups, buttons, edits and ownership in the tree.

#include "ToolkitTestSupport.h"

using namespace toolkittest;

namespace {

// Options of one group and a button and an edit inside a manager, with a log of what it delivers.
struct Board {
    Board()
    {
        auto* root = new CHorizontalLayoutUI();
        for (const char* name : {"adOption", "singleOption", "batchOption"}) {
            auto* option = new COptionUI();
            option->SetName(name);
            root->Add(option);
            option->SetGroup("function_group");
            options.push_back(option);
        }
        root->Add(button);
        root->Add(edit);
        manager.AttachDialog(root);
        manager.AddNotifier(&log);
    }
    CPaintManagerUI manager;
    NotifyLog log;
    std::vector<COptionUI*> options;
    CButtonUI* button = new CButtonUI();
    CEditUI* edit = new CEditUI();
};

} // namespace

TEST(Options, ActivatingAGroupedOptionSelectsOnlyItAndADeletedOptionLeavesTheGroup)
{
    Board board;
    ASSERT_TRUE(board.options[1]->Activate());
    ASSERT_TRUE(board.options[2]->Activate());
    EXPECT_FALSE(board.options[1]->IsSelected());
    EXPECT_TRUE(board.options[2]->IsSelected());
    // The deselected option changes silently: one selection, one "selectchanged".
    ASSERT_EQ(board.log.Types(), (std::vector<std::string>{"click", "selectchanged", "click", "selectchanged"}));
    EXPECT_EQ(board.log.entries[3].sender, board.options[2]);
    board.log.entries.clear();
    ASSERT_TRUE(board.options[2]->Activate()); // the selected one reports the choice again
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"click", "selectchanged"}));
    // A deleted option leaves its group.
    static_cast<CContainerUI*>(board.manager.GetRoot())->Remove(board.options[2]);
    EXPECT_EQ(board.manager.GetOptionGroup("function_group")->size(), 2u);
    board.options[1]->Activate(); // must not touch the deleted option
    EXPECT_TRUE(board.options[1]->IsSelected());
}

TEST(Controls, DisabledHiddenOrReadOnlyControlsIgnoreTheUser)
{
    Board board;
    board.button->SetEnabled(false);
    EXPECT_FALSE(board.button->Activate());
    board.button->SetEnabled(true);
    board.button->SetVisible(false);
    EXPECT_FALSE(board.button->Activate());

    board.edit->UserEdited("D:\\种子");
    EXPECT_EQ(board.edit->GetText(), "D:\\种子");
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"textchanged"}));
    board.edit->SetEnabled(false);
    board.edit->UserEdited("other");
    board.edit->SetEnabled(true);
    board.edit->SetReadOnly(true);
    board.edit->UserEdited("other");
    EXPECT_EQ(board.edit->GetText(), "D:\\种子");
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"textchanged"}));
}

// The limit counts bytes; 0 or less means none. A cut text that equals the shown one is no change.
TEST(Controls, AnEditKeepsOnlyItsMaxCharBytesOfWhatTheUserTypes)
{
    Board board;
    board.edit->SetMaxChar(3);
    const std::pair<const char*, const char*> typed[] = {{"abcdef", "abc"}, {"abcxyz", "abc"}, {"ab", "ab"}};
    for (const auto& [text, kept] : typed) {
        SCOPED_TRACE(text);
        board.edit->UserEdited(text);
        EXPECT_EQ(board.edit->GetText(), kept);
    }
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"textchanged", "textchanged"}));
    board.edit->SetMaxChar(-1);
    EXPECT_EQ(board.edit->GetMaxChar(), 0);
    board.edit->UserEdited("abcdef");
    EXPECT_EQ(board.edit->GetText(), "abcdef");
}

TEST(Controls, AControlBelongsToOneContainerWhichDeletesIt)
{
    struct Tracked : CControlUI {
        explicit Tracked(int& deaths) : deaths(deaths) { }
        ~Tracked() override { ++deaths; }
        int& deaths;
    };
    int deaths = 0;
    auto* a = new Tracked(deaths);
    auto* b = new Tracked(deaths);
    {
        CVerticalLayoutUI outer;
        auto* inner = new CHorizontalLayoutUI();
        EXPECT_TRUE(outer.Add(inner));
        EXPECT_TRUE(inner->Add(a));
        EXPECT_TRUE(outer.AddAt(b, 0));
        EXPECT_FALSE(outer.Add(a)); // already inside inner
        EXPECT_EQ(outer.GetItemAt(0), b);
        EXPECT_TRUE(outer.Remove(b));
        EXPECT_EQ(deaths, 1);
        EXPECT_FALSE(outer.Remove(b));
    }
    EXPECT_EQ(deaths, 2);
}
