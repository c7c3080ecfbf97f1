#pragma once

#include "toolkit/UIDefs.h"

#include <initializer_list>

class CButtonUI;
class CContainerUI;
class CControlUI;
class CPaintManagerUI;

// What the pages share in building themselves. A page builds everything while it is in no
// window, finding each control it needs in its own skin, and joins its tab last: a page that
// fails has joined nothing, and whoever made it still owns it.

// The colour buttons and tabs take under the mouse.
inline constexpr UIColor kHotColor = 0xFFFF2D2D;

// Builds skinFile into page and returns the skin's root, or null when there is no such skin.
// manager lends the window's defaults (fonts) to the skin.
CControlUI* BuildSkinInto(CContainerUI& page, const char* skinFile, CPaintManagerUI* manager = nullptr);
// Gives each button the hot colour and a border of 1; null buttons are skipped.
void StyleButtons(std::initializer_list<CButtonUI*> buttons);
