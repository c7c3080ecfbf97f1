#pragma once

#include "toolkit/CControlUI.h"

#include <memory>
#include <vector>

// A control that owns children. A child added with Add/AddAt belongs to the container and is
// deleted with it (or by Remove); nobody deletes a child by hand.
// Plain containers give every non-floating child the whole inner rectangle (minus the child's
// padding, limited to its fixed size); the layouts below arrange them instead.
class CContainerUI : public CControlUI {
public:
    CContainerUI() = default;
    ~CContainerUI() override;

    std::string_view GetClass() const override;

    // Children. Add/AddAt take ownership of the control; a null control, or one that already
    // has a parent, gives false and is left alone. Remove deletes the child.
    virtual bool Add(CControlUI* control);
    virtual bool AddAt(CControlUI* control, int index);
    virtual bool Remove(CControlUI* control);
    virtual void RemoveAll();
    virtual int GetCount() const;
    virtual CControlUI* GetItemAt(int index) const;      // null outside 0..GetCount()-1
    virtual int GetItemIndex(CControlUI* control) const; // -1 when not a child
    // Makes room for count children in all (saves reallocations when many are added).
    void ReserveItems(int count);

    // Inner margin between the container's rectangle and its children.
    UIRect GetInset() const { return m_inset; }
    void SetInset(UIRect inset);
    void SetInset(int left, int top, int right, int bottom) { SetInset(UIRect{left, top, right, bottom}); }
    // Room between two neighbouring children of a layout or list.
    int GetChildPadding() const { return m_childPadding; }
    void SetChildPadding(int padding);

    void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
    CControlUI* FindSubControl(std::string_view name) override;
    void VisitTree(const std::function<bool(CControlUI&)>& visit) override;
    void SetPos(UIRect rect) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

protected:
    // The rectangle left for children: the rectangle minus the inset.
    UIRect InnerRect(UIRect rect) const;
    // Places floating child at its fixed position relative to the container's top-left corner.
    void PlaceFloat(CControlUI& child, UIRect rect);
    // Where a plain container puts a non-floating child: inner minus the child's padding,
    // limited to its fixed size.
    static UIRect FillRect(const CControlUI& child, UIRect inner);
    const std::vector<std::unique_ptr<CControlUI>>& Children() const { return m_items; }

private:
    std::vector<std::unique_ptr<CControlUI>> m_items;
    UIRect m_inset;
    int m_childPadding = 0;
};
