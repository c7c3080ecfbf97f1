#pragma once

#include "toolkit/CButtonUI.h"

// A button with a selected state. Options of one group (same group name in one window) are
// exclusive: selecting one deselects the others. Activate raises "click" and then selects
// (a grouped option) or toggles (an option without group).
// Every change of this option's own state raises "selectchanged" with it as sender (activating
// a grouped option that is already selected raises it too); options deselected because another
// one of their group was selected change silently.
class COptionUI : public CButtonUI {
public:
    COptionUI() = default;
    ~COptionUI() override;
    std::string_view GetClass() const override;

    bool Activate() override;

    const CDuiString& GetGroup() const { return m_group; }
    void SetGroup(const CDuiString& group); // empty: no group
    bool IsSelected() const { return m_selected; }
    void Selected(bool selected, bool notify = true);

    UIColor GetSelectedBkColor() const { return m_selectedBkColor; }
    void SetSelectedBkColor(UIColor color);
    UIColor GetSelectedTextColor() const { return m_selectedTextColor; }
    void SetSelectedTextColor(UIColor color);
    const CDuiString& GetSelectedImage() const { return m_selectedImage; }
    void SetSelectedImage(const CDuiString& image);

    void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    CDuiString m_group;
    bool m_selected = false;
    UIColor m_selectedBkColor = 0;
    UIColor m_selectedTextColor = 0;
    CDuiString m_selectedImage;
};
