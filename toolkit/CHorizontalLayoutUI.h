#pragma once

#include "toolkit/CContainerUI.h"

// Places its visible non-floating children from left to right: fixed widths first, the
// children with width 0 share what is left equally; heights are fixed or fill.
class CHorizontalLayoutUI : public CContainerUI {
public:
    std::string_view GetClass() const override;
    void SetPos(UIRect rect) override;
};
