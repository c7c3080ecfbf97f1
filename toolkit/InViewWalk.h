#pragma once

#include "toolkit/UIDefs.h"

class CControlUI;

// Where a control lies in the walk, for a visitor that builds something nested (a list's header
// and its rows sit in different places of a list's widget).
enum class InViewPlace { Root, Child, ListHeader, ListRow };

// Receives what is in view of a control tree, in painting order: a control before what lies
// inside it, earlier siblings before later ones (which lie over them).
class IInViewVisitor {
public:
    virtual ~IInViewVisitor() = default;
    // control is visible, and `shown` (its rectangle cut to what its ancestors show) is not
    // empty. Returning false skips what lies inside it.
    virtual bool Enter(CControlUI& control, const UIRect& shown, InViewPlace place) = 0;
    // Everything inside control has been walked.
    virtual void Leave(CControlUI& control, const UIRect& shown)
    {
        (void)control;
        (void)shown;
    }
};

// Walks root and what is in view inside it, cut to clip: a container's children within its shown
// part; a list's header within its shown part and only the rows in view, within its view
// rectangle. A hidden control and one wholly outside what its ancestors show are skipped with
// everything inside them, so a list of any length costs the rows on screen.
void WalkInView(CControlUI& root, const UIRect& clip, IInViewVisitor& visitor);
