#include "toolkit/ControlLook.h"

#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CWebBrowserUI.h"

#include <algorithm>

namespace {

using Kind = ControlLook::Kind;
using Picture = ControlLook::Picture;

constexpr UIColor kDisabledTextColor = 0xFF999999U;
constexpr UIColor kBorderColor = 0xFFAAAAAAU;
constexpr UIColor kTextColor = 0xFF000000U;

UIColor Either(UIColor colour, UIColor otherwise)
{
    return IsPainted(colour) ? colour : otherwise;
}

UIColor Background(const ControlLook& look, bool hot, bool pressed)
{
    if (pressed && IsPainted(look.pushedBkColor))
        return look.pushedBkColor;
    if (hot && IsPainted(look.hotBkColor))
        return look.hotBkColor;
    if (look.kind == Kind::Option && look.selected && IsPainted(look.selectedBkColor))
        return look.selectedBkColor;
    return look.bkColor;
}

Picture StatePicture(const ControlLook& look, bool hot, bool pressed)
{
    if (!look.Interactive())
        return Picture::None;
    if (!look.enabled && !look.disabledImage.empty())
        return Picture::Disabled;
    if (pressed && !look.pushedImage.empty())
        return Picture::Pushed;
    if (hot && !look.hotImage.empty())
        return Picture::Hot;
    if (look.selected && !look.selectedImage.empty())
        return Picture::Selected;
    return look.normalImage.empty() ? Picture::None : Picture::Normal;
}

UIColor TextColour(const ControlLook& look, bool hot, bool pressed)
{
    if (!look.enabled)
        return Either(look.disabledTextColor, kDisabledTextColor);
    // The hot text colour belongs to the hot look: over the normal background (no hot colour or
    // picture to draw) it could be the background's own colour and the label would vanish.
    const bool hotLookDrawn = hot
        && (IsPainted(look.hotBkColor) || !look.hotImage.empty()
            || (pressed && (IsPainted(look.pushedBkColor) || !look.pushedImage.empty())));
    if (hotLookDrawn && IsPainted(look.hotTextColor))
        return look.hotTextColor;
    if (look.selected && IsPainted(look.selectedTextColor))
        return look.selectedTextColor;
    return Either(look.textColor, kTextColor);
}

} // namespace

const std::string& ControlLook::PictureName(Picture picture) const
{
    static const std::string none;
    switch (picture) {
    case Picture::Normal:
        return normalImage;
    case Picture::Hot:
        return hotImage;
    case Picture::Pushed:
        return pushedImage;
    case Picture::Disabled:
        return disabledImage;
    case Picture::Selected:
        return selectedImage;
    case Picture::None:
        break;
    }
    return none;
}

ControlLook::Kind KindOf(const CControlUI& control)
{
    if (dynamic_cast<const CWebBrowserUI*>(&control))
        return Kind::Web;
    if (dynamic_cast<const CListUI*>(&control))
        return Kind::List;
    if (dynamic_cast<const CEditUI*>(&control))
        return Kind::Edit;
    if (dynamic_cast<const COptionUI*>(&control))
        return Kind::Option;
    if (dynamic_cast<const CButtonUI*>(&control))
        return Kind::Button;
    if (dynamic_cast<const CProgressUI*>(&control))
        return Kind::Progress;
    if (dynamic_cast<const CLabelUI*>(&control))
        return Kind::Text;
    return Kind::Plain;
}

ControlLook ReadLook(const CControlUI& control, const CPaintManagerUI& manager)
{
    ControlLook look;
    look.kind = KindOf(control);
    look.enabled = control.IsEnabled();
    look.bkColor = control.GetBkColor();
    look.bkImage = control.GetBkImage().str();
    look.borderSize = control.GetBorderSize();
    look.borderColor = control.GetBorderColor();
    look.focusColor = manager.GetFocusColor();
    if (const auto* label = dynamic_cast<const CLabelUI*>(&control)) {
        look.textColor = label->GetTextColor() != 0 ? label->GetTextColor() : manager.GetDefaultTextColor();
        look.disabledTextColor = label->GetDisabledTextColor();
    }
    if (const auto* button = dynamic_cast<const CButtonUI*>(&control)) {
        look.hotBkColor = button->GetHotBkColor();
        look.hotTextColor = button->GetHotTextColor();
        look.pushedBkColor = button->GetPushedBkColor();
        look.normalImage = button->GetNormalImage().str();
        look.hotImage = button->GetHotImage().str();
        look.pushedImage = button->GetPushedImage().str();
        look.disabledImage = button->GetDisabledImage().str();
    }
    if (const auto* option = dynamic_cast<const COptionUI*>(&control)) {
        look.selected = option->IsSelected();
        look.selectedBkColor = option->GetSelectedBkColor();
        look.selectedTextColor = option->GetSelectedTextColor();
        look.selectedImage = option->GetSelectedImage().str();
    }
    return look;
}

ShownLook Shown(const ControlLook& look, ControlState state)
{
    const bool hot = look.Interactive() && look.enabled && state.hot;
    const bool pressed = hot && state.pressed;
    ShownLook shown;
    shown.background = Background(look, hot, pressed);
    shown.picture = StatePicture(look, hot, pressed);
    shown.text = TextColour(look, hot, pressed);
    if (look.borderSize > 0)
        shown.border = Either(look.borderColor, kBorderColor);
    if (state.focusRing && look.Interactive()) {
        // A ring inside the border shows where Space or Enter goes: solid in the window's focus
        // colour, else dotted in the text colour.
        shown.ringDotted = !IsPainted(look.focusColor);
        shown.ring = shown.ringDotted ? shown.text : look.focusColor;
    }
    return shown;
}

UIRect FilledPart(const UIRect& whole, double fraction, bool horizontal)
{
    const double part = std::clamp(fraction, 0.0, 1.0);
    UIRect filled = whole;
    if (horizontal)
        filled.right = whole.left + static_cast<int>(whole.Width() * part + 0.5);
    else
        filled.top = whole.bottom - static_cast<int>(whole.Height() * part + 0.5);
    return filled;
}
