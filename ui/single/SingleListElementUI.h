#pragma once

#include "torrent/NameFault.h"
#include "ui/list/ListElementControlUI.h"

#include <optional>
#include <string>
#include <vector>

class CContainerUI;
class CEditUI;
struct TorrentFileEntry;

// One row of the single file list: an edit per folder component of the file, an edit for the
// file name and the file's size. What the user typed goes back into the torrent's values;
// what the user left alone keeps its original bytes.
class SingleListElementUI : public ListElementControlUI {
public:
    static constexpr int kEditX = 80;
    static constexpr int kFirstLineY = 3;
    static constexpr int kLineStep = 33;
    static constexpr int kPathEditWidth = 694;
    static constexpr int kPathEditHeight = 30;
    static constexpr int kSizeLabelX = 6;
    static constexpr int kBaseHeight = 70;

    using ListElementControlUI::ListElementControlUI;

    CDuiString GetElementSkin() override { return "SingleListSkin.xml"; }
    bool InitElement(CControlUI* root) override;

    // Shows entry: one edit per folder component, the file name, the size.
    void ShowEntry(TorrentFileEntry& entry);
    // An edited name that clients would refuse, in reading order (the folders from the first,
    // then the file name): which one (the folder's index, or nothing for the file name) and
    // why. Names the user left alone are not judged.
    struct RefusedEdit {
        std::optional<std::size_t> folder;
        NameFault fault = NameFault::None;
    };
    std::optional<RefusedEdit> FirstRefusedEdit() const;
    // Writes every name the user changed since it was shown into the torrent (as UTF-8); true
    // when anything was written.
    bool WriteBack();
    // Gives the file the generated name of hex, the index and its extension (of any length), and
    // every folder one made from one random draw; false (nothing changed) for a name without a dot.
    bool Rename(const std::string& hex);
    // The folder edit at k, made on first use.
    CEditUI* PathEditAt(std::size_t k);

    CEditUI* GetNameEdit() const { return nameEdit; }
    std::size_t PathEditsInUse() const { return static_cast<std::size_t>(pathEditsInUse); }

    // The torrent the row showed is gone: the row no longer refers to it.
    void Forget() { entry = nullptr; }

private:
    void PlaceAtLine(CControlUI& control, int x, int line);

    CContainerUI* elementLayout = nullptr;
    CEditUI* nameEdit = nullptr;
    CControlUI* sizeText = nullptr;
    CControlUI* sizeLabel = nullptr;
    TorrentFileEntry* entry = nullptr;
    std::vector<CEditUI*> pathEdits;
    int pathEditsInUse = 0;
    // The text each edit showed when it last matched the torrent (file name, then folders).
    std::string nameShown;
    std::vector<std::string> pathShown;
};
