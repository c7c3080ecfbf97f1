#pragma once

#include "toolkit/CContainerUI.h"

// Stacks its visible non-floating children from top to bottom: fixed heights first, the
// children with height 0 share what is left equally; widths are fixed or fill.
class CVerticalLayoutUI : public CContainerUI {
public:
    std::string_view GetClass() const override;
    void SetPos(UIRect rect) override;
};
