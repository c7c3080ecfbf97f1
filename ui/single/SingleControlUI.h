#pragma once

#include "toolkit/CContainerUI.h"

#include <memory>
#include <string>

class CButtonUI;
class CControlUI;
class CEditUI;
class CTorrentParser;
class CWindowWnd;
class SingleListControl;

// The single-torrent page: opens one torrent, shows its name and files in the single file list,
// gives every name a generated one on request and saves the result as a new torrent. Results
// are told in notice boxes over the main window. The page owns the torrent document and reuses
// it for every torrent it opens.
class SingleControlUI : public CContainerUI {
public:
    // mainFrame: the main window, owner of the dialogs and notice boxes.
    explicit SingleControlUI(CWindowWnd* mainFrame);
    ~SingleControlUI() override;

    // Builds the page, finding all it needs in its skin, and only then adds it to tabLayout.
    // False without a paint manager or skin, or when the skin lacks one of the page's controls
    // or the list's host: then the page joined nothing and the caller still owns it.
    bool CreatePage(CContainerUI& tabLayout);

    void OnOpenFile(); // "btn_single_file"
    // Opens the torrent at `path` (active code page) as a choice in the open dialog would.
    void OpenTorrent(const std::string& path);
    void OnSave();         // "btn_single_save"
    void OnOneKeyModify(); // "btn_single_onekey_modify"

    SingleListControl* GetFileList() const { return fileList; }
    CTorrentParser* GetDocument() const { return parser.get(); }

private:
    // Save and one-key modify are offered only while a torrent is shown.
    void EnableTorrentButtons(bool enabled);
    // The hint line says from which legacy code page the shown torrent's names were read, if
    // any; the usual hint otherwise.
    void ShowNamesHint(bool torrentShown);

    CWindowWnd* mainFrame = nullptr;
    SingleListControl* fileList = nullptr;
    std::unique_ptr<CTorrentParser> parser;
    CButtonUI* openButton = nullptr;
    CButtonUI* saveButton = nullptr;
    CButtonUI* oneKeyButton = nullptr;
    CEditUI* pathEdit = nullptr;
    CControlUI* hintLabel = nullptr; // "label_single_hint", when the skin has it
    std::string usualHint;
    // Where the open and save dialogs open next: the folder of the file last chosen in each.
    std::string openFolder;
    std::string saveFolder;
};
