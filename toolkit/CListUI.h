#pragma once

#include "toolkit/CListHeaderUI.h"
#include "toolkit/CVerticalLayoutUI.h"

#include <memory>
#include <vector>

// A vertically scrolling list of rows. Add/GetCount/GetItemAt address the rows; the header is
// owned separately (GetHeader). Hidden rows take no room.
//
// Layout is O(rows) with small constants: a layout pass only assigns each visible row its
// rectangle; the inside of a row is laid out when the row is in view, or on demand when one of
// its controls' GetPos is asked for. Backends create widgets only for GetRowsInView.
class CListUI : public CVerticalLayoutUI {
public:
    CListUI();
    ~CListUI() override;
    std::string_view GetClass() const override;

    CListHeaderUI* GetHeader() const { return m_header.get(); }

    // Width of the vertical scroll bar a backend draws along the list's right edge; rows keep
    // clear of it while it shows (scrolling enabled and more rows than fit).
    static constexpr int kScrollBarWidth = 12;
    // Scroll bars: which ones are on (vertical on by default).
    void EnableScrollBar(bool vertical = true, bool horizontal = false);
    bool IsVerticalScrollBarEnabled() const { return m_vScroll; }
    bool IsHorizontalScrollBarEnabled() const { return m_hScroll; }
    // Scroll position and the largest position (content height - view height, at least 0), as
    // {cx horizontal, cy vertical}. Both bring the layout up to date first.
    UISize GetScrollPos() const;
    UISize GetScrollRange() const;
    // Moves the view; positions are clamped to 0..range.
    void SetScrollPos(UISize pos);
    // Scrolls so that the row at index is fully in view.
    void EnsureVisible(int index);

    // Colours of the vertical scroll bar: the track, and the thumb at rest, under the mouse and
    // while dragged. Skin attributes "scrolltrackcolor", "scrollthumbcolor",
    // "scrollthumbhotcolor", "scrollthumbpushedcolor"; the defaults stand out against the track
    // and against light rows alike.
    struct ScrollBarColors {
        UIColor track = 0xFFD5DAE1;
        UIColor thumb = 0xFF7D8796;
        UIColor hotThumb = 0xFF4A5563;
        UIColor pushedThumb = 0xFF26303D;
    };
    const ScrollBarColors& GetScrollBarColors() const { return m_scrollColors; }
    void SetScrollBarColors(const ScrollBarColors& colors);

    // Height of rows without a fixed height.
    int GetDefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int height);

    // Rows (indices into GetItemAt) whose rectangles meet the view: [first, last], or
    // first > last when none. Brings the layout up to date first.
    void GetRowsInView(int& first, int& last) const;
    // How many rows are shown (hidden ones are not), as of the current layout.
    int GetShownRowCount() const;
    // The rectangle rows are shown in (inner rectangle below the header).
    UIRect GetViewRect() const;

    void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
    CControlUI* FindSubControl(std::string_view name) override;
    void VisitTree(const std::function<bool(CControlUI&)>& visit) override;
    void SetPos(UIRect rect) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    void LayOutRowsInView();
    void UpdateLayoutIfDirty() const;

    std::unique_ptr<CListHeaderUI> m_header;
    bool m_vScroll = true;
    bool m_hScroll = false;
    int m_defaultRowHeight = 24;
    ScrollBarColors m_scrollColors;
    int m_scrollY = 0;
    int m_contentHeight = 0; // all visible rows with their child padding
    int m_shownRows = 0;
    UIRect m_viewRect;
    std::vector<int> m_rowTops;    // top and bottom of each row relative to the content top;
    std::vector<int> m_rowBottoms; // both never decrease, so the rows in view are found by bisection
};
