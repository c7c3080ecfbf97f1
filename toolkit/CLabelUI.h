#pragma once

#include "toolkit/CControlUI.h"

// A control that shows one text with a font, colour and alignment.
class CLabelUI : public CControlUI {
public:
    std::string_view GetClass() const override;

    // Index into the window's font table (<Font id=...> of the window skin); -1 = default font.
    int GetFont() const { return m_font; }
    void SetFont(int index);
    UIColor GetTextColor() const { return m_textColor; }   // 0 = the window's default colour
    void SetTextColor(UIColor color);
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
    int m_font = -1;
    UIColor m_textColor = 0;
    UIColor m_disabledTextColor = 0;
    std::uint32_t m_textStyle = kAlignLeft | kAlignVCenter;
    UIRect m_textPadding;
};
