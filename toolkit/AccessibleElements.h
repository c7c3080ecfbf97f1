#pragma once

#include "toolkit/UIAccessible.h"

#include <vector>

class CControlUI;

// One control as assistive technology sees it at one moment.
struct UIAccessibleElement {
    CControlUI* control = nullptr;
    UIAccessibleInfo info;
};

// The controls of a tree that say something to assistive technology, in reading order (tree
// order): everything shown but plain panes, whose contents stand in their place. Of a list only
// the rows in view are there (the list tells the count of all rows), so reading a 100 000-row
// list costs a screenful of rows. The layout must be current.
std::vector<UIAccessibleElement> CollectAccessibleElements(CControlUI& root);
