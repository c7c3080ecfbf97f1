#pragma once

#include "toolkit/CBoxLayoutUI.h"

// A box that places its children from left to right.
class CHorizontalLayoutUI : public CBoxLayoutUI {
public:
    CHorizontalLayoutUI() : CBoxLayoutUI(Orientation::Horizontal) { }
    std::string_view GetClass() const override;
};
