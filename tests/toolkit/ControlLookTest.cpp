// What a control shows in each state: decided once in the toolkit for every backend.

#include "toolkit/ControlLook.h"

#include <gtest/gtest.h>

namespace {

using Kind = ControlLook::Kind;
using Picture = ControlLook::Picture;

constexpr UIColor kBk = 0xFF101010;
constexpr UIColor kHotBk = 0xFF202020;
constexpr UIColor kPushedBk = 0xFF303030;
constexpr UIColor kSelectedBk = 0xFF404040;
constexpr UIColor kText = 0xFF505050;
constexpr UIColor kHotText = 0xFF606060;
constexpr UIColor kSelectedText = 0xFF707070;
constexpr UIColor kFocus = 0xFF808080;

// A button with every look of every state (and an option's), which each row then takes away from or changes.
ControlLook FullButton()
{
    ControlLook look;
    look.kind = Kind::Button;
    look.bkColor = kBk;
    look.hotBkColor = kHotBk;
    look.pushedBkColor = kPushedBk;
    look.textColor = kText;
    look.hotTextColor = kHotText;
    look.normalImage = "normal.png";
    look.hotImage = "hot.png";
    look.pushedImage = "pushed.png";
    look.disabledImage = "disabled.png";
    look.selectedBkColor = kSelectedBk;
    look.selectedTextColor = kSelectedText;
    look.selectedImage = "selected.png";
    return look;
}

// The full button as a selected option.
void SelectedOption(ControlLook& look)
{
    look.kind = Kind::Option;
    look.selected = true;
}

struct LookCase {
    const char* what;
    void (*change)(ControlLook&);
    ControlState state;
    ShownLook expected;
};

const LookCase kLookCases[] = {
    {"a button at rest", [](ControlLook&) {}, {}, {kBk, Picture::Normal, kText}},
    {"under the mouse", [](ControlLook&) {}, {true, false, false}, {kHotBk, Picture::Hot, kHotText}},
    {"pressed under the mouse", [](ControlLook&) {}, {true, true, false}, {kPushedBk, Picture::Pushed, kHotText}},
    {"pressed, then the mouse left it", [](ControlLook&) {}, {false, true, false}, {kBk, Picture::Normal, kText}},
    {"disabled ignores the mouse and greys its text", [](ControlLook& l) { l.enabled = false; }, {true, true, false},
        {kBk, Picture::Disabled, 0xFF999999}},
    {"the hot text needs a hot look to stand on",
        [](ControlLook& l) {
            l.hotBkColor = 0;
            l.hotImage.clear();
        },
        {true, false, false}, {kBk, Picture::Normal, kText}},
    {"a label has no hot look", [](ControlLook& l) { l.kind = Kind::Text; }, {true, true, false},
        {kBk, Picture::None, kText}},
    {"no text colour is black", [](ControlLook& l) { l.textColor = 0; }, {}, {kBk, Picture::Normal, 0xFF000000}},
    {"a selected option", SelectedOption, {}, {kSelectedBk, Picture::Selected, kSelectedText}},
    {"the mouse over a selected option", SelectedOption, {true, false, false}, {kHotBk, Picture::Hot, kHotText}},
    {"a border without a colour is grey", [](ControlLook& l) { l.borderSize = 1; }, {},
        {kBk, Picture::Normal, kText, 0xFFAAAAAA}},
    {"the focus ring in the window's colour", [](ControlLook& l) { l.focusColor = kFocus; }, {false, false, true},
        {kBk, Picture::Normal, kText, 0, kFocus, false}},
    {"the focus ring dotted in the text colour", [](ControlLook&) {}, {false, false, true},
        {kBk, Picture::Normal, kText, 0, kText, true}},
    {"no focus ring on a label", [](ControlLook& l) { l.kind = Kind::Text; }, {false, false, true},
        {kBk, Picture::None, kText}},
};

} // namespace

TEST(ControlLook, EachStateShowsItsOwnLookAndFallsBackToTheDefaults)
{
    for (const LookCase& c : kLookCases) {
        SCOPED_TRACE(c.what);
        ControlLook look = FullButton();
        c.change(look);
        const ShownLook shown = Shown(look, c.state);
        EXPECT_EQ(shown.background, c.expected.background);
        EXPECT_EQ(shown.picture, c.expected.picture);
        EXPECT_EQ(look.PictureName(shown.picture), look.PictureName(c.expected.picture));
        EXPECT_EQ(shown.text, c.expected.text);
        EXPECT_EQ(shown.border, c.expected.border);
        EXPECT_EQ(shown.ring, c.expected.ring);
        EXPECT_EQ(shown.ringDotted, c.expected.ringDotted);
    }
}

TEST(ControlLook, AProgressBarFillsFromTheLeftOrFromTheBottom)
{
    const UIRect whole{10, 20, 110, 220};
    EXPECT_EQ(FilledPart(whole, 0.25, true), (UIRect{10, 20, 35, 220}));
    EXPECT_EQ(FilledPart(whole, 0.25, false), (UIRect{10, 170, 110, 220}));
    EXPECT_EQ(FilledPart(whole, 1.5, true), whole);
    EXPECT_TRUE(FilledPart(whole, -1.0, false).IsEmpty());
}
