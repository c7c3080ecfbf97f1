#pragma once

#include "toolkit/CLabelUI.h"

// A progress bar: the background image (SetBkImage) with the foreground image drawn over the
// part (value - min) / (max - min), from the left (horizontal) or the bottom (vertical).
class CProgressUI : public CLabelUI {
public:
    std::string_view GetClass() const override;

    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetMinValue() const { return m_min; }
    void SetMinValue(int value);
    int GetMaxValue() const { return m_max; }
    void SetMaxValue(int value);
    int GetValue() const { return m_value; }
    void SetValue(int value); // stored as given
    const CDuiString& GetForeImage() const { return m_foreImage; }
    void SetForeImage(const CDuiString& image);
    // The filled share, 0.0 .. 1.0 (the value clamped to min..max; 0 when max <= min).
    double GetFillFraction() const;

    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    bool m_horizontal = true;
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
    CDuiString m_foreImage;
};
