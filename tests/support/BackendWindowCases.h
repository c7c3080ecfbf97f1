// The behaviours every real backend shows with real windows, written once. A backend's test file
// defines BACKEND_WINDOW_TEST as its fixture, a BackendWindowTest that also has what the cases
// below use to act as the user does through its window system and to read what its native
// widgets show, then includes this.

#ifndef BACKEND_WINDOW_TEST
#error "define BACKEND_WINDOW_TEST as the backend's BackendWindowTest fixture"
#endif

TEST_F(BACKEND_WINDOW_TEST, ClicksReachOnlyEnabledButtonsAndSelectOptions)
{
    Open();
    Click("btn_ok");
    Click("btn_off");
    EXPECT_EQ(m_record.notes, (std::vector<std::string>{"click:btn_ok"}));
    Click("opt_b");
    Settle();
    EXPECT_TRUE(Control<COptionUI>("opt_b").IsSelected());
    EXPECT_FALSE(Control<COptionUI>("opt_a").IsSelected());
    EXPECT_TRUE(LooksSelected(Control<COptionUI>("opt_b")));
    EXPECT_FALSE(LooksSelected(Control<COptionUI>("opt_a")));
}

// Tab follows the tree, even for a control inserted after the others have their native widgets,
// and skips what takes no keyboard (labels, disabled buttons); Space and Return click. Where the
// first Tab lands in a window without focus is the backend's.
TEST_F(BACKEND_WINDOW_TEST, TabWalksTheControlsInTreeOrderAndSpaceOrReturnClicksTheFocusedOne)
{
    Open();
    auto* middle = new CEditUI;
    middle->SetName("edit_middle");
    middle->SetFixedHeight(26);
    Control<CContainerUI>("RootLayoutUI").AddAt(middle, 2);
    Settle();
    for (int i = 0; i < 6 && !HasKeyboard(Control("edit_name")); ++i)
        Press(Key::Tab);
    ASSERT_TRUE(HasKeyboard(Control("edit_name")));
    Press(Key::Tab); // Tab leaves a native field too
    EXPECT_TRUE(HasKeyboard(Control("edit_middle")));
    Press(Key::Tab); // opt_a
    EXPECT_FALSE(HasKeyboard(Control("edit_middle")));
    Press(Key::Backtab);
    EXPECT_TRUE(HasKeyboard(Control("edit_middle")));
    Press(Key::Tab);
    Press(Key::Tab);
    Press(Key::Return); // opt_b
    EXPECT_TRUE(Control<COptionUI>("opt_b").IsSelected());
    Press(Key::Tab); // round to btn_ok, past the label
    Press(Key::Space);
    Press(Key::Return);
    EXPECT_EQ(Count("click:btn_ok"), 2u);
    Press(Key::Tab); // past the disabled btn_off
    EXPECT_TRUE(HasKeyboard(Control("edit_name")));
}

// Typed text reaches the tree with one notification; the tree's text reaches the field without one.
TEST_F(BACKEND_WINDOW_TEST, TextTypedIntoAnEditReachesTheTreeAndTreeTextReachesTheEdit)
{
    Open();
    Type(Control("edit_name"), "新名");
    EXPECT_EQ(Control("edit_name").GetText(), CDuiString("新名"));
    EXPECT_EQ(Count("textchanged:edit_name"), 1u);
    Control("edit_name").SetText("from the tree");
    Settle();
    EXPECT_EQ(Shown(Control("edit_name")), "from the tree");
    EXPECT_EQ(Count("textchanged:edit_name"), 1u);
}

TEST_F(BACKEND_WINDOW_TEST, AHundredThousandRowListKeepsAScreenfulOfNativeFieldsAndTheTypedText)
{
    Open();
    // Rows 70, 103 and 136 high in turn, each with a floating edit.
    const HundredThousandRows rows(Control<CContainerUI>("ListHostLayoutUI"), {70, 33, 30});
    CListUI& list = *rows.list;
    Settle();
    // Only the edits in view have native fields, each where the tree places its edit; whether an
    // edit the view cuts has one is the backend's (kCutEditsHaveFields).
    const auto expectScreenful = [&] {
        const int shown = NativeFieldsIn(list);
        EXPECT_TRUE(shown >= 1 && shown <= list.GetViewRect().Height() / 70 + 2) << shown;
        int first = 0;
        int last = -1;
        list.GetRowsInView(first, last);
        for (int row = first; row <= std::min(last + 1, HundredThousandRows::kCount - 1); ++row) {
            const UIRect pos = rows.Edit(row)->GetPos();
            const UIRect view = list.GetViewRect();
            const bool inView = pos.Intersects(view) && (kCutEditsHaveFields || pos.Intersected(view) == pos);
            EXPECT_EQ(NativePlace(*rows.Edit(row)), inView ? std::optional(pos) : std::nullopt) << row;
        }
    };
    expectScreenful();
    EXPECT_EQ(NativePlace(*rows.Edit(500)), std::nullopt);
    Type(*rows.Edit(1), "新名");
    EXPECT_EQ(rows.Edit(1)->GetText(), CDuiString("新名"));

    ScrollFarDownByUser(list);
    Settle();
    EXPECT_EQ(NativePlace(*rows.Edit(1)), std::nullopt);
    expectScreenful();
    list.SetScrollPos(UISize{0, 0}); // back: the row shows the tree's text
    Settle();
    EXPECT_EQ(Shown(*rows.Edit(1)), "新名");
}

