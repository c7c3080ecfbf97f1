// The layout engine: fixed, fill, floating and hidden controls, and lists laid out lazily.

#include "ToolkitTestSupport.h"
#include "toolkit/InViewWalk.h"

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

} // namespace

TEST(Layout, FixedSizesGoFirstAndVisibleFillChildrenShareTheRest)
{
    auto* root = new CVerticalLayoutUI();
    root->SetInset(10, 10, 10, 10);
    root->SetChildPadding(5);
    CControlUI* a = Fixed(0, 50);
    CControlUI* b = Fixed(0, 0);
    CControlUI* c = Fixed(0, 30);
    c->SetPadding(2, 3, 4, 5);
    CControlUI* d = Fixed(0, 0);
    auto* row = new CHorizontalLayoutUI();
    CControlUI* e = Fixed(100, 0);
    CControlUI* f = Fixed(0, 0);
    CControlUI* g = Fixed(50, 20);
    for (CControlUI* child : {a, b, c, d})
        root->Add(child);
    root->Add(row);
    row->SetFixedHeight(40);
    for (CControlUI* child : {e, f, g})
        row->Add(child);
    Surface surface(root, {320, 341});

    EXPECT_EQ(a->GetPos(), (UIRect{10, 10, 310, 60}));
    EXPECT_EQ(b->GetPos(), (UIRect{10, 65, 310, 151}));
    EXPECT_EQ(c->GetPos(), (UIRect{12, 159, 306, 189}));
    EXPECT_EQ(d->GetPos(), (UIRect{10, 199, 310, 286})); // the last fill child takes the odd pixel
    EXPECT_EQ(e->GetPos(), (UIRect{10, 291, 110, 331}));
    EXPECT_EQ(f->GetPos(), (UIRect{110, 291, 260, 331}));
    EXPECT_EQ(g->GetPos(), (UIRect{260, 291, 310, 311}));

    b->SetVisible(false);
    EXPECT_EQ(c->GetPos().top, 68);
    EXPECT_EQ(d->GetPos(), (UIRect{10, 108, 310, 286}));
    b->SetVisible(true);
    EXPECT_EQ(c->GetPos().top, 159);
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
    for (CControlUI* child : {edit, filler})
        row->Add(child);
    Surface surface(root, {800, 400});

    EXPECT_EQ(edit->GetPos(), (UIRect{80, 169, 774, 199}));  // from the corner, not the inset
    EXPECT_EQ(filler->GetPos(), (UIRect{7, 107, 793, 393})); // the float took nothing away
    edit->SetFixedXY(6, 3);
    EXPECT_EQ(edit->GetPos(), (UIRect{6, 103, 700, 133}));
}

namespace {

// A list of rows 103 high with 15 between them, 2 of margin, in a 400 x 300 window.
struct ListSurface {
    explicit ListSurface(int rows)
    {
        auto* root = new CVerticalLayoutUI();
        list = new CListUI();
        list->SetChildPadding(15);
        list->SetPadding(2, 2, 2, 2);
        list->GetHeader()->SetVisible(false);
        root->Add(list);
        for (int i = 0; i < rows; ++i)
            list->Add(MakeRow(i));
        surface = std::make_unique<Surface>(root, UISize{400, 300});
    }
    static CListContainerElementUI* MakeRow(int i)
    {
        auto* row = new CListContainerElementUI();
        row->SetFixedHeight(103);
        row->Add(Fixed(0, 20, ("cell" + std::to_string(i)).c_str()));
        return row;
    }
    CListUI* list = nullptr;
    std::unique_ptr<Surface> surface;
};

constexpr int kClear = 398 - CListUI::kScrollBarWidth; // a row's right edge while the bar shows

std::pair<int, int> RowsInView(CListUI& list)
{
    int first = -1;
    int last = -1;
    list.GetRowsInView(first, last);
    return {first, last};
}

} // namespace

TEST(ListLayout, RowsStackClearOfTheScrollBarAndScrollingIsClampedToTheRange)
{
    ListSurface s(5);
    EXPECT_EQ(s.list->GetPos(), (UIRect{2, 2, 398, 298}));
    EXPECT_EQ(s.list->GetItemAt(0)->GetPos(), (UIRect{2, 2, kClear, 105}));
    EXPECT_EQ(s.list->GetItemAt(1)->GetPos(), (UIRect{2, 120, kClear, 223}));
    EXPECT_EQ(s.list->GetScrollRange(), (UISize{0, 5 * 103 + 4 * 15 - 296}));

    s.list->SetScrollPos({0, 118});
    EXPECT_EQ(s.list->GetItemAt(1)->GetPos().top, 2);
    EXPECT_EQ(FindSubControlByName(s.list, "cell1")->GetPos(), (UIRect{2, 2, kClear, 22}));
    s.list->SetScrollPos({5, 100000});
    EXPECT_EQ(s.list->GetScrollPos(), (UISize{0, 279}));
    s.list->SetScrollPos({0, -4});
    EXPECT_EQ(s.list->GetScrollPos(), (UISize{0, 0}));

    ListSurface fits(2); // no scroll bar: the rows take the full width
    EXPECT_EQ(fits.list->GetItemAt(1)->GetPos(), (UIRect{2, 120, 398, 223}));
}

