// Controls and their notifications: option groups, clicks, edits, progress values, tags,
// ownership in the tree, the toolkit's text type and the web browser's defaults.

#include "ToolkitTestSupport.h"

using namespace toolkittest;

namespace {

// Options of one group inside a manager, with a log of what the manager delivers.
struct OptionBoard {
    OptionBoard()
    {
        auto* root = new CHorizontalLayoutUI();
        for (const char* name : {"adOption", "singleOption", "batchOption"}) {
            auto* option = new COptionUI();
            option->SetName(name);
            root->Add(option);
            option->SetGroup("function_group");
            options.push_back(option);
        }
        manager.AttachDialog(root);
        manager.AddNotifier(&log);
    }
    CPaintManagerUI manager;
    NotifyLog log;
    std::vector<COptionUI*> options;
};

}  // namespace

TEST(Options, ActivatingAGroupedOptionSelectsItDeselectsTheOthersAndRaisesClickThenSelectChanged)
{
    OptionBoard board;
    ASSERT_TRUE(board.options[1]->Activate());
    EXPECT_TRUE(board.options[1]->IsSelected());
    ASSERT_EQ(board.log.Types(), (std::vector<std::string>{"click", "selectchanged"}));
    EXPECT_EQ(board.log.entries[1].sender, board.options[1]);

    board.log.entries.clear();
    ASSERT_TRUE(board.options[2]->Activate());
    EXPECT_FALSE(board.options[1]->IsSelected());
    EXPECT_TRUE(board.options[2]->IsSelected());
    // The deselected option changes silently: one selection, one "selectchanged".
    ASSERT_EQ(board.log.Types(), (std::vector<std::string>{"click", "selectchanged"}));
    EXPECT_EQ(board.log.entries[1].sender, board.options[2]);
}

TEST(Options, ActivatingTheSelectedOptionReportsTheChoiceAgain)
{
    OptionBoard board;
    board.options[0]->Selected(true, false);
    ASSERT_TRUE(board.options[0]->Activate());
    EXPECT_TRUE(board.options[0]->IsSelected());
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"click", "selectchanged"}));
}

TEST(Options, AnOptionWithoutGroupTogglesAndLeavingAGroupEndsTheExclusion)
{
    OptionBoard board;
    board.options[0]->SetGroup("");
    board.options[0]->Activate();
    board.options[1]->Activate();
    EXPECT_TRUE(board.options[0]->IsSelected());
    EXPECT_TRUE(board.options[1]->IsSelected());
    board.options[0]->Activate();
    EXPECT_FALSE(board.options[0]->IsSelected());
}

TEST(Options, ADeletedOptionLeavesItsGroup)
{
    OptionBoard board;
    auto* container = static_cast<CContainerUI*>(board.manager.GetRoot());
    container->Remove(board.options[2]);
    ASSERT_NE(board.manager.GetOptionGroup("function_group"), nullptr);
    EXPECT_EQ(board.manager.GetOptionGroup("function_group")->size(), 2u);
    board.options[0]->Activate();      // must not touch the deleted option
    EXPECT_TRUE(board.options[0]->IsSelected());
}

TEST(Buttons, DisabledOrHiddenButtonsIgnoreActivation)
{
    OptionBoard board;
    auto* button = new CButtonUI();
    static_cast<CContainerUI*>(board.manager.GetRoot())->Add(button);
    button->SetEnabled(false);
    EXPECT_FALSE(button->Activate());
    button->SetEnabled(true);
    button->SetVisible(false);
    EXPECT_FALSE(button->Activate());
    EXPECT_TRUE(board.log.entries.empty());
    button->SetVisible(true);
    EXPECT_TRUE(button->Activate());
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"click"}));
}

TEST(Edits, TypedTextIsStoredAndReportedUnlessTheEditIsReadOnlyOrDisabled)
{
    OptionBoard board;
    auto* edit = new CEditUI();
    static_cast<CContainerUI*>(board.manager.GetRoot())->Add(edit);
    edit->UserEdited("D:\\种子");
    EXPECT_EQ(edit->GetText(), "D:\\种子");
    EXPECT_EQ(board.log.Types(), (std::vector<std::string>{"textchanged"}));

    edit->SetEnabled(false);
    edit->UserEdited("other");
    edit->SetEnabled(true);
    edit->SetReadOnly(true);
    edit->UserEdited("other");
    EXPECT_EQ(edit->GetText(), "D:\\种子");

    edit->SetReadOnly(false);
    edit->SetMaxChar(3);
    edit->UserEdited("abcdef");
    EXPECT_EQ(edit->GetText(), "abc");
}

