#include "ui/batch/BatchListElementUI.h"

#include "platform/LocalText.h"
#include "platform/PathText.h"
#include "toolkit/CContainerUI.h"
#include "toolkit/CPaintManagerUI.h"

#include <string>

namespace {

// Finds name under root and gives it the row's index as a suffix, so that every row's
// controls have names of their own.
template <class T>
T* TakeIndexed(CControlUI* root, const char* name, std::int32_t index)
{
    T* control = CPaintManagerUI::FindSubControlByName<T>(root, name);
    if (control != nullptr)
        control->SetName(CDuiString(std::string(name) + std::to_string(index)));
    return control;
}

} // namespace

bool BatchListElementUI::InitElement(CControlUI* root)
{
    if (root == nullptr || owner == nullptr)
        return false;
    elementLayout = TakeIndexed<CContainerUI>(root, "BatchElementLayoutUI", index);
    srcText = TakeIndexed<CControlUI>(root, "text_conver_src", index);
    desText = TakeIndexed<CControlUI>(root, "text_conver_des", index);
    stateText = TakeIndexed<CControlUI>(root, "text_conver_state", index);
    SetFixedHeight(kRowHeight);
    return true;
}

void BatchListElementUI::ShowItem(const BatchItem& shown)
{
    item = shown;
    if (srcText != nullptr)
        srcText->SetText(CDuiString(item.sourceRoot + item.relativeDir + kPathSeparator + item.fileName));
    if (desText != nullptr)
        desText->SetText("");
    if (stateText != nullptr) {
        stateText->SetTextColor(kFreshStateColor);
        stateText->SetText("");
    }
    if (elementLayout != nullptr)
        elementLayout->SetBkColor(kRowColor);
}

void BatchListElementUI::ShowResult(const ConversionResult& result)
{
    const bool converted = result.outcome == ConversionOutcome::Converted;
    if (desText != nullptr)
        desText->SetText(CDuiString(result.outputPath));
    if (stateText != nullptr) {
        stateText->SetTextColor(converted ? kConvertedStateColor : kFailedStateColor);
        stateText->SetText(CDuiString(Utf8ToLocalText(ConversionStateText(result.outcome))));
    }
    if (elementLayout != nullptr)
        elementLayout->SetBkColor(converted ? kRowColor : kFailedRowColor);
}
