#pragma once

#include "toolkit/CLabelUI.h"

// A one-line text field. The tree holds its text; what the user types comes back from the
// backend through UserEdited, which stores it and raises "textchanged".
class CEditUI : public CLabelUI {
public:
    std::string_view GetClass() const override;

    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly = true);
    bool IsPasswordMode() const { return m_password; }
    void SetPasswordMode(bool password = true);
    int GetMaxChar() const { return m_maxChar; } // bytes; 0 = no limit
    void SetMaxChar(int maxChar);

    // Called by backends with the text the user typed (active code page bytes).
    void UserEdited(const CDuiString& text);

    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    bool m_readOnly = false;
    bool m_password = false;
    int m_maxChar = 0;
};
