#include "ui/single/SingleControlUI.h"

#include "platform/Clock.h"
#include "platform/LocalText.h"
#include "platform/PathText.h"
#include "shell/NoticeBoxUI.h"
#include "shell/PageParts.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWindowWnd.h"
#include "toolkit/FileDialogs.h"
#include "torrent/CTorrentParser.h"
#include "torrent/GeneratedNames.h"
#include "ui/single/SingleListControl.h"

#include <string>

namespace {

constexpr const char* kFilterDescription = "torrent文件(*.torrent)";
// Names read from a legacy code page: which one(s), and that saving keeps their bytes.
constexpr const char* kLegacyNamesHintStart = "名称按 ";
constexpr const char* kLegacyNamesHintEnd = " 编码显示；未修改的名称保存时原样保留。";

} // namespace

SingleControlUI::SingleControlUI(CWindowWnd* mainFrame) : mainFrame(mainFrame) { }

SingleControlUI::~SingleControlUI() = default;

bool SingleControlUI::CreatePage(CContainerUI& tabLayout)
{
    CPaintManagerUI* manager = tabLayout.GetManager();
    CControlUI* root = manager != nullptr ? BuildSkinInto(*this, "SingleSkin.xml") : nullptr;
    if (root == nullptr)
        return false;
    openButton = CPaintManagerUI::FindSubControlByName<CButtonUI>(root, "btn_single_file");
    saveButton = CPaintManagerUI::FindSubControlByName<CButtonUI>(root, "btn_single_save");
    oneKeyButton = CPaintManagerUI::FindSubControlByName<CButtonUI>(root, "btn_single_onekey_modify");
    pathEdit = CPaintManagerUI::FindSubControlByName<CEditUI>(root, "edit_single_file");
    if (openButton == nullptr || saveButton == nullptr || oneKeyButton == nullptr || pathEdit == nullptr)
        return false;
    fileList = RerListControlUI::MakeInto<SingleListControl>(
        CPaintManagerUI::FindSubControlByName<CContainerUI>(root, "FileListLayoutUI"), *manager);
    if (fileList == nullptr)
        return false;
    hintLabel = CPaintManagerUI::FindSubControlByName(root, "label_single_hint");
    if (hintLabel != nullptr)
        usualHint = hintLabel->GetText().str();
    EnableTorrentButtons(false);
    StyleButtons({openButton, saveButton, oneKeyButton});
    parser = std::make_unique<CTorrentParser>();
    return tabLayout.Add(this);
}

void SingleControlUI::EnableTorrentButtons(bool enabled)
{
    saveButton->SetEnabled(enabled);
    oneKeyButton->SetEnabled(enabled);
}

void SingleControlUI::ShowNamesHint(bool torrentShown)
{
    if (hintLabel == nullptr)
        return;
    const std::string pages = torrentShown ? parser->nameSources.LegacyCodePagesShown() : std::string();
    hintLabel->SetText(
        CDuiString(pages.empty() ? usualHint : Utf8ToLocalText(kLegacyNamesHintStart + pages + kLegacyNamesHintEnd)));
}

void SingleControlUI::OnOpenFile()
{
    if (parser == nullptr)
        return;
    FileDialogOptions options;
    // "*.torrent*" also lists names such as "x.torrent.1" (a browser's second download of a file),
    // which the batch page takes as torrents too.
    options.filter = FileDialogFilter{CDuiString(Utf8ToLocalText(kFilterDescription)), "*.torrent*"};
    options.mustExist = true;
    options.initialFolder = CDuiString(openFolder);
    const std::optional<std::string> path
        = ShowOpenFileDialog(mainFrame != nullptr ? mainFrame->GetHWND() : nullptr, options);
    if (!path)
        return;
    openFolder = FolderOfPath(*path);
    OpenTorrent(*path);
}

void SingleControlUI::OpenTorrent(const std::string& path)
{
    if (parser == nullptr)
        return;
    pathEdit->SetText(CDuiString(path));

    // A failed open empties the document: the list must not keep rows that refer into it.
    if (!parser->LoadFromFile(path.c_str())) {
        fileList->Clear();
        EnableTorrentButtons(false);
        ShowNamesHint(false);
        ShowPageNotice(mainFrame, "  选择的种子文件不存在,请检查文件路径 !\n");
        return;
    }
    if (!parser->Analyze()) {
        fileList->Clear();
        EnableTorrentButtons(false);
        ShowNamesHint(false);
        ShowPageNotice(mainFrame, "  种子文件分析错误!\n");
        return;
    }
    fileList->Fill(*parser);
    EnableTorrentButtons(true);
    ShowNamesHint(true);
}

void SingleControlUI::OnSave()
{
    if (parser == nullptr)
        return;
    // A name no client accepts is refused before anything is asked or written.
    if (const std::string refused = fileList->RefusedEditNotice(); !refused.empty()) {
        ShowPageNotice(mainFrame, refused.c_str());
        return;
    }
    FileDialogOptions options;
    options.title = CDuiString(Utf8ToLocalText("保存种子"));
    options.filter = FileDialogFilter{CDuiString(Utf8ToLocalText(kFilterDescription)), "*.torrent"};
    options.defaultExtension = "torrent";
    options.initialFolder = CDuiString(saveFolder);
    const std::optional<std::string> path
        = ShowSaveFileDialog(mainFrame != nullptr ? mainFrame->GetHWND() : nullptr, options);
    if (!path)
        return;
    saveFolder = FolderOfPath(*path);
    fileList->CollectEdits();
    std::string encoded;
    ShowPageNotice(mainFrame, parser->SaveToFile(encoded, path->c_str()) ? "  保存成功 !\n" : "  保存失败 !\n");
}

void SingleControlUI::OnOneKeyModify()
{
    if (fileList == nullptr)
        return;
    const std::string seed = StemText(UnixTimeSeconds(), TickCountMs());
    if (!fileList->OneKeyModify(seed.c_str()))
        ShowPageNotice(mainFrame, "  一键编辑失败!\n");
}
