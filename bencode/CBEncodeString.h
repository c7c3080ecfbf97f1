#pragma once

#include "bencode/CBEncodeObjectBase.h"

#include <string>

// A bencode byte string. Decoded bytes are not copied: `data` points into the decoded
// buffer. SetString stores a replacement text that Encode writes instead of the decoded
// bytes; GetString keeps returning the decoded bytes.
class CBEncodeString : public CBEncodeObjectBase {
public:
    CBEncodeString() : CBEncodeObjectBase(kBEncodeString) { }
    ~CBEncodeString() override = default;

    // "<length>:<bytes>" of the replacement when replaced, else of the decoded bytes.
    // A failed string writes nothing and returns false.
    bool Encode(std::string& out) override;

    // `out` receives the decoded bytes (NUL bytes included); false, with `out` empty,
    // when the string failed to decode.
    bool GetString(std::string& out) const;

    // Replaces the text written by Encode; the decoded bytes stay as they are. Always true.
    bool SetString(std::string text);

    // Number of decoded bytes. First, to fill the room the base leaves after its last member.
    int32_t dataLength = 0;
    // First decoded byte inside the buffer; null for an empty string.
    const char* data = nullptr;
    // Text set by SetString.
    std::string replacement;
    // True once SetString has been called.
    bool replaced = false;
};
