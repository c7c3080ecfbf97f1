#include "toolkit/InViewWalk.h"

#include "toolkit/CContainerUI.h"
#include "toolkit/CListUI.h"

namespace {

void Walk(CControlUI& control, const UIRect& clip, InViewPlace place, IInViewVisitor& visitor)
{
    if (!control.IsVisible())
        return;
    const UIRect shown = control.GetPos().Intersected(clip);
    if (shown.IsEmpty() || !visitor.Enter(control, shown, place))
        return;
    if (auto* list = dynamic_cast<CListUI*>(&control)) {
        if (CListHeaderUI* header = list->GetHeader())
            Walk(*header, shown, InViewPlace::ListHeader, visitor);
        const UIRect view = list->GetViewRect().Intersected(shown);
        int first = 0;
        int last = -1;
        list->GetRowsInView(first, last);
        for (int i = first; i <= last; ++i) {
            if (CControlUI* row = list->GetItemAt(i))
                Walk(*row, view, InViewPlace::ListRow, visitor);
        }
    } else if (auto* container = dynamic_cast<CContainerUI*>(&control)) {
        for (int i = 0; i < container->GetCount(); ++i) {
            if (CControlUI* child = container->GetItemAt(i))
                Walk(*child, shown, InViewPlace::Child, visitor);
        }
    }
    visitor.Leave(control, shown);
}

} // namespace

void WalkInView(CControlUI& root, const UIRect& clip, IInViewVisitor& visitor)
{
    Walk(root, clip, InViewPlace::Root, visitor);
}