TEST(Progress, TheFilledShareIsTheValueClampedToTheRange)
{
    CProgressUI bar;
    bar.SetMinValue(1);
    bar.SetMaxValue(101);
    bar.SetValue(51);
    EXPECT_DOUBLE_EQ(bar.GetFillFraction(), 0.5);
    bar.SetValue(500);
    EXPECT_EQ(bar.GetValue(), 500);
    EXPECT_DOUBLE_EQ(bar.GetFillFraction(), 1.0);
    bar.SetValue(-3);
    EXPECT_DOUBLE_EQ(bar.GetFillFraction(), 0.0);
    bar.SetMaxValue(1);
    EXPECT_DOUBLE_EQ(bar.GetFillFraction(), 0.0);
}

TEST(Controls, TagsAndUserDataCarryWhatTheProgramAttaches)
{
    CLabelUI label;
    CContainerUI page;
    EXPECT_EQ(label.GetTag(), 0u);
    label.SetTag(&page);
    EXPECT_EQ(reinterpret_cast<CContainerUI*>(label.GetTag()), &page);
    label.SetTag(std::uintptr_t{0});
    EXPECT_EQ(label.GetTag(), 0u);
    int value = 7;
    EXPECT_EQ(label.GetUserExtraData(), nullptr);
    label.SetUserExtraData(&value);
    EXPECT_EQ(label.GetUserExtraData(), &value);
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
        EXPECT_FALSE(outer.Add(a));         // already inside inner
        EXPECT_FALSE(outer.Add(nullptr));
        EXPECT_EQ(outer.GetItemAt(0), b);
        EXPECT_EQ(outer.GetItemAt(2), nullptr);
        EXPECT_TRUE(outer.Remove(b));
        EXPECT_EQ(deaths, 1);
        EXPECT_FALSE(outer.Remove(b));
    }
    EXPECT_EQ(deaths, 2);
}

TEST(DuiString, FormatsComparesAndSlicesBytes)
{
    CDuiString name;
    EXPECT_EQ(name.Format("%s%d", "text_conver_state", 3), 18);
    EXPECT_EQ(name, "text_conver_state3");
    EXPECT_TRUE(name == CDuiString("text_conver_state3"));
    EXPECT_FALSE(name == "text_conver_state");
    CDuiString big;
    big.Format("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(big.GetLength(), 5000);
    CDuiString path("a\\b\\c.torrent");
    EXPECT_EQ(path.ReverseFind('\\'), 3);
    EXPECT_EQ(path.Mid(4), "c.torrent");
    EXPECT_EQ(path.Left(1), "a");
    EXPECT_EQ(path.Right(7), "torrent");
    EXPECT_EQ(path.Replace("\\", "/"), 2);
    EXPECT_EQ(path, "a/b/c.torrent");
    EXPECT_EQ(CDuiString("Skin").CompareNoCase("SKIN"), 0);
    EXPECT_TRUE(CDuiString(static_cast<const char*>(nullptr)).IsEmpty());
    const CDuiString embedded("a\0b", 3);
    EXPECT_EQ(embedded.GetLength(), 3);
}

TEST(WebBrowser, NavigationIsKeptInTheTreeAndReportedToTheBackend)
{
    CHeadlessBackend backend;
    CPaintManagerUI::SetBackend(&backend);
    CWebBrowserUI browser;
    browser.SetName("search_ie");
    browser.NavigateUrl("https://search.example/search");
    EXPECT_EQ(browser.GetUrl(), "https://search.example/search");
    ASSERT_EQ(backend.Navigations().size(), 1u);
    EXPECT_EQ(backend.Navigations()[0].browserName, "search_ie");
    EXPECT_EQ(backend.Navigations()[0].url, "https://search.example/search");
    CPaintManagerUI::SetBackend(nullptr);
}

TEST(WebBrowser, TheDefaultHandlerLetsTheBrowserBehaveButOffersNoContextMenuOrExternalObject)
{
    CWebBrowserEventHandler handler;
    CWebBrowserUI browser;
    browser.SetWebBrowserEventHandler(&handler);
    EXPECT_EQ(browser.GetWebBrowserEventHandler(), &handler);
    DocHostUIInfo info;
    EXPECT_EQ(handler.ShowContextMenu(&browser, 0, {}), kUIResultOk);
    EXPECT_EQ(handler.GetHostInfo(&browser, &info), kUIResultOk);
    EXPECT_EQ(info.flags, 0u);
    EXPECT_EQ(handler.ShowUI(&browser), kUIResultFalse);
    EXPECT_EQ(handler.TranslateAccelerator(&browser, 'A', 0), kUIResultFalse);
    EXPECT_EQ(handler.GetDropTarget(&browser), kUIResultNotImplemented);
    EXPECT_EQ(handler.GetExternal(&browser), kUIResultNotImplemented);
    EXPECT_EQ(handler.Download(&browser, "x"), kUIResultOk);
    bool cancel = false;
    handler.BeforeNavigate2(&browser, "https://a", cancel);
    handler.NewWindow3(&browser, "https://b", cancel);
    EXPECT_FALSE(cancel);
}
