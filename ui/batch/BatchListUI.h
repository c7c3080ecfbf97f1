#pragma once

#include "ui/list/RerListBaseUI.h"

// The list of the batch list: rows 15 pixels apart.
class BatchListUI : public RerListBaseUI {
public:
    static constexpr int kRowSpacing = 15;
    BatchListUI() : RerListBaseUI(kRowSpacing) { }
};
