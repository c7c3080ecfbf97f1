#pragma once

#include "toolkit/CContainerUI.h"

// Shows exactly one child (the selected page) over the whole inner rectangle; the others are hidden.
// The first child added is selected; later children are added hidden.
class CTabLayoutUI : public CContainerUI {
public:
    std::string_view GetClass() const override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;

    int GetCurSel() const { return m_curSel; } // -1 when empty
    // Shows the child at index (or the given child) and hides the others; raises "tabselect"
    // (wParam new index, lParam old index) when the selection changes. False for a bad index.
    bool SelectItem(int index);
    bool SelectItem(CControlUI* control);

    void SetPos(UIRect rect) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    int m_curSel = -1;
    int m_wantedSel = -1; // skin "selectedid": selected once that child arrives
};
