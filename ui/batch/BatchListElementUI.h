#pragma once

#include "torrent/BatchConversion.h"
#include "torrent/BatchItem.h"
#include "ui/list/ListElementControlUI.h"

#include <string>

class CContainerUI;

// One row of the batch list: the torrent's source path, its output path once converted, and a
// state text whose colour, together with the row's background, tells how the conversion went.
class BatchListElementUI : public ListElementControlUI {
public:
    static constexpr int kRowHeight = 103;
    static constexpr UIColor kRowColor = 0xFFF7D9B5; // fresh and converted rows
    static constexpr UIColor kFailedRowColor = 0xFFFD4D59;
    static constexpr UIColor kFreshStateColor = 0xFFFFFFFF;
    static constexpr UIColor kConvertedStateColor = 0xFF0000FF;
    static constexpr UIColor kFailedStateColor = 0xFFFF0000;

    using ListElementControlUI::ListElementControlUI;

    CDuiString GetElementSkin() override { return "BatchListSkin.xml"; }
    bool InitElement(CControlUI* root) override;

    // Shows item (whose sourceRoot is filled) as a fresh row: its full source path, no output
    // path, no state.
    void ShowItem(const BatchItem& shown);
    // Shows how the conversion of the row's item ended: the output path and the state text in
    // its colours.
    void ShowResult(const ConversionResult& result);

    const BatchItem& GetItem() const { return item; }
    CContainerUI* GetElementLayout() const { return elementLayout; }
    CControlUI* GetSourceText() const { return srcText; }
    CControlUI* GetOutputText() const { return desText; }
    CControlUI* GetStateText() const { return stateText; }

private:
    CContainerUI* elementLayout = nullptr;
    CControlUI* srcText = nullptr;
    CControlUI* desText = nullptr;
    CControlUI* stateText = nullptr;
    BatchItem item;
};
