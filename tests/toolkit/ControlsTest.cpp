// Controls and their notifications: option groups, buttons, edits, progress values, ownership
// in the tree, the toolkit's text type and the web browser.

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

}  // namespace

TEST(Options, ActivatingAGroupedOptionSelectsItAloneAndRaisesClickThenSelectChangedOnce)
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
    ASSERT_TRUE(board.options[2]->Activate());  // the selected one reports the choice again
    EXPECT_TRUE(board.options[2]->IsSelected());
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"click", "selectchanged"}));
}

TEST(Options, OptionsOutsideAGroupToggleAndADeletedOptionLeavesItsGroup)
{
    Board board;
    board.options[0]->SetGroup("");
    board.options[0]->Activate();
    board.options[1]->Activate();
    EXPECT_TRUE(board.options[0]->IsSelected());
    EXPECT_TRUE(board.options[1]->IsSelected());
    board.options[0]->Activate();
    EXPECT_FALSE(board.options[0]->IsSelected());

    static_cast<CContainerUI*>(board.manager.GetRoot())->Remove(board.options[2]);
    ASSERT_NE(board.manager.GetOptionGroup("function_group"), nullptr);
    EXPECT_EQ(board.manager.GetOptionGroup("function_group")->size(), 1u);
    board.options[1]->Activate();  // must not touch the deleted option
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
    board.button->SetVisible(true);
    EXPECT_TRUE(board.button->Activate());

    board.edit->UserEdited("D:\\种子");
    EXPECT_EQ(board.edit->GetText(), "D:\\种子");
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"click", "textchanged"}));
    board.edit->SetEnabled(false);
    board.edit->UserEdited("other");
    board.edit->SetEnabled(true);
    board.edit->SetReadOnly(true);
    board.edit->UserEdited("other");
    EXPECT_EQ(board.edit->GetText(), "D:\\种子");
    board.edit->SetReadOnly(false);
    board.edit->SetMaxChar(3);
    board.edit->UserEdited("abcdef");
    EXPECT_EQ(board.edit->GetText(), "abc");
}

TEST(Controls, TheProgressFillIsTheValueClampedToTheRange)
{
    CProgressUI bar;
    bar.SetMinValue(1);
    bar.SetMaxValue(101);
    bar.SetValue(51);
    EXPECT_DOUBLE_EQ(bar.GetFillFraction(), 0.5);
    bar.SetValue(500);
    EXPECT_DOUBLE_EQ(bar.GetFillFraction(), 1.0);
    bar.SetValue(-3);
    EXPECT_DOUBLE_EQ(bar.GetFillFraction(), 0.0);
    bar.SetMaxValue(1);
    EXPECT_DOUBLE_EQ(bar.GetFillFraction(), 0.0);
}

TEST(Controls, ContainersOwnTheirChildrenAndRefuseControlsThatHaveAParent)
{
    struct Tracked : CControlUI {
        explicit Tracked(int& deaths) : deaths(deaths) {}
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
        EXPECT_FALSE(outer.Add(a));  // already inside inner
        EXPECT_EQ(outer.GetItemAt(0), b);
        EXPECT_TRUE(outer.Remove(b));
        EXPECT_EQ(deaths, 1);
        EXPECT_FALSE(outer.Remove(b));
    }
    EXPECT_EQ(deaths, 2);
}

TEST(DuiString, FormatsWithoutTruncatingAndSlicesBytes)
{
    CDuiString name;
    EXPECT_EQ(name.Format("%s%d", "text_conver_state", 3), 18);
    EXPECT_EQ(name, "text_conver_state3");
    name.Format("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(name.GetLength(), 5000);
    CDuiString path("a\\b\\c.torrent");
    EXPECT_EQ(path.Mid(path.ReverseFind('\\') + 1), "c.torrent");
    EXPECT_EQ(path.Replace("\\", "/"), 2);
    EXPECT_EQ(path, "a/b/c.torrent");
    EXPECT_EQ(CDuiString("Skin").CompareNoCase("SKIN"), 0);
    EXPECT_EQ(CDuiString("a\0b", 3).GetLength(), 3);
}

TEST(WebBrowser, NavigationReachesTheBackendAndTheDefaultHandlerOffersNoContextMenu)
{
    CHeadlessBackend backend;
    CPaintManagerUI::SetBackend(&backend);
    CWebBrowserUI browser;
    browser.SetName("search_ie");
    browser.NavigateUrl("https://search.example/search");
    ASSERT_EQ(backend.Navigations().size(), 1u);
    EXPECT_EQ(backend.Navigations()[0].browserName, "search_ie");
    EXPECT_EQ(backend.Navigations()[0].url, "https://search.example/search");
    CPaintManagerUI::SetBackend(nullptr);

    CWebBrowserEventHandler handler;
    EXPECT_EQ(handler.ShowContextMenu(&browser, 0, {}), kUIResultOk);  // handled: no menu
    EXPECT_EQ(handler.GetExternal(&browser), kUIResultNotImplemented);
    bool cancel = false;
    handler.BeforeNavigate2(&browser, "https://a", cancel);
    EXPECT_FALSE(cancel);
}
