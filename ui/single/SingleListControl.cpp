#include "ui/single/SingleListControl.h"

#include "platform/LocalText.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "torrent/CTorrentParser.h"
#include "torrent/GeneratedNames.h"
#include "torrent/NamePair.h"
#include "torrent/RenamedTorrent.h"
#include "ui/single/SingleListElementUI.h"
#include "ui/single/SingleListUI.h"

#include <algorithm>

bool SingleListControl::FillNames()
{
    names[kControlNameKey] = "SingleControlWnd";
    names[kListLayoutKey] = "SingleListLayoutUI";
    names[kRowPrefixKey] = "singleListElement";
    return true;
}

RerListBaseUI* SingleListControl::CreateList()
{
    return new SingleListUI;
}

RerListElementUI* SingleListControl::CreateElement(std::int32_t index)
{
    return new SingleListElementUI(this, index);
}

bool SingleListControl::OnCreated(CPaintManagerUI* manager)
{
    (void)manager;
    torrentNameEdit = CPaintManagerUI::FindSubControlByName<CEditUI>(this, "edit_single_name");
    return true;
}

SingleListElementUI* SingleListControl::RowAt(int position) const
{
    return RowAs<SingleListElementUI>(position);
}

void SingleListControl::Fill(CTorrentParser& parser)
{
    document = &parser;
    torrentNameShown = parser.name.text;
    if (torrentNameEdit != nullptr) {
        torrentNameEdit->SetText(CDuiString(parser.name.text));
        // A single-file torrent's name is its file's name, edited in the row: the torrent-name
        // edit would reach no value.
        torrentNameEdit->SetEnabled(parser.name.value != nullptr || parser.nameUtf8.value != nullptr);
    }
    // Rows past the ones the previous torrent used are hidden already.
    const int previouslyInUse = static_cast<int>(rowsInUse);
    rowsInUse = 0;
    if (list == nullptr)
        return;
    ShowRows<SingleListElementUI>(parser.files.size(), previouslyInUse,
        [&](SingleListElementUI& row, std::size_t position) { row.ShowEntry(parser.files[position]); });
    rowsInUse = static_cast<std::uint32_t>(parser.files.size());
}

void SingleListControl::Clear()
{
    document = nullptr;
    torrentNameShown.clear();
    rowsInUse = 0;
    if (torrentNameEdit != nullptr) {
        torrentNameEdit->SetText("");
        torrentNameEdit->SetEnabled(true);
    }
    if (list == nullptr)
        return;
    for (int position = 0; position < list->GetCount(); ++position) {
        CControlUI* row = list->GetItemAt(position);
        row->SetVisible(false);
        if (auto* single = dynamic_cast<SingleListElementUI*>(row))
            single->Forget();
    }
}

namespace {

const char* FaultText(NameFault fault)
{
    switch (fault) {
    case NameFault::Empty:
        return "不能为空";
    case NameFault::Separator:
        return "不能含有“/”或“\\”";
    case NameFault::DotName:
        return "不能是“.”或“..”";
    case NameFault::None:
        break;
    }
    return "";
}

std::string RefusalNotice(const std::string& which, NameFault fault)
{
    return "  " + which + FaultText(fault) + ",请修改后再保存 !\n";
}

} // namespace

std::string SingleListControl::RefusedEditNotice() const
{
    if (document == nullptr)
        return {};
    if (torrentNameEdit != nullptr) {
        const std::string text = torrentNameEdit->GetText().str();
        if (const NameFault fault = text == torrentNameShown ? NameFault::None : NameFaultOf(LocalTextToUtf8(text));
            fault != NameFault::None)
            return RefusalNotice("种子名称", fault);
    }
    for (int position = 0; position < static_cast<int>(rowsInUse); ++position) {
        const SingleListElementUI* row = RowAt(position);
        const auto refused = row != nullptr ? row->FirstRefusedEdit() : std::nullopt;
        if (!refused)
            continue;
        std::string which = "第" + std::to_string(position + 1) + "个文件的";
        which += refused->folder ? "第" + std::to_string(*refused->folder + 1) + "层目录名" : std::string("文件名");
        return RefusalNotice(which, refused->fault);
    }
    return {};
}

bool SingleListControl::CollectEdits()
{
    if (document == nullptr)
        return false;
    bool changed = false;
    if (torrentNameEdit != nullptr) {
        const std::string text = torrentNameEdit->GetText().str();
        if (text != torrentNameShown) {
            WriteNamePair(document->name, &document->nameUtf8, LocalTextToUtf8(text));
            torrentNameShown = text;
            changed = true;
        }
    }
    for (int position = 0; position < static_cast<int>(rowsInUse); ++position) {
        if (SingleListElementUI* row = RowAt(position))
            changed = row->WriteBack() || changed;
    }
    if (changed)
        NamesChanged();
    return true;
}

bool SingleListControl::OneKeyModify(const char* seed)
{
    if (document == nullptr || seed == nullptr)
        return false;
    if (torrentNameEdit != nullptr)
        torrentNameEdit->SetText(seed);
    torrentNameShown = seed;
    // The seed is plain ASCII: it goes in as it is.
    WriteNamePair(document->name, &document->nameUtf8, seed);
    bool changed = document->name.value != nullptr || document->nameUtf8.value != nullptr;

    const std::string hex = StemDigest(seed);
    for (int position = 0; position < static_cast<int>(rowsInUse); ++position) {
        if (SingleListElementUI* row = RowAt(position))
            changed = row->Rename(hex) || changed;
    }
    if (changed)
        NamesChanged();
    return true;
}

void SingleListControl::NamesChanged()
{
    if (document == nullptr)
        return;
    document->DropRepeatedKeys();
    FinishRenaming(document->root);
}
