#pragma once

#include "toolkit/CDuiString.h"
#include "toolkit/UIAccessible.h"
#include "toolkit/UIDefs.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class CPaintManagerUI;

// Base of every control: the properties all controls share, the control's place in the tree
// (parent, paint manager) and the rectangle that the layout engine computed for it.
//
// Setters that change the look call Invalidate(); setters that change sizes or positions call
// NeedUpdate(), which marks the window's layout dirty. Backends run the layout
// (CPaintManagerUI::UpdateLayout) before they mirror the tree.
class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // The skin element name of the class ("Control", "Label", "Button", ...).
    virtual std::string_view GetClass() const;

    // ---- tree ----
    CPaintManagerUI* GetManager() const { return m_manager; }
    CControlUI* GetParent() const { return m_parent; }
    // Sets manager and parent; containers pass the manager on to their children.
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
    // This control or the first descendant (depth first, in child order) with that name; null if none.
    virtual CControlUI* FindSubControl(std::string_view name);
    // Calls visit for this control, then (when visit returned true) for its descendants, depth first,
    // in child order. Backends use it to walk the tree, skipping hidden subtrees.
    virtual void VisitTree(const std::function<bool(CControlUI&)>& visit);

    // ---- identity, text, data ----
    const CDuiString& GetName() const { return m_name; }
    void SetName(const CDuiString& name);
    virtual CDuiString GetText() const;
    virtual void SetText(const CDuiString& text);
    const CDuiString& GetToolTip() const;
    void SetToolTip(const CDuiString& text);
    // An integer or pointer the program attaches to the control (0 when not set).
    std::uintptr_t GetTag() const { return m_tag; }
    void SetTag(std::uintptr_t tag) { m_tag = tag; }
    template <class T>
    void SetTag(T* pointer)
    {
        m_tag = reinterpret_cast<std::uintptr_t>(pointer);
    }
    // A borrowed pointer the program attaches to the control (null when not set).
    // Kept in the control itself: list rows give one to each of their many edits.
    void* GetUserExtraData() const;
    void SetUserExtraData(void* data);
    // A text the program attaches to the control.
    const CDuiString& GetUserData() const;
    void SetUserData(const CDuiString& text);

    // ---- assistive technology (DescribeForAccessibility reads these) ----
    // "accessiblename": the name told for a control that shows no text of its own (an icon, "×").
    const CDuiString& GetAccessibleName() const;
    void SetAccessibleName(const CDuiString& name);
    // "labelledby": the name of the label beside this control whose text names it (an edit's caption);
    // looked up in the nearest ancestor that holds a control of that name.
    const CDuiString& GetLabelledBy() const;
    void SetLabelledBy(const CDuiString& labelName);
    // "accessiblerole": what the control is when its class alone does not tell (an option that is a page tab).
    std::optional<UIAccessibleRole> GetAccessibleRole() const;
    void SetAccessibleRole(std::optional<UIAccessibleRole> role);

    // ---- state ----
    bool IsVisible() const { return m_visible; }
    virtual void SetVisible(bool visible = true);
    bool IsEnabled() const { return m_enabled; }
    virtual void SetEnabled(bool enabled = true);
    // True when this control and all its ancestors are visible.
    bool IsVisibleInTree() const;

    // ---- look ----
    UIColor GetBkColor() const { return m_bkColor; }
    void SetBkColor(UIColor color);
    const CDuiString& GetBkImage() const; // a picture name in the skin archive
    void SetBkImage(const CDuiString& image);
    int GetBorderSize() const { return m_borderSize; }
    void SetBorderSize(int size);
    UIColor GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(UIColor color);
    // Text look (used by the controls that show a text): index into the window's font table
    // (<Font id=...> of the window skin), -1 = default font; colour 0 = the window's default.
    int GetFont() const { return m_font; }
    void SetFont(int index);
    UIColor GetTextColor() const { return m_textColor; }
    void SetTextColor(UIColor color);

    // ---- geometry ----
    // A floating control is placed at its fixed position relative to its parent's top-left
    // corner, with its fixed size, and takes no room from the other children.
    bool IsFloat() const { return m_float; }
    void SetFloat(bool isFloat = true);
    UISize GetFixedXY() const { return m_fixedXY; }
    void SetFixedXY(UISize xy);
    void SetFixedXY(int x, int y) { SetFixedXY(UISize{x, y}); }
    // 0 means "fill": the layout gives the control the room that is left.
    int GetFixedWidth() const { return m_fixedWidth; }
    void SetFixedWidth(int width);
    int GetFixedHeight() const { return m_fixedHeight; }
    void SetFixedHeight(int height);
    // Outer margin kept free around the control inside its parent's layout.
    UIRect GetPadding() const { return m_padding; }
    void SetPadding(UIRect padding);
    void SetPadding(int left, int top, int right, int bottom) { SetPadding(UIRect{left, top, right, bottom}); }

    // The rectangle computed by the layout, in window coordinates (made current first when its
    // list row was laid out lazily).
    UIRect GetPos() const;
    int GetWidth() const { return GetPos().Width(); }
    int GetHeight() const { return GetPos().Height(); }
    // Layout: place this control (and, for containers, its children) in rect.
    virtual void SetPos(UIRect rect);
    // The size the control wants inside available room: its fixed size; 0 in a dimension = fill.
    virtual UISize EstimateSize(UISize available) const;

    // Marks the window's layout dirty (sizes or positions changed).
    void NeedUpdate();
    // Marks the look of this control changed; the backend mirrors it at its next update.
    void Invalidate();
    // Grows by one at every change of this control; backends compare it to skip unchanged controls.
    std::uint32_t GetRevision() const { return m_revision; }

    // ---- skin ----
    // Sets one property from its skin attribute; unknown names are ignored.
    virtual void SetAttribute(std::string_view name, std::string_view value);

    // ---- user actions (called by backends) ----
    // What a click does. Returns false when the control is disabled or hidden.
    virtual bool Activate();

protected:
    // The rectangle as stored, without making a lazy row current (for layout code).
    const UIRect& RawPos() const { return m_rect; }
    void SetRawPos(UIRect rect) { m_rect = rect; }
    // Lists lay out the inside of off-screen rows lazily: a stale row's children have old rectangles
    // until GetPos is called on one of them or the row scrolls into view.
    bool IsLayoutStale() const { return m_layoutStale; }
    void SetLayoutStale(bool stale) { m_layoutStale = stale; }
    // Raises a notification of this control through its paint manager (if any).
    void SendNotify(const char* type, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    friend class CListUI;

private:
    struct Extras; // rarely used properties, allocated on first use
    Extras& TakeExtras();

    CPaintManagerUI* m_manager = nullptr;
    CControlUI* m_parent = nullptr;
    CDuiString m_name;
    CDuiString m_text;
    std::unique_ptr<Extras> m_extras;
    std::uintptr_t m_tag = 0;
    void* m_userExtraData = nullptr;
    UIRect m_rect;
    UIRect m_padding;
    UISize m_fixedXY;
    int m_fixedWidth = 0;
    int m_fixedHeight = 0;
    UIColor m_bkColor = 0;
    UIColor m_borderColor = 0;
    UIColor m_textColor = 0;
    int m_font = -1;
    int m_borderSize = 0;
    std::uint32_t m_revision = 0;
    // "labelledby" as an id of a label name kept once for the process (0: none): every row of a
    // long list has one, and a few bytes left over at the end of the control hold it without an
    // allocation.
    std::uint32_t m_labelledBy = 0;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_float = false;
    bool m_layoutStale = false;
};
