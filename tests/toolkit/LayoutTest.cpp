// The layout engine: fixed and fill sizes, padding, inset, child padding, floating controls,
// hidden controls, tab pages and scrolling lists with rows laid out lazily.

#include "ToolkitTestSupport.h"

using namespace toolkittest;

namespace {

// A window-less manager whose client area the test sets.
struct Surface {
    explicit Surface(CControlUI* root, UISize size)
    {
        manager.AttachDialog(root);
        manager.SetClientSize(size);
    }
    CPaintManagerUI manager;
};

CControlUI* Fixed(int width, int height, const char* name = "")
{
    auto* control = new CControlUI();
    control->SetName(name);
    control->SetFixedWidth(width);
    control->SetFixedHeight(height);
    return control;
}

}  // namespace

TEST(Layout, AVerticalLayoutGivesFixedHeightsFirstAndSharesTheRestAmongFillChildren)
{
    auto* root = new CVerticalLayoutUI();
    root->SetInset(10, 10, 10, 10);
    root->SetChildPadding(5);
    CControlUI* a = Fixed(0, 50);
    CControlUI* b = Fixed(0, 0);
    CControlUI* c = Fixed(0, 30);
    c->SetPadding(2, 3, 4, 5);
    CControlUI* d = Fixed(0, 0);
    for (CControlUI* child : {a, b, c, d}) root->Add(child);
    Surface surface(root, {200, 300});

    EXPECT_EQ(root->GetPos(), (UIRect{0, 0, 200, 300}));
    EXPECT_EQ(a->GetPos(), (UIRect{10, 10, 190, 60}));
    EXPECT_EQ(b->GetPos(), (UIRect{10, 65, 190, 153}));
    EXPECT_EQ(c->GetPos(), (UIRect{12, 161, 186, 191}));
    EXPECT_EQ(d->GetPos(), (UIRect{10, 201, 190, 290}));   // the last fill child takes the odd pixel
}

TEST(Layout, AHorizontalLayoutGivesFixedWidthsFirstAndFixedHeightsWhereSet)
{
    auto* root = new CHorizontalLayoutUI();
    CControlUI* a = Fixed(100, 0);
    CControlUI* b = Fixed(0, 0);
    CControlUI* c = Fixed(50, 20);
    for (CControlUI* child : {a, b, c}) root->Add(child);
    Surface surface(root, {300, 40});

    EXPECT_EQ(a->GetPos(), (UIRect{0, 0, 100, 40}));
    EXPECT_EQ(b->GetPos(), (UIRect{100, 0, 250, 40}));
    EXPECT_EQ(c->GetPos(), (UIRect{250, 0, 300, 20}));
}

TEST(Layout, FloatingControlsSitAtTheirFixedPositionInTheParentAndTakeNoRoom)
{
    auto* root = new CVerticalLayoutUI();
    root->Add(Fixed(0, 100));
    auto* row = new CContainerUI();
    row->SetInset(7, 7, 7, 7);
    root->Add(row);
    CControlUI* edit = Fixed(694, 30);
    edit->SetFloat(true);
    edit->SetFixedXY(80, 3 + 33 * 2);
    CControlUI* filler = Fixed(0, 0);
    row->Add(edit);
    row->Add(filler);
    Surface surface(root, {800, 400});

    EXPECT_EQ(row->GetPos(), (UIRect{0, 100, 800, 400}));
    EXPECT_EQ(edit->GetPos(), (UIRect{80, 169, 774, 199}));      // relative to the corner, not the inset
    EXPECT_EQ(filler->GetPos(), (UIRect{7, 107, 793, 393}));     // the float took nothing away

    edit->SetFixedXY(6, 3);
    EXPECT_EQ(edit->GetPos(), (UIRect{6, 103, 700, 133}));
}

TEST(Layout, HiddenControlsTakeNoRoomUntilShownAgain)
{
    auto* root = new CVerticalLayoutUI();
    CControlUI* a = Fixed(0, 40);
    CControlUI* b = Fixed(0, 40);
    CControlUI* c = Fixed(0, 40);
    root->SetChildPadding(10);
    for (CControlUI* child : {a, b, c}) root->Add(child);
    Surface surface(root, {100, 300});

    b->SetVisible(false);
    EXPECT_EQ(c->GetPos().top, 50);
    b->SetVisible(true);
    EXPECT_EQ(c->GetPos().top, 100);
}

