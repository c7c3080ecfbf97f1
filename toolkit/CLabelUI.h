#pragma once

#include "toolkit/CControlUI.h"

// A control that shows one text with a font, colour (both kept by CControlUI) and alignment.
class CLabelUI : public CControlUI {
public:
    std::string_view GetClass() const override;

    // Font and text colour: see CControlUI::SetFont and CControlUI::SetTextColor.
    UIColor GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(UIColor color);
    // UITextAlign flags; default left + vertically centred.
    std::uint32_t GetTextStyle() const { return m_textStyle; }
    void SetTextStyle(std::uint32_t style);
    // Room between the control's edges and its text.
    UIRect GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(UIRect padding);

    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    UIColor m_disabledTextColor = 0;
    std::uint32_t m_textStyle = kAlignLeft | kAlignVCenter;
    UIRect m_textPadding;
};
