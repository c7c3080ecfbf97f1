#pragma once
// The list both real backends scroll: 100 000 rows of one edit each, added to a host container,
// so that a backend must keep widgets for a screenful of rows only and the tree's text for all.

#include "toolkit/UIlib.h"

#include <string>

// Row i is height + step * (i % 3) high. Its edit, "edit_row<i>", editHeight high, fills the row's
// width when step is 0; otherwise it floats 200 wide at (80, 3 + step * (i % 3)), where the single
// page puts a file's name below its folders.
struct RowShape {
    int height, step, editHeight;
};

struct HundredThousandRows {
    static constexpr int kCount = 100000;

    HundredThousandRows(CContainerUI& host, RowShape shape)
    {
        list->GetHeader()->SetVisible(false);
        host.Add(list);
        for (int i = 0; i < kCount; ++i) {
            auto* row = new CListContainerElementUI;
            row->SetFixedHeight(shape.height + shape.step * (i % 3));
            auto* edit = new CEditUI;
            edit->SetName(CDuiString("edit_row" + std::to_string(i)));
            edit->SetFixedHeight(shape.editHeight);
            if (shape.step != 0) {
                edit->SetFloat(true);
                edit->SetFixedXY(80, 3 + shape.step * (i % 3));
                edit->SetFixedWidth(200);
            }
            row->Add(edit);
            list->Add(row);
        }
    }
    CControlUI* Edit(int row) const { return list->FindSubControl("edit_row" + std::to_string(row)); }

    CListUI* list = new CListUI;
};
