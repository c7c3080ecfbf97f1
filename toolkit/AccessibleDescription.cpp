#include "toolkit/AccessibleDescription.h"

#include "toolkit/CButtonUI.h"
#include "toolkit/CControlUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CLabelUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CWebBrowserUI.h"

#include <string>

namespace {

bool IsListRow(const CControlUI& control)
{
    return dynamic_cast<const CListUI*>(control.GetParent()) != nullptr;
}

UIAccessibleRole RoleByClass(const CControlUI& control)
{
    using enum UIAccessibleRole;
    if (dynamic_cast<const CWebBrowserUI*>(&control))
        return WebDocument;
    if (dynamic_cast<const CListUI*>(&control))
        return List;
    if (IsListRow(control))
        return ListItem;
    if (dynamic_cast<const CEditUI*>(&control))
        return EditableText;
    if (dynamic_cast<const COptionUI*>(&control))
        return RadioButton;
    if (dynamic_cast<const CButtonUI*>(&control))
        return PushButton;
    if (dynamic_cast<const CProgressUI*>(&control))
        return ProgressBar;
    if (dynamic_cast<const CLabelUI*>(&control))
        return StaticText;
    return Pane;
}

// The texts a row shows, in tree order, separated by spaces; hidden controls and password
// edits say nothing.
CDuiString ShownTexts(CControlUI& row)
{
    std::string joined;
    row.VisitTree([&joined](CControlUI& control) {
        if (!control.IsVisible())
            return false;
        const auto* edit = dynamic_cast<const CEditUI*>(&control);
        if (dynamic_cast<const CLabelUI*>(&control) && !(edit && edit->IsPasswordMode())) {
            const CDuiString text = control.GetText();
            if (!text.IsEmpty()) {
                if (!joined.empty())
                    joined += ' ';
                joined += text.str();
            }
        }
        return true;
    });
    return CDuiString(joined);
}

} // namespace

CControlUI* AccessibleLabelOf(CControlUI& control)
{
    const CDuiString& labelName = control.GetLabelledBy();
    if (labelName.IsEmpty())
        return nullptr;
    for (CControlUI* ancestor = control.GetParent(); ancestor; ancestor = ancestor->GetParent()) {
        if (CControlUI* label = ancestor->FindSubControl(labelName.view()); label && label != &control)
            return label;
    }
    return nullptr;
}

UIAccessibleInfo DescribeForAccessibility(CControlUI& control)
{
    using enum UIAccessibleRole;
    UIAccessibleInfo info;
    info.role = control.GetAccessibleRole().value_or(RoleByClass(control));
    info.bounds = control.GetPos();
    if (!control.IsEnabled())
        info.states |= kAccessibleDisabled;
    if (!control.IsVisibleInTree())
        info.states |= kAccessibleInvisible;

    if (!control.GetAccessibleName().IsEmpty()) {
        info.name = control.GetAccessibleName();
    } else if (const CControlUI* label = AccessibleLabelOf(control)) {
        info.name = label->GetText();
    } else if (info.role == ListItem) {
        info.name = ShownTexts(control);
    } else if (dynamic_cast<const CLabelUI*>(&control) && !dynamic_cast<const CEditUI*>(&control)
        && !dynamic_cast<const CProgressUI*>(&control)) {
        info.name = control.GetText();
    }

    if (const auto* edit = dynamic_cast<const CEditUI*>(&control)) {
        info.states |= kAccessibleFocusable;
        if (edit->IsReadOnly())
            info.states |= kAccessibleReadOnly;
        if (edit->IsPasswordMode())
            info.states |= kAccessiblePassword;
        else
            info.value = control.GetText();
    } else if (dynamic_cast<const CButtonUI*>(&control)) {
        info.states |= kAccessibleFocusable;
        const auto* option = dynamic_cast<const COptionUI*>(&control);
        if (option && option->IsSelected())
            info.states |= kAccessibleSelected;
    } else if (const auto* progress = dynamic_cast<const CProgressUI*>(&control)) {
        info.minimum = progress->GetMinValue();
        info.maximum = progress->GetMaxValue();
        info.current = progress->GetValue();
        info.value = CDuiString(std::to_string(info.current));
    } else if (const auto* list = dynamic_cast<const CListUI*>(&control)) {
        info.rowCount = list->GetShownRowCount();
    }
    return info;
}
