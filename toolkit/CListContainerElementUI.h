#pragma once

#include "toolkit/CContainerUI.h"

// One row of a CListUI: a container (its children fill the row). A row without a fixed height
// gets the list's default row height.
class CListContainerElementUI : public CContainerUI {
public:
    std::string_view GetClass() const override;
};
