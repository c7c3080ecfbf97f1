#pragma once

#include "toolkit/CHorizontalLayoutUI.h"

// The header strip of a list (column captions). Lists own it apart from their rows; it is
// laid out above the rows when it is visible and has columns (fixed height, 24 by default).
class CListHeaderUI : public CHorizontalLayoutUI {
public:
    CListHeaderUI();
    std::string_view GetClass() const override;
};
