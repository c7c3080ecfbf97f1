#pragma once

class CListUI;

// A row that builds itself from its own skin and joins a list.
class IListElementUI {
public:
    virtual ~IListElementUI() = default;
    // Builds the row and adds it to list; false when the row could not be built.
    virtual bool CreateIn(CListUI* list) = 0;
};
