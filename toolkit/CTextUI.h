#pragma once

#include "toolkit/CLabelUI.h"

// A label for longer texts: wraps words onto several lines (top-left aligned by default).
class CTextUI : public CLabelUI {
public:
    CTextUI();
    std::string_view GetClass() const override;
};
