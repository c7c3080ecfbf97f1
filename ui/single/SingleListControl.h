#pragma once

#include "ui/list/RerListControlUI.h"

#include <cstdint>
#include <string>

class CEditUI;
class CTorrentParser;
class SingleListElementUI;

// The single page's file list: the torrent name in one edit and one row per file of the
// open torrent. Rows are pooled: a fill reuses every row made before and only hides the rest.
class SingleListControl : public RerListControlUI {
public:
    bool FillNames() override;
    CDuiString GetControlSkin() override { return "SingleControlSkin.xml"; }
    RerListBaseUI* CreateList() override;
    RerListElementUI* CreateElement(std::int32_t index) override;
    bool OnCreated(CPaintManagerUI* manager) override;

    // Shows parser's torrent (after a true Analyze): its name and a row per file.
    void Fill(CTorrentParser& parser);
    // Hides every row and forgets the torrent (its entries are gone with the next load).
    void Clear();
    // The notice for the first edited name that clients would refuse (the torrent name, then
    // the rows in order), saying which name and why; empty when every edit can be saved.
    std::string RefusedEditNotice() const;
    // Writes every name the user changed into the torrent; false before the first Fill.
    bool CollectEdits();
    // Gives the torrent name the seed, every file a name made from the seed's MD5 digest and
    // every folder a name made from a random number; false before the first Fill.
    bool OneKeyModify(const char* seed);

    CEditUI* GetTorrentNameEdit() const { return torrentNameEdit; }
    std::uint32_t RowsInUse() const { return rowsInUse; }
    // The row at position (0-based) of the list, or null.
    SingleListElementUI* RowAt(int position) const;

private:
    // Names were changed: repeats of a key, which would keep the old names, go, and a torrent
    // with v2 metadata becomes a plain v1 torrent.
    void NamesChanged();

    CEditUI* torrentNameEdit = nullptr;
    std::uint32_t rowsInUse = 0;
    CTorrentParser* document = nullptr;
    // The torrent-name edit's text when it last matched the torrent.
    std::string torrentNameShown;
};
