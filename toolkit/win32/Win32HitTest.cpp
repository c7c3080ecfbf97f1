#include "toolkit/win32/Win32HitTest.h"

#include "toolkit/CButtonUI.h"
#include "toolkit/CContainerUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"

namespace {

bool Contains(const UIRect& r, UIPoint p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

CControlUI* Deepest(CControlUI& control, UIPoint point)
{
    if (!control.IsVisible() || !Contains(control.GetPos(), point))
        return nullptr;
    if (auto* list = dynamic_cast<CListUI*>(&control)) {
        if (CListHeaderUI* header = list->GetHeader(); header != nullptr) {
            if (CControlUI* hit = Deepest(*header, point))
                return hit;
        }
        if (Contains(list->GetViewRect(), point)) {
            int first = 0;
            int last = -1;
            list->GetRowsInView(first, last);
            for (int i = last; i >= first; --i) {
                if (CControlUI* row = list->GetItemAt(i)) {
                    if (CControlUI* hit = Deepest(*row, point))
                        return hit;
                }
            }
        }
        return &control;
    }
    if (auto* container = dynamic_cast<CContainerUI*>(&control)) {
        // The last child is painted on top, so it is asked first.
        for (int i = container->GetCount() - 1; i >= 0; --i) {
            if (CControlUI* child = container->GetItemAt(i)) {
                if (CControlUI* hit = Deepest(*child, point))
                    return hit;
            }
        }
    }
    return &control;
}

} // namespace

CControlUI* ControlAt(CPaintManagerUI& manager, UIPoint point)
{
    CControlUI* root = manager.GetRoot();
    return root != nullptr ? Deepest(*root, point) : nullptr;
}

bool TakesPointer(const CControlUI& control)
{
    return dynamic_cast<const CButtonUI*>(&control) != nullptr || dynamic_cast<const CEditUI*>(&control) != nullptr
        || dynamic_cast<const CListUI*>(&control) != nullptr || dynamic_cast<const CWebBrowserUI*>(&control) != nullptr;
}

bool InCaption(CPaintManagerUI& manager, UIPoint point)
{
    const UIRect caption = manager.GetCaptionRect();
    if (caption.bottom <= caption.top || manager.GetRoot() == nullptr)
        return false;
    const int right = caption.right > 0 ? caption.right : manager.GetRoot()->GetPos().right;
    if (point.x < caption.left || point.x >= right || point.y < caption.top || point.y >= caption.bottom)
        return false;
    // A press on a control inside a list or on a button is theirs, not a drag.
    for (CControlUI* hit = ControlAt(manager, point); hit != nullptr; hit = hit->GetParent()) {
        if (TakesPointer(*hit))
            return false;
    }
    return true;
}
