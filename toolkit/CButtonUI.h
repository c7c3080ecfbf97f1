#pragma once

#include "toolkit/CLabelUI.h"

// A label that can be clicked: Activate raises "click". Hot (mouse over) and pushed looks
// come from the hot/pushed colours and images. Text centred by default.
class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    std::string_view GetClass() const override;

    bool Activate() override;

    UIColor GetHotBkColor() const { return m_hotBkColor; }
    void SetHotBkColor(UIColor color);
    UIColor GetHotTextColor() const { return m_hotTextColor; }
    void SetHotTextColor(UIColor color);
    UIColor GetPushedBkColor() const { return m_pushedBkColor; }
    void SetPushedBkColor(UIColor color);
    const CDuiString& GetNormalImage() const { return m_normalImage; }
    void SetNormalImage(const CDuiString& image);
    const CDuiString& GetHotImage() const { return m_hotImage; }
    void SetHotImage(const CDuiString& image);
    const CDuiString& GetPushedImage() const { return m_pushedImage; }
    void SetPushedImage(const CDuiString& image);
    const CDuiString& GetDisabledImage() const { return m_disabledImage; }
    void SetDisabledImage(const CDuiString& image);

    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    UIColor m_hotBkColor = 0;
    UIColor m_hotTextColor = 0;
    UIColor m_pushedBkColor = 0;
    CDuiString m_normalImage;
    CDuiString m_hotImage;
    CDuiString m_pushedImage;
    CDuiString m_disabledImage;
};
