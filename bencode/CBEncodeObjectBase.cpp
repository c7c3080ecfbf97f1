#include "bencode/CBEncodeObjectBase.h"

bool CBEncodeObjectBase::Encode(std::string&)
{
    return true;
}
