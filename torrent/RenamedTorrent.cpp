#include "torrent/RenamedTorrent.h"

#include "bencode/CBEncodeDict.h"
#include "torrent/DescriptiveTexts.h"
#include "torrent/TorrentStructure.h"

#include <iterator>
#include <string>

namespace {

void SortTree(CBEncodeDict& tree)
{
    tree.SortByKeys();
    for (auto value = tree.items.begin(); value != tree.items.end(); ++value) {
        if (++value == tree.items.end())
            break;
        if ((*value)->type == kBEncodeDict)
            SortTree(static_cast<CBEncodeDict&>(**value));
    }
}

} // namespace

void FinishRenaming(CBEncodeDict* root)
{
    CBEncodeDict* info = root != nullptr ? root->FindDict("info") : nullptr;
    if (info == nullptr)
        return;
    for (const char* key : kInfoDescriptiveKeys) {
        if (CBEncodeString* value = info->FindString(key))
            value->SetString(std::string());
        info->RemoveRepeatsOf(key);
    }
    if (IsVersion2Only(*info)) {
        SortTree(*info->FindDict("file tree"));
        return;
    }
    if (info->Find("file tree") == nullptr)
        return;
    info->Remove("file tree");
    info->Remove("meta version");
    root->Remove("piece layers");
}
