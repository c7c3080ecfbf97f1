#include "bencode/CBEncodeList.h"

CBEncodeList::~CBEncodeList()
{
    DeleteItems(items);
}

bool CBEncodeList::Encode(std::string& out)
{
    out += 'l';
    for (CBEncodeObjectBase* item : items)
        item->Encode(out);
    out += 'e';
    return true;
}
