#pragma once

#include "toolkit/CContainerUI.h"
#include "ui/list/RerListBaseUI.h"
#include "ui/list/RerListElementUI.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

class CPaintManagerUI;

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
    // Called once the control is built, before it joins its host, with the paint manager of
    // the window it is for; it finds what it needs in its own skin.
    virtual bool OnCreated(CPaintManagerUI* manager) = 0;
    // Adds the pool of hidden rows to list.
    virtual bool CreateElements(RerListBaseUI* list);
    // Builds the control, its list and its pool of rows while it is in no window, for the window
    // of manager, and only then adds it to host. False when the skin or its list layout is
    // missing: then nothing joined host and the caller still owns the control.
    virtual bool BuildInto(CContainerUI& host, CPaintManagerUI& manager);

    // A new list control of type List (made from args) built into host for manager's window:
    // the control, which host owns, or null when host is null or the build failed (and then
    // nothing is left behind).
    template <class List, class... Args>
    static List* MakeInto(CContainerUI* host, CPaintManagerUI& manager, Args&&... args)
    {
        if (host == nullptr)
            return nullptr;
        auto made = std::make_unique<List>(std::forward<Args>(args)...);
        return made->BuildInto(*host, manager) ? made.release() : nullptr;
    }

    // The text under key, or the empty text when there is none.
    const std::string& Name(std::int32_t key) const;
    // The list, once built; null before (or when the skin has no list layout).
    RerListBaseUI* GetList() const { return list; }

protected:
    // The row at position (0-based) of the list, as the row class of the control, or null.
    template <class Row>
    Row* RowAs(int position) const
    {
        return list != nullptr ? dynamic_cast<Row*>(list->GetItemAt(position)) : nullptr;
    }

    // Shows `count` rows from the top: the rows made before are reused, and past them new rows
    // are made (CreateElement with the 1-based position as index) and built into the list;
    // `show(row, position)` fills each. Then hides the rows from `count` up to `hideUpTo` (the
    // rest are hidden already) and scrolls back to the top.
    template <class Row, class Show>
    void ShowRows(std::size_t count, int hideUpTo, const Show& show)
    {
        if (list == nullptr)
            return;
        const int existing = list->GetCount();
        list->ReserveItems(static_cast<int>(count));
        for (std::size_t position = 0; position < count; ++position) {
            const int at = static_cast<int>(position);
            Row* row = nullptr;
            if (at < existing) {
                row = RowAs<Row>(at);
            } else if (auto* made = static_cast<Row*>(CreateElement(at + 1))) {
                if (made->CreateIn(list))
                    row = made;
                else
                    delete made; // never joined the tree
            }
            if (row != nullptr) {
                show(*row, position);
                row->SetVisible(true);
            }
        }
        for (int position = static_cast<int>(count); position < std::min(existing, hideUpTo); ++position)
            list->GetItemAt(position)->SetVisible(false);
        list->SetScrollPos(UISize{0, 0});
    }

    std::map<std::int32_t, std::string> names;
    RerListBaseUI* list = nullptr;
};
