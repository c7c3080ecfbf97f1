#pragma once

#include "toolkit/UIDefs.h"

class CControlUI;
class CPaintManagerUI;

// The innermost visible control at point (window coordinates), as the painter shows the tree:
// rows of a list only inside its view; null outside the root.
CControlUI* ControlAt(CPaintManagerUI& manager, UIPoint point);
// Whether point lies in the skin's caption strip and on nothing that takes the pointer itself
// (a button, an option, an edit, a list or a web view): there the pointer drags the window.
bool InCaption(CPaintManagerUI& manager, UIPoint point);
// Whether control reacts to the pointer (so a press on it is no drag of the window).
bool TakesPointer(const CControlUI& control);
