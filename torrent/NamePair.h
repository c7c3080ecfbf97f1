#pragma once

#include "bencode/CBEncodeString.h"
#include "torrent/TextRef.h"

#include <string>
#include <utility>

// Writes `bytes` into the value of `ref`, when there is one.
inline void WriteName(const TextRef* ref, std::string bytes)
{
    if (ref != nullptr && ref->value != nullptr) {
        ref->value->SetString(std::move(bytes));
    }
}

// Writes `bytes` into both spellings of a name (the plain key and its ".utf-8" twin), each only
// where the torrent has it; the text is copied only when both are there.
inline void WriteNamePair(const TextRef& plain, const TextRef* utf8Twin, std::string bytes)
{
    if (utf8Twin == nullptr || utf8Twin->value == nullptr) {
        WriteName(&plain, std::move(bytes));
        return;
    }
    if (plain.value != nullptr) {
        plain.value->SetString(bytes);
    }
    utf8Twin->value->SetString(std::move(bytes));
}
