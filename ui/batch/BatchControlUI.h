#pragma once

#include "toolkit/CContainerUI.h"

#include <optional>
#include <string>

class BatchListControl;
class CButtonUI;
class CEditUI;
class CWindowWnd;

// The batch page: the user chooses a source folder (scanned at once, one list row per torrent
// found), chooses or types a destination folder and starts the run, which washes every listed
// torrent into the destination under the same relative folder and file name. A counter shows
// done/total. Refusals are told in notice boxes over the main window.
class BatchControlUI : public CContainerUI {
public:
    static constexpr const char* kSourceDialogTitle = "请选择需要转换的种子目录";
    static constexpr const char* kDestDialogTitle = "请选择转换后种子存放目录";
    static constexpr const char* kNoDestinationNotice = "  您还没有选择需要积存的种子路径 !\n";
    static constexpr const char* kSameFolderNotice = "  保存路径不能与原路径相同 !\n";
    // The hint line when a run is over: the rows converted, then the rows failed.
    static constexpr const char* kRunEndedHint = "转换结束：成功 %d 个，失败 %d 个。";

    // mainFrame: the main window, owner of the folder dialogs and notice boxes.
    explicit BatchControlUI(CWindowWnd* mainFrame);
    ~BatchControlUI() override;

    // Builds the page, finding all it needs in its skin, and only then adds it to parent. False
    // without a paint manager, skin or list host, or when the skin lacks a folder button or the
    // progress bar's layout: then the page joined nothing and the caller still owns it.
    bool CreatePage(CContainerUI& parent);

    void ChooseSourceFolder(); // "btn_batch_src"
    void ChooseDestFolder();   // "btn_batch_des"
    void StartConversion();    // "btn_batch_conver"

    // Shows text in the done/total counter.
    void SetRateText(std::string text);
    // The run found no further row, having converted `converted` rows and failed `failed`: the
    // hint line says so and the start button can be clicked again.
    void OnRunEnded(int converted, int failed);

    // The list control that runs the conversion; null until CreatePage has made it.
    BatchListControl* GetListControl() const { return listControl; }

private:
    std::string EditText(const CEditUI* edit) const;
    void SetHintText(const std::string& text);
    // The folder chosen in the folder dialog titled `titleUtf8`, also shown in `edit`; nothing
    // when the dialog was cancelled.
    // The dialog opens in `lastChosen`, which then holds the folder chosen.
    std::optional<std::string> AskFolderInto(const char* titleUtf8, CEditUI* edit, std::string& lastChosen);

    CWindowWnd* mainFrame = nullptr;
    BatchListControl* listControl = nullptr;
    CButtonUI* srcButton = nullptr;
    CButtonUI* desButton = nullptr;
    CButtonUI* converButton = nullptr;
    CEditUI* srcEdit = nullptr;
    CEditUI* desEdit = nullptr;
    CControlUI* rateText = nullptr;
    CControlUI* hintText = nullptr; // "label_batch_hint", when the skin has it
    // The folders last chosen in the source and the destination dialog.
    std::string sourceDialogFolder;
    std::string destDialogFolder;
};
