#pragma once

#include "bencode/CBEncodeObjectBase.h"

// A bencode integer. An integer whose decoding failed keeps number 0 and therefore
// encodes as "i0e".
class CBEncodeInt : public CBEncodeObjectBase {
public:
    CBEncodeInt() : CBEncodeObjectBase(kBEncodeInt) { }

    // Appends "i<number>e" in canonical signed decimal; always true.
    bool Encode(std::string& out) override;

    int64_t number = 0;
};
