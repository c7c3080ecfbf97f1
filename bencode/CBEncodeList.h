#pragma once

#include "bencode/BEncodeContainers.h"
#include "bencode/CBEncodeObjectBase.h"

// A bencode list. Owns its elements.
class CBEncodeList : public CBEncodeObjectBase {
public:
    CBEncodeList() : CBEncodeObjectBase(kBEncodeList) { }
    ~CBEncodeList() override;

    // "l", each element's encoding in order, "e"; the elements' results are ignored. True.
    bool Encode(std::string& out) override;

    // The elements in buffer order; owned.
    BEncodeItems items;
};
