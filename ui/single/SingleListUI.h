#pragma once

#include "ui/list/RerListBaseUI.h"

// The list of the single file list: rows 5 pixels apart.
class SingleListUI : public RerListBaseUI {
public:
    static constexpr int kRowSpacing = 5;
    SingleListUI() : RerListBaseUI(kRowSpacing) { }
};
