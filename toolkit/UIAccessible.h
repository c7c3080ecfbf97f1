#pragma once

#include "toolkit/CDuiString.h"
#include "toolkit/UIDefs.h"

#include <cstdint>
#include <optional>
#include <string_view>

// What a control is for assistive technology (screen readers, magnifiers, test tools). The core
// decides it once (DescribeForAccessibility); backends translate it into their platform's terms.
enum class UIAccessibleRole {
    Pane, // a container or a picture: groups what it holds, says nothing itself
    Window,
    PageTab,
    PushButton,
    RadioButton,
    EditableText,
    StaticText,
    List,
    ListItem,
    ProgressBar,
    ScrollBar,
    WebDocument,
};

// The skin's spelling of a role (accessiblerole="pagetab"); nothing for an unknown word.
std::optional<UIAccessibleRole> AccessibleRoleFromSkin(std::string_view word);

// State bits of UIAccessibleInfo::states.
enum UIAccessibleState : std::uint32_t {
    kAccessibleFocusable = 1u << 0,
    kAccessibleDisabled = 1u << 1,
    kAccessibleSelected = 1u << 2, // a selected tab, a checked option
    kAccessibleReadOnly = 1u << 3,
    kAccessibleInvisible = 1u << 4,
    kAccessiblePassword = 1u << 5, // its value is not told
};

struct UIAccessibleInfo {
    UIAccessibleRole role = UIAccessibleRole::Pane;
    CDuiString name;  // active-code-page text
    CDuiString value; // an edit's text, a progress bar's value
    std::uint32_t states = 0;
    UIRect bounds; // window coordinates
    // Progress bars: the range and where the bar stands.
    int minimum = 0;
    int maximum = 0;
    int current = 0;
    // Lists: how many rows there are in all (only the rows in view have widgets).
    int rowCount = 0;

    bool Has(std::uint32_t state) const { return (states & state) != 0; }
    // Whether pressing it does something (buttons, tabs and options).
    bool Pressable() const
    {
        return role == UIAccessibleRole::PushButton || role == UIAccessibleRole::PageTab
            || role == UIAccessibleRole::RadioButton;
    }
    bool operator==(const UIAccessibleInfo&) const = default;
};