TEST(Layout, PlainContainersGiveEachChildTheInnerRectangleWithinItsFixedSize)
{
    auto* root = new CContainerUI();
    root->SetInset(4, 4, 4, 4);
    CControlUI* fill = Fixed(0, 0);
    fill->SetPadding(1, 2, 3, 4);
    CControlUI* small = Fixed(20, 10);
    root->Add(fill);
    root->Add(small);
    Surface surface(root, {100, 50});

    EXPECT_EQ(fill->GetPos(), (UIRect{5, 6, 93, 42}));
    EXPECT_EQ(small->GetPos(), (UIRect{4, 4, 24, 14}));
}

TEST(Layout, TabPagesFillTheTabAndOnlyTheSelectedOneShows)
{
    auto* root = new CVerticalLayoutUI();
    root->Add(Fixed(0, 32));
    auto* tab = new CTabLayoutUI();
    root->Add(tab);
    Surface surface(root, {800, 600});
    NotifyLog log;
    surface.manager.AddNotifier(&log);

    CControlUI* pages[3] = {new CContainerUI(), new CContainerUI(), new CContainerUI()};
    for (CControlUI* page : pages) tab->Add(page);
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_TRUE(pages[0]->IsVisible());
    EXPECT_FALSE(pages[1]->IsVisible());
    EXPECT_EQ(pages[0]->GetPos(), (UIRect{0, 32, 800, 600}));

    EXPECT_TRUE(tab->SelectItem(pages[2]));
    EXPECT_EQ(tab->GetCurSel(), 2);
    EXPECT_FALSE(pages[0]->IsVisible());
    EXPECT_TRUE(pages[2]->IsVisible());
    EXPECT_EQ(pages[2]->GetPos(), (UIRect{0, 32, 800, 600}));
    ASSERT_EQ(log.Types(), (std::vector<std::string>{"tabselect"}));
    EXPECT_EQ(log.entries[0].wParam, 2u);

    CContainerUI stranger;
    EXPECT_FALSE(tab->SelectItem(&stranger));
    EXPECT_FALSE(tab->SelectItem(3));
    EXPECT_EQ(tab->GetCurSel(), 2);

    tab->Remove(pages[2]);
    EXPECT_EQ(tab->GetCurSel(), 1);
    EXPECT_TRUE(pages[1]->IsVisible());
}

// ---------------- lists ----------------

namespace {

// A list of rows 103 high with 15 between them, 2 of margin, in a 400 x 300 window.
struct ListSurface {
    ListSurface(int rows)
    {
        auto* root = new CVerticalLayoutUI();
        list = new CListUI();
        list->SetChildPadding(15);
        list->SetPadding(2, 2, 2, 2);
        list->GetHeader()->SetVisible(false);
        root->Add(list);
        for (int i = 0; i < rows; ++i) list->Add(MakeRow(i));
        surface = std::make_unique<Surface>(root, UISize{400, 300});
    }
    static CListContainerElementUI* MakeRow(int i)
    {
        auto* row = new CListContainerElementUI();
        row->SetFixedHeight(103);
        auto* layout = new CVerticalLayoutUI();
        CDuiString name;
        name.Format("cell%d", i);
        layout->Add(Fixed(0, 20, name.GetData()));
        row->Add(layout);
        return row;
    }
    CListUI* list = nullptr;
    std::unique_ptr<Surface> surface;
};

}  // namespace

TEST(ListLayout, RowsStackWithChildPaddingInsideTheListsMarginClearOfTheScrollBar)
{
    ListSurface s(5);
    EXPECT_EQ(s.list->GetPos(), (UIRect{2, 2, 398, 298}));
    // More rows than fit: the scroll bar takes the right edge.
    EXPECT_EQ(s.list->GetItemAt(0)->GetPos(), (UIRect{2, 2, 398 - CListUI::kScrollBarWidth, 105}));
    EXPECT_EQ(s.list->GetItemAt(1)->GetPos(), (UIRect{2, 120, 398 - CListUI::kScrollBarWidth, 223}));
    // 5 rows: 5 * 103 + 4 * 15 = 575 of content in a 296 high view.
    EXPECT_EQ(s.list->GetScrollRange(), (UISize{0, 279}));
    EXPECT_EQ(s.list->GetScrollPos(), (UISize{0, 0}));
}

