#pragma once

#include "toolkit/UIDefs.h"

#include <string>

class CControlUI;
class CPaintManagerUI;

// What a control can look like in each of its states, read out of the tree in one place. A
// backend keeps this copy (so that it never reaches into a control that may already be gone)
// and asks Shown() what to draw in the state of the moment: no backend picks a colour, a
// picture or a default of its own.
struct ControlLook {
    enum class Kind { Plain, Text, Button, Option, Edit, Progress, List, Web };
    // Which of a button's pictures shows.
    enum class Picture { None, Normal, Hot, Pushed, Disabled, Selected };

    Kind kind = Kind::Plain;
    bool enabled = true;
    bool selected = false; // options only
    UIColor bkColor = 0;
    UIColor hotBkColor = 0;      // under the mouse (buttons and options)
    UIColor pushedBkColor = 0;   // while pressed
    UIColor selectedBkColor = 0; // a selected option
    UIColor borderColor = 0;
    int borderSize = 0;
    UIColor textColor = 0; // the control's own, else the window's default
    UIColor hotTextColor = 0;
    UIColor selectedTextColor = 0;
    UIColor disabledTextColor = 0;
    UIColor focusColor = 0; // the window's keyboard focus ring; 0: dotted in the text colour
    std::string bkImage;    // picture names in the skin archive
    std::string normalImage;
    std::string hotImage;
    std::string pushedImage;
    std::string disabledImage;
    std::string selectedImage;

    bool Interactive() const { return kind == Kind::Button || kind == Kind::Option; }
    // The name of picture, empty for Picture::None.
    const std::string& PictureName(Picture picture) const;
    bool operator==(const ControlLook&) const = default;
};

// The state of the moment, as the backend tracks it.
struct ControlState {
    bool hot = false;       // the mouse is over the control
    bool pressed = false;   // the left button went down on it
    bool focusRing = false; // it has the keyboard focus, and the focus came from the keyboard
};

// What to draw now. A colour of 0 draws nothing.
struct ShownLook {
    UIColor background = 0;
    ControlLook::Picture picture = ControlLook::Picture::None;
    UIColor text = 0;
    UIColor border = 0; // when the look has a border
    UIColor ring = 0;   // the focus ring
    bool ringDotted = false;
};

ControlLook::Kind KindOf(const CControlUI& control);
ControlLook ReadLook(const CControlUI& control, const CPaintManagerUI& manager);
ShownLook Shown(const ControlLook& look, ControlState state);

// A progress bar with no picture for its filled part fills it with this colour.
constexpr UIColor kProgressFillColor = 0xF0FF2D8CU;
// The part of a progress bar's rectangle filled at fraction (clamped to 0 .. 1): from the left,
// or from the bottom for a vertical bar.
UIRect FilledPart(const UIRect& whole, double fraction, bool horizontal);
