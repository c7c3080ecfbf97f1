#pragma once

#include "toolkit/CListUI.h"
#include "ui/list/ILayerListUI.h"

// The list that holds a list control's rows: header hidden, vertical scroll bar only, an outer
// padding of 2 and a list-specific room between rows.
class RerListBaseUI : public CListUI, public ILayerListUI {
public:
    explicit RerListBaseUI(int rowSpacing) : m_rowSpacing(rowSpacing) { }

    bool AttachTo(CContainerUI* layout) override;

private:
    int m_rowSpacing = 0;
};
