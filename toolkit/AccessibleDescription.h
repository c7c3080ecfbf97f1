#pragma once

#include "toolkit/UIAccessible.h"

class CControlUI;

// What control is for assistive technology, from what it is and shows:
// - role: the skin's "accessiblerole", else by class (buttons push buttons, options radio buttons,
//   edits editable text, labels static text, lists, their rows list items, progress bars, web views
//   web documents, anything else a pane);
// - name: the skin's "accessiblename", else the text of the label named by "labelledby", else the
//   text shown (labels, buttons, options); a list row is named by all the texts it shows, in
//   reading order, captions included ("文件 a.mkv 大小 …"), so a screen reader can tell one row from the next;
// - value: an edit's text (none in password mode), a progress bar's value;
// - states, bounds (GetPos), and a list's count of all rows shown (in view or not).
UIAccessibleInfo DescribeForAccessibility(CControlUI& control);

// The label named by control's "labelledby": looked for below each ancestor in turn, nearest
// first, so that every row of a list finds its own caption; null when there is none.
CControlUI* AccessibleLabelOf(CControlUI& control);
