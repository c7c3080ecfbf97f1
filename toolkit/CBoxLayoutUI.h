#pragma once

#include "toolkit/CContainerUI.h"

// Which way a box lays its children out.
enum class Orientation {
    Horizontal, // from left to right
    Vertical,   // from top to bottom
};

// Places its visible non-floating children one after another along its orientation: fixed
// lengths first, the children with length 0 share what is left equally (the last one takes
// the remainder); across the line each child has its fixed size or fills. Floating children
// are placed on their own.
class CBoxLayoutUI : public CContainerUI {
public:
    explicit CBoxLayoutUI(Orientation orientation) : m_orientation(orientation) { }

    void SetPos(UIRect rect) override;
    Orientation GetOrientation() const { return m_orientation; }

private:
    // Places the children in rect, along the line of the orientation `horizontal` names.
    template <bool horizontal>
    void LayOut(UIRect rect);

    Orientation m_orientation;
};