TEST(ListLayout, RowsThatAllFitTakeTheFullWidth)
{
    ListSurface s(2);
    EXPECT_EQ(s.list->GetItemAt(1)->GetPos(), (UIRect{2, 120, 398, 223}));
    s.list->EnableScrollBar(false);
    s.list->Add(ListSurface::MakeRow(2));
    EXPECT_EQ(s.list->GetItemAt(2)->GetPos().right, 398);
}

TEST(ListLayout, ScrollingMovesTheRowsAndIsClampedToTheRange)
{
    ListSurface s(5);
    s.list->SetScrollPos({0, 118});
    EXPECT_EQ(s.list->GetScrollPos(), (UISize{0, 118}));
    EXPECT_EQ(s.list->GetItemAt(1)->GetPos().top, 2);
    EXPECT_EQ(FindSubControlByName(s.list, "cell1")->GetPos(), (UIRect{2, 2, 398 - CListUI::kScrollBarWidth, 22}));

    s.list->SetScrollPos({5, 100000});
    EXPECT_EQ(s.list->GetScrollPos(), (UISize{0, 279}));
    s.list->SetScrollPos({0, -4});
    EXPECT_EQ(s.list->GetScrollPos(), (UISize{0, 0}));
}

TEST(ListLayout, HiddenRowsTakeNoRoomAndAreNotInView)
{
    ListSurface s(20);
    for (int i = 0; i < 20; ++i) s.list->GetItemAt(i)->SetVisible(i >= 17);
    EXPECT_EQ(s.list->GetItemAt(17)->GetPos().top, 2);
    EXPECT_EQ(s.list->GetScrollRange(), (UISize{0, 3 * 103 + 2 * 15 - 296}));
    int first = 0;
    int last = 0;
    s.list->GetRowsInView(first, last);
    EXPECT_EQ(first, 17);
    EXPECT_EQ(last, 19);
}

TEST(ListLayout, OnlyRowsInViewAreReportedAndOffScreenRowsAreLaidOutWhenAsked)
{
    ListSurface s(100000);
    int first = -1;
    int last = -1;
    s.list->GetRowsInView(first, last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 2);      // rows at 0, 118 and 236 meet a view 296 high

    s.list->SetScrollPos({0, 118 * 50000});
    s.list->GetRowsInView(first, last);
    EXPECT_EQ(first, 50000);
    EXPECT_EQ(last, 50002);
    EXPECT_EQ(s.list->GetScrollRange().cy, 100000 * 118 - 15 - 296);

    // A row far from the view: its cells get their place when someone asks for it.
    CControlUI* far = FindSubControlByName(s.list->GetItemAt(99990), "cell99990");
    ASSERT_NE(far, nullptr);
    const UIRect rowRect = s.list->GetItemAt(99990)->GetPos();
    EXPECT_EQ(far->GetPos(), (UIRect{2, rowRect.top, 398 - CListUI::kScrollBarWidth, rowRect.top + 20}));
    EXPECT_EQ(rowRect.top, 2 + 118 * (99990 - 50000));
}

TEST(ListLayout, RowHeightsFollowTheirFixedHeightAndOthersGetTheDefault)
{
    ListSurface s(0);
    auto* tall = ListSurface::MakeRow(0);
    tall->SetFixedHeight(70 + 33 * 2);
    auto* plain = new CListContainerElementUI();
    s.list->Add(tall);
    s.list->Add(plain);
    EXPECT_EQ(tall->GetHeight(), 136);
    EXPECT_EQ(plain->GetHeight(), s.list->GetDefaultRowHeight());
    EXPECT_EQ(plain->GetPos().top, 2 + 136 + 15);
}

TEST(ListLayout, RowsRemovedFromAListWithoutWindowAreNeverReportedInView)
{
    CListUI list;
    for (int i = 0; i < 5; ++i) list.Add(ListSurface::MakeRow(i));
    list.SetPos(UIRect{0, 0, 400, 1000});
    list.RemoveAll();
    int first = 0;
    int last = 0;
    list.GetRowsInView(first, last);
    EXPECT_GT(first, last);
}
