#include "torrent/Version2Metadata.h"

#include "bencode/CBEncodeDict.h"

void DropVersion2Metadata(CBEncodeDict* root)
{
    if (root == nullptr)
        return;
    CBEncodeObjectBase* found = root->Find("info");
    if (found == nullptr || found->type != kBEncodeDict)
        return;
    auto* info = static_cast<CBEncodeDict*>(found);
    if (info->Find("file tree") == nullptr)
        return;
    info->Remove("file tree");
    info->Remove("meta version");
    root->Remove("piece layers");
}
