#pragma once

#include "toolkit/CBoxLayoutUI.h"

// A box that stacks its children from top to bottom.
class CVerticalLayoutUI : public CBoxLayoutUI {
public:
    CVerticalLayoutUI() : CBoxLayoutUI(Orientation::Vertical) { }
    std::string_view GetClass() const override;
};