// A modal window opened by a timer runs its own timers and those armed before it, on the UI
// thread; its owner takes no input meanwhile and the close's result ends the loop.
TEST_F(BACKEND_WINDOW_TEST, TimersKeepFiringInsideAModalLoopWhoseOwnerTakesNoInputAndWhichReturnsTheCloseResult)
{
    Open();
    const std::thread::id testThread = std::this_thread::get_id();
    WindowRecord boxRecord;
    RecordingWindow* box = nullptr;
    int result = -1;
    int boxTicks = 0;
    bool ownerTookInput = true;
    bool onTestThread = true; // the UI thread
    m_window->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType != "timer")
            return;
        onTestThread = onTestThread && std::this_thread::get_id() == testThread;
        if (msg.wParam == 1 && box == nullptr) {
            box = OpenOwned(boxRecord, "box");
            box->onNotify = [&](TNotifyUI& boxMsg) {
                onTestThread = onTestThread && std::this_thread::get_id() == testThread;
                if (boxMsg.sType == "timer" && ++boxTicks == 150)
                    box->Close(-2); // keeps a failing run from hanging
            };
            box->Manager().SetTimer(box->Manager().FindControl("btn_ok"), 1, 20);
            result = box->ShowModal();
        } else if (msg.wParam == 2 && result == -1 && boxTicks >= 3) {
            ownerTookInput = MainTakesInput();
            box->Close(7); // the second timer, armed long before the box, ends its loop
        }
    };
    m_window->Manager().SetTimer(&Control("btn_ok"), 1, 20);
    m_window->Manager().SetTimer(&Control("btn_ok"), 2, 80);
    ASSERT_TRUE(WaitFor([&] { return result != -1; }, 8000));
    m_window->onNotify = nullptr;
    m_window->Manager().KillTimer(&Control("btn_ok"));
    EXPECT_EQ(result, 7);
    EXPECT_FALSE(ownerTookInput);
    EXPECT_TRUE(MainTakesInput());
    EXPECT_TRUE(WaitFor([&] { return boxRecord.finalMessages > 0; }));
    EXPECT_EQ(boxRecord.finalMessages, 1);
    EXPECT_TRUE(onTestThread);
}

// The window system's close, even twice, ends a modal window once with 0; a deleted window's
// native window goes at once, without a last call; the last window closed ends the loop after its
// owned windows.
TEST_F(BACKEND_WINDOW_TEST, WindowsEndOnceOwnedOnesFirstAndTheLastOneEndsTheLoop)
{
    std::vector<std::string> finals;
    m_record.finals = &finals;
    Open();
    WindowRecord boxRecord, ownedRecord, deletedRecord;
    boxRecord.finals = ownedRecord.finals = &finals;
    RecordingWindow* box = OpenOwned(boxRecord, "box");
    const std::function<bool()> boxGone = NativeWindowGone(*box);
    CloseByWindowSystem(*box);
    CloseByWindowSystem(*box);
    EXPECT_EQ(box->ShowModal(), 0);
    ASSERT_TRUE(WaitFor([&] { return boxRecord.finalMessages > 0 && boxGone(); }));
    Settle();
    EXPECT_EQ(boxRecord.finalMessages, 1);
    EXPECT_EQ(m_record.finalMessages, 0);

    OpenOwned(ownedRecord, "owned");
    RecordingWindow* deleted = OpenOwned(deletedRecord, "deleted");
    const std::function<bool()> deletedGone = NativeWindowGone(*deleted);
    delete deleted;
    EXPECT_TRUE(deletedGone());
    CloseByWindowSystem(*m_window);
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
    EXPECT_EQ(finals, (std::vector<std::string>{"box", "owned", "main"}));
    EXPECT_EQ(deletedRecord.finalMessages, 0);
}
