#include "toolkit/UIAccessible.h"

#include <array>
#include <utility>

std::optional<UIAccessibleRole> AccessibleRoleFromSkin(std::string_view word)
{
    using enum UIAccessibleRole;
    static constexpr std::array<std::pair<std::string_view, UIAccessibleRole>, 12> kWords{{
        {"pane", Pane},
        {"window", Window},
        {"pagetab", PageTab},
        {"pushbutton", PushButton},
        {"radiobutton", RadioButton},
        {"edit", EditableText},
        {"text", StaticText},
        {"list", List},
        {"listitem", ListItem},
        {"progressbar", ProgressBar},
        {"scrollbar", ScrollBar},
        {"document", WebDocument},
    }};
    for (const auto& [spelling, role] : kWords) {
        if (spelling == word)
            return role;
    }
    return std::nullopt;
}
