#pragma once

#include "bencode/CBEncodeObjectBase.h"

#include <list>

// A bencode list. Owns its elements.
class CBEncodeList : public CBEncodeObjectBase {
public:
    CBEncodeList() : CBEncodeObjectBase(kBEncodeList) {}
    ~CBEncodeList() override;

    // "l", each element's encoding in order, "e"; the elements' results are ignored. True.
    bool Encode(std::string& out) override;

    // The elements in buffer order; owned.
    std::list<CBEncodeObjectBase*> items;
};
