#include "ui/single/SingleListElementUI.h"

#include "platform/LocalText.h"
#include "platform/ProcessRandom.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "torrent/GeneratedNames.h"
#include "torrent/NamePair.h"
#include "torrent/SizeText.h"
#include "torrent/TorrentFileEntry.h"
#include "ui/list/RerListControlUI.h"

#include <string>
#include <utility>

namespace {

std::string Indexed(const char* name, std::int32_t index)
{
    return std::string(name) + std::to_string(index);
}

// The ".utf-8" twin of folder k, where the torrent has one.
const TextRef* FolderTwin(const TorrentFileEntry& entry, std::size_t k)
{
    return k < entry.pathUtf8.size() ? &entry.pathUtf8[k] : nullptr;
}

} // namespace

bool SingleListElementUI::InitElement(CControlUI* root)
{
    if (root == nullptr || owner == nullptr)
        return false;
    elementLayout = CPaintManagerUI::FindSubControlByName<CContainerUI>(root, "SingleElementLayoutUI");
    if (elementLayout != nullptr)
        elementLayout->SetName(CDuiString(Indexed("SingleElementLayoutUI", index)));
    nameEdit = CPaintManagerUI::FindSubControlByName<CEditUI>(root, "edit_single_file");
    sizeText = CPaintManagerUI::FindSubControlByName(root, "text_single_size");
    sizeLabel = CPaintManagerUI::FindSubControlByName(root, "label_single_size");
    if (nameEdit == nullptr || sizeText == nullptr || sizeLabel == nullptr) {
        nameEdit = nullptr;
        return false;
    }
    nameEdit->SetName(CDuiString(Indexed("edit_single_file", index)));
    sizeText->SetName(CDuiString(Indexed("text_single_size", index)));
    sizeLabel->SetName(CDuiString(Indexed("label_single_size", index)));
    SetFixedHeight(kBaseHeight);
    return true;
}

void SingleListElementUI::PlaceAtLine(CControlUI& control, int x, int line)
{
    control.SetFixedXY(x, kFirstLineY + kLineStep * line);
}

void SingleListElementUI::ShowEntry(TorrentFileEntry& shown)
{
    pathEditsInUse = 0;
    for (CEditUI* edit : pathEdits)
        edit->SetVisible(false);
    pathShown.clear();
    const int folders = static_cast<int>(shown.path.size());
    for (int k = 0; k < folders; ++k) {
        CEditUI* edit = PathEditAt(static_cast<std::size_t>(pathEditsInUse));
        if (edit == nullptr)
            break;
        TextRef& component = shown.path[static_cast<std::size_t>(k)];
        edit->SetUserExtraData(&component);
        edit->SetVisible(true);
        edit->SetText(CDuiString(component.text));
        pathShown.push_back(component.text);
        edit->SetFixedWidth(kPathEditWidth);
        PlaceAtLine(*edit, kEditX, k);
        ++pathEditsInUse;
    }
    SetFixedHeight(kBaseHeight + kLineStep * folders);
    if (nameEdit != nullptr) {
        nameEdit->SetText(CDuiString(shown.name.text));
        nameShown = shown.name.text;
        PlaceAtLine(*nameEdit, kEditX, folders);
        sizeText->SetText(CDuiString(SizeText(static_cast<double>(shown.length), SizeTextEnd::LineFeed)));
        PlaceAtLine(*sizeText, kEditX, folders + 1);
        PlaceAtLine(*sizeLabel, kSizeLabelX, folders + 1);
    }
    entry = &shown;
}

