#pragma once

#include "toolkit/CListContainerElementUI.h"
#include "ui/list/IListElementUI.h"

#include <cstdint>

class CPaintManagerUI;
class RerListControlUI;

// A row of a list control. Its index is its 1-based position in the list; it makes the names
// of the row's controls unique ("%s%d") and enters generated names.
class RerListElementUI : public CListContainerElementUI, public IListElementUI {
public:
    RerListElementUI(RerListControlUI* owner, std::int32_t index) : index(index), owner(owner) { }

    // The row's skin file.
    virtual CDuiString GetElementSkin() = 0;
    // Finds the row's controls under root (built from the row skin) and extends their names
    // by the index; false when the skin lacks one of them.
    virtual bool InitElement(CControlUI* root) = 0;

    // Builds the row from its skin, names it after the owner's row prefix and the index, finds
    // its controls, and only then adds it to list (in a window or not yet). False without a skin
    // or one of the row's controls: then the row joined nothing and the caller still owns it.
    bool CreateIn(CListUI* list) override;

    std::int32_t GetIndex() const { return index; }

protected:
    std::int32_t index = 0;
    RerListControlUI* owner = nullptr;
};