TEST(ListLayout, HiddenRowsTakeNoRoomAndAreNotInViewAndAnEmptiedListHasNone)
{
    ListSurface s(20);
    for (int i = 0; i < 20; ++i)
        s.list->GetItemAt(i)->SetVisible(i >= 17);
    EXPECT_EQ(s.list->GetItemAt(17)->GetPos().top, 2);
    EXPECT_EQ(s.list->GetScrollRange(), (UISize{0, 3 * 103 + 2 * 15 - 296}));
    EXPECT_EQ(RowsInView(*s.list), std::pair(17, 19));

    CListUI windowless; // emptied, a list has no rows in view
    for (int i = 0; i < 5; ++i)
        windowless.Add(ListSurface::MakeRow(i));
    windowless.SetPos(UIRect{0, 0, 400, 1000});
    windowless.RemoveAll();
    const auto [first, last] = RowsInView(windowless);
    EXPECT_GT(first, last);
}

TEST(ListLayout, OnlyRowsInViewAreReportedAndOffScreenRowsAreLaidOutWhenAsked)
{
    ListSurface s(100000);
    EXPECT_EQ(RowsInView(*s.list), std::pair(0, 2)); // rows at 0, 118 and 236 meet a view 296 high
    s.list->SetScrollPos({0, 118 * 50000});
    EXPECT_EQ(RowsInView(*s.list), std::pair(50000, 50002));
    EXPECT_EQ(s.list->GetScrollRange().cy, 100000 * 118 - 15 - 296);

    CControlUI* far = FindSubControlByName(s.list->GetItemAt(99990), "cell99990");
    ASSERT_NE(far, nullptr);
    const int top = 2 + 118 * (99990 - 50000);
    EXPECT_EQ(far->GetPos(), (UIRect{2, top, kClear, top + 20}));
}

namespace {

// Writes down what the walk enters, with what it shows, and skips the inside of rows on asking.
struct WalkRecord final : IInViewVisitor {
    bool Enter(CControlUI& control, const UIRect& shown, InViewPlace place) override
    {
        entered.push_back({control.GetName().str(), shown, place});
        return !(skipRows && place == InViewPlace::ListRow);
    }
    struct Entry {
        std::string name;
        UIRect shown;
        InViewPlace place;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> entered;
    bool skipRows = false;
};

} // namespace

TEST(ListLayout, TheInViewWalkEntersOnlyTheRowsInViewCutToTheView)
{
    ListSurface s(100000);
    s.list->SetName("list");
    s.list->SetScrollPos({0, 118 * 50000 + 10}); // row 50000 is cut at the top, 50002 at the bottom
    for (int i = 50000; i <= 50002; ++i)
        static_cast<CContainerUI*>(s.list->GetItemAt(i))->SetName(("row" + std::to_string(i)).c_str());
    WalkRecord record;
    WalkInView(*s.surface->manager.GetRoot(), UIRect{0, 0, 400, 240}, record); // as a paint of the top
    using Place = InViewPlace;
    const std::vector<WalkRecord::Entry> expected{
        {"", {0, 0, 400, 240}, Place::Root},
        {"list", {2, 2, 398, 240}, Place::Child}, // the hidden header is not entered
        {"row50000", {2, 2, kClear, 95}, Place::ListRow},
        {"cell50000", {2, 2, kClear, 12}, Place::Child}, // its top 10 are above the view
        {"row50001", {2, 110, kClear, 213}, Place::ListRow},
        {"cell50001", {2, 110, kClear, 130}, Place::Child},
        {"row50002", {2, 228, kClear, 240}, Place::ListRow},
        {"cell50002", {2, 228, kClear, 240}, Place::Child},
    };
    EXPECT_EQ(record.entered, expected);

    record = WalkRecord{};
    record.skipRows = true;
    WalkInView(*s.surface->manager.GetRoot(), UIRect{0, 0, 400, 300}, record);
    EXPECT_EQ(record.entered.size(), 5U); // root, list and three rows, none of their cells
}