CEditUI* SingleListElementUI::PathEditAt(std::size_t k)
{
    if (k < pathEdits.size())
        return pathEdits[k];
    if (elementLayout == nullptr)
        return nullptr;
    auto* edit = new CEditUI;
    edit->SetFloat(true);
    edit->SetBkColor(0xFFFFFFFF);
    edit->SetPadding(4, 3, 4, 3);
    // A floating control takes no room from its neighbours, so the padding above has nothing to
    // keep apart: the same room goes inside, between the border and the text.
    edit->SetTextPadding(UIRect{4, 3, 4, 3});
    edit->SetFixedHeight(kPathEditHeight);
    edit->SetName(CDuiString(Indexed("edit_single_path", index)));
    if (nameEdit != nullptr) {
        edit->SetBorderColor(nameEdit->GetBorderColor());
        edit->SetBorderSize(nameEdit->GetBorderSize());
        edit->SetTextColor(nameEdit->GetTextColor());
    }
    // Folder edits go before the file-name edit, in the order they stand: the tree's order is
    // the reading order, which the keyboard's Tab follows.
    const int nameIndex = nameEdit != nullptr ? elementLayout->GetItemIndex(nameEdit) : -1;
    if (nameIndex >= 0)
        elementLayout->AddAt(edit, nameIndex);
    else
        elementLayout->Add(edit);
    pathEdits.push_back(edit);
    return edit;
}

std::optional<SingleListElementUI::RefusedEdit> SingleListElementUI::FirstRefusedEdit() const
{
    if (entry == nullptr || nameEdit == nullptr)
        return std::nullopt;
    const auto judge = [](const std::string& text, const std::string& shown) {
        return text == shown ? NameFault::None : NameFaultOf(LocalTextToUtf8(text));
    };
    for (std::size_t k = 0; k < pathEdits.size() && k < entry->path.size() && k < pathShown.size(); ++k) {
        if (const NameFault fault = judge(pathEdits[k]->GetText().str(), pathShown[k]); fault != NameFault::None)
            return RefusedEdit{k, fault};
    }
    if (const NameFault fault = judge(nameEdit->GetText().str(), nameShown); fault != NameFault::None)
        return RefusedEdit{std::nullopt, fault};
    return std::nullopt;
}

bool SingleListElementUI::WriteBack()
{
    if (entry == nullptr || nameEdit == nullptr)
        return false;
    bool wrote = false;
    const std::string name = nameEdit->GetText().str();
    if (name != nameShown) {
        WriteNamePair(entry->name, &entry->nameUtf8, LocalTextToUtf8(name));
        nameShown = name;
        wrote = true;
    }
    for (std::size_t k = 0; k < pathEdits.size() && k < entry->path.size() && k < pathShown.size(); ++k) {
        const std::string folder = pathEdits[k]->GetText().str();
        if (folder == pathShown[k])
            continue;
        WriteNamePair(entry->path[k], FolderTwin(*entry, k), LocalTextToUtf8(folder));
        pathShown[k] = folder;
        wrote = true;
    }
    return wrote;
}

bool SingleListElementUI::Rename(const std::string& hex)
{
    if (entry == nullptr || nameEdit == nullptr)
        return false;
    const auto number = static_cast<std::size_t>(index);
    std::optional<std::string> fileName = GeneratedFileName(hex, number, entry->name.text, NameLimit::None);
    if (!fileName)
        return false;
    nameEdit->SetText(CDuiString(*fileName));
    WriteNamePair(entry->name, &entry->nameUtf8, LocalTextToUtf8(*fileName));
    nameShown = std::move(*fileName);

    const int draw = ProcessRandom();
    for (std::size_t k = 0; k < pathEdits.size() && k < entry->path.size() && k < pathShown.size(); ++k) {
        std::string folder = GeneratedFolderName(draw, number, k);
        pathEdits[k]->SetText(CDuiString(folder));
        WriteNamePair(entry->path[k], FolderTwin(*entry, k), LocalTextToUtf8(folder));
        pathShown[k] = std::move(folder);
    }
    // UTF-8 folders beyond those of "path" are shown nowhere but renamed alike.
    for (std::size_t k = entry->path.size(); k < entry->pathUtf8.size(); ++k)
        WriteName(&entry->pathUtf8[k], LocalTextToUtf8(GeneratedFolderName(draw, number, k)));
    return true;
}
