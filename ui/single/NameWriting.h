#pragma once

#include "bencode/CBEncodeString.h"
#include "torrent/TextRef.h"

#include <string>

// Writes bytes into both spellings of a name (the plain key and its ".utf-8" twin), each only
// where the torrent has it.
inline void WriteNamePair(const TextRef& plain, const TextRef* utf8Twin, const std::string& bytes)
{
    if (plain.value != nullptr)
        plain.value->SetString(bytes);
    if (utf8Twin != nullptr && utf8Twin->value != nullptr)
        utf8Twin->value->SetString(bytes);
}
