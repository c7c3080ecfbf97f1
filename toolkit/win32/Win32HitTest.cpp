#include "toolkit/win32/Win32HitTest.h"

#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/InViewWalk.h"

namespace {

// The deepest control under a point that nothing later lies over: the last one the walk enters
// whose shown part holds the point.
class PointFinder final : public IInViewVisitor {
public:
    explicit PointFinder(UIPoint point) : m_point(point) { }

    bool Enter(CControlUI& control, const UIRect& shown, InViewPlace) override
    {
        if (!shown.Contains(m_point))
            return false;
        m_found = &control;
        return true;
    }

    CControlUI* Found() const { return m_found; }

private:
    UIPoint m_point;
    CControlUI* m_found = nullptr;
};

} // namespace

CControlUI* ControlAt(CPaintManagerUI& manager, UIPoint point)
{
    CControlUI* root = manager.GetRoot();
    if (root == nullptr)
        return nullptr;
    PointFinder finder(point);
    WalkInView(*root, root->GetPos(), finder);
    return finder.Found();
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
