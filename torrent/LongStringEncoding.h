#pragma once

#include "platform/WholeFile.h"

#include <cstddef>
#include <string>
#include <vector>

class CBEncodeObjectBase;

// Byte strings at least this long that were not replaced stay out of the gathered encoding.
inline constexpr std::size_t kLongStringBytes = 64 * 1024;

// The encoding of a value as Encode writes it, as ranges to be written one after the other:
// pieces of `text`, which gathers the framing, the numbers and the short or replaced strings,
// and the bytes of long byte strings that were not replaced, referred to where they lie in the
// decoded buffer rather than copied. `text` is appended to (the ranges into it are made once it
// is complete, so it may grow meanwhile); the ranges stay valid while `text` and the buffer do.
void EncodeAsRanges(CBEncodeObjectBase& value, std::string& text, std::vector<ByteRange>& ranges);
