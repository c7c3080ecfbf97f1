#include "ui/batch/BatchControlUI.h"

#include "platform/LocalText.h"
#include "shell/NoticeBoxUI.h"
#include "shell/PageParts.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWindowWnd.h"
#include "toolkit/FileDialogs.h"
#include "torrent/BatchRun.h"
#include "torrent/TorrentFolderScan.h"
#include "ui/batch/BatchListControl.h"

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

BatchControlUI::BatchControlUI(CWindowWnd* mainFrame) : mainFrame(mainFrame) { }

BatchControlUI::~BatchControlUI() = default;

bool BatchControlUI::CreatePage(CContainerUI& parent)
{
    CPaintManagerUI* manager = parent.GetManager();
    CControlUI* root = manager != nullptr ? BuildSkinInto(*this, "BatchSkin.xml") : nullptr;
    if (root == nullptr)
        return false;
    srcButton = CPaintManagerUI::FindSubControlByName<CButtonUI>(root, "btn_batch_src");
    desButton = CPaintManagerUI::FindSubControlByName<CButtonUI>(root, "btn_batch_des");
    converButton = CPaintManagerUI::FindSubControlByName<CButtonUI>(root, "btn_batch_conver");
    auto* progressLayout = CPaintManagerUI::FindSubControlByName<CContainerUI>(root, "BatchFunLayoutUI");
    if (srcButton == nullptr || desButton == nullptr || progressLayout == nullptr)
        return false;
    srcEdit = CPaintManagerUI::FindSubControlByName<CEditUI>(root, "edit_batch_src");
    desEdit = CPaintManagerUI::FindSubControlByName<CEditUI>(root, "edit_batch_des");
    rateText = CPaintManagerUI::FindSubControlByName(root, "text_batch_rate");
    listControl = RerListControlUI::MakeInto<BatchListControl>(
        CPaintManagerUI::FindSubControlByName<CContainerUI>(root, "TorrentListLayoutUI"), *manager, this);
    if (listControl == nullptr)
        return false;
    listControl->CreateProgressBar(progressLayout);
    hintText = CPaintManagerUI::FindSubControlByName(listControl, "label_batch_hint"); // in the list's skin

    StyleButtons({srcButton, desButton, converButton});
    if (converButton != nullptr)
        converButton->SetEnabled(false);
    // The source is only ever set through the folder dialog, which scans it; the destination
    // may be typed.
    if (srcEdit != nullptr)
        srcEdit->SetEnabled(false);
    if (desEdit != nullptr)
        desEdit->SetEnabled(true);
    return parent.Add(this);
}

std::string BatchControlUI::EditText(const CEditUI* edit) const
{
    return edit != nullptr ? edit->GetText().str() : std::string();
}

std::optional<std::string> BatchControlUI::AskFolderInto(const char* titleUtf8, CEditUI* edit, std::string& lastChosen)
{
    std::optional<std::string> path = ShowFolderDialog(mainFrame != nullptr ? mainFrame->GetHWND() : nullptr,
        CDuiString(Utf8ToLocalText(titleUtf8)), CDuiString(lastChosen));
    if (!path || path->empty())
        return std::nullopt;
    lastChosen = *path;
    if (edit != nullptr)
        edit->SetText(CDuiString(*path));
    return path;
}

void BatchControlUI::ChooseSourceFolder()
{
    if (listControl == nullptr)
        return;
    const std::optional<std::string> path = AskFolderInto(kSourceDialogTitle, srcEdit, sourceDialogFolder);
    if (!path)
        return;
    std::vector<BatchItem> found;
    ScanTorrentFolder(*path, "", ".torrent", found);
    listControl->Fill(found, *path);
    SetHintText("");
    char rate[64];
    std::snprintf(rate, sizeof rate, "0/%d", static_cast<int>(found.size()));
    SetRateText(rate);
    if (converButton != nullptr)
        converButton->SetEnabled(true);
}

void BatchControlUI::ChooseDestFolder()
{
    AskFolderInto(kDestDialogTitle, desEdit, destDialogFolder);
}

void BatchControlUI::StartConversion()
{
    if (listControl == nullptr)
        return;
    const std::string destination = EditText(desEdit);
    if (destination.empty()) {
        ShowPageNotice(mainFrame, kNoDestinationNotice);
        return;
    }
    // The same folder however it is spelled ("a/", "./a", a link) would wash the sources over
    // themselves. A folder inside the source is allowed: the run leaves what lies in it alone.
    if (IsSameFolder(destination, EditText(srcEdit))) {
        ShowPageNotice(mainFrame, kSameFolderNotice);
        return;
    }
    SetHintText("");
    listControl->StartRun(destination);
    if (converButton != nullptr)
        converButton->SetEnabled(false);
}

void BatchControlUI::SetRateText(std::string text)
{
    if (rateText != nullptr)
        rateText->SetText(CDuiString(std::move(text)));
}

void BatchControlUI::OnRunEnded(int converted, int failed)
{
    char hint[128];
    std::snprintf(hint, sizeof hint, Utf8ToLocalText(kRunEndedHint).c_str(), converted, failed);
    SetHintText(hint);
    if (converButton != nullptr)
        converButton->SetEnabled(true);
}

void BatchControlUI::SetHintText(const std::string& text)
{
    if (hintText != nullptr)
        hintText->SetText(CDuiString(text));
}
