#pragma once

#include "toolkit/CContainerUI.h"

#include <cstdint>
#include <map>
#include <string>

class CPaintManagerUI;
class RerListBaseUI;
class RerListElementUI;

// A list control: builds its own skin into a host container, finds the layout that receives
// its list, makes the list and starts it with a pool of hidden rows. The concrete controls say
// which names and skins they use and which list and rows they make.
class RerListControlUI : public CContainerUI {
public:
    // Keys of the name table.
    static constexpr std::int32_t kControlNameKey = 0;
    static constexpr std::int32_t kListLayoutKey = 1;
    static constexpr std::int32_t kRowPrefixKey = 2;
    // Rows every list starts with, hidden, indices 1 to kPooledRows.
    static constexpr std::int32_t kPooledRows = 20;

    RerListControlUI() = default;
    ~RerListControlUI() override = default;

    // Puts the control's names into the table (see the keys above).
    virtual bool FillNames() = 0;
    // The control's skin file.
    virtual CDuiString GetControlSkin() = 0;
    // A new, empty list of this control's kind.
    virtual RerListBaseUI* CreateList() = 0;
    // A new row with the given index (its 1-based position), or null.
    virtual RerListElementUI* CreateElement(std::int32_t index) = 0;
    // Called once the control is built, with the window's paint manager.
    virtual bool OnCreated(CPaintManagerUI* manager) = 0;
    // Adds the pool of hidden rows to list.
    virtual bool CreateElements(RerListBaseUI* list);
    // Builds the control into host. False without a paint manager, skin or list layout (then no
    // rows are made).
    virtual bool BuildInto(CContainerUI* host);

    // The text under key, or the empty text when there is none.
    const std::string& Name(std::int32_t key) const;
    // The list, once built; null before (or when the skin has no list layout).
    RerListBaseUI* GetList() const { return list; }

protected:
    std::map<std::int32_t, std::string> names;
    RerListBaseUI* list = nullptr;
};
