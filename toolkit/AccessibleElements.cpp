#include "toolkit/AccessibleElements.h"

#include "toolkit/AccessibleDescription.h"
#include "toolkit/CContainerUI.h"
#include "toolkit/CListUI.h"

namespace {

void Collect(CControlUI& control, std::vector<UIAccessibleElement>& out)
{
    if (!control.IsVisible() || control.GetPos().IsEmpty())
        return;
    UIAccessibleInfo info = DescribeForAccessibility(control);
    if (info.role != UIAccessibleRole::Pane || !info.name.IsEmpty())
        out.push_back(UIAccessibleElement{&control, std::move(info)});
    if (auto* list = dynamic_cast<CListUI*>(&control)) {
        int first = 0;
        int last = -1;
        list->GetRowsInView(first, last);
        for (int i = first; i <= last; ++i) {
            if (CControlUI* row = list->GetItemAt(i))
                Collect(*row, out);
        }
    } else if (auto* container = dynamic_cast<CContainerUI*>(&control)) {
        for (int i = 0; i < container->GetCount(); ++i) {
            if (CControlUI* child = container->GetItemAt(i))
                Collect(*child, out);
        }
    }
}

} // namespace

std::vector<UIAccessibleElement> CollectAccessibleElements(CControlUI& root)
{
    std::vector<UIAccessibleElement> elements;
    Collect(root, elements);
    return elements;
}
