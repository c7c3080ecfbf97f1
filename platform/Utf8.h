#pragma once

#include <cstddef>
#include <string_view>

// Length of the valid UTF-8 sequence at the start of `text`: 1 for an ASCII byte (NUL
// included), 2 to 4 for a multi-byte character, 0 when the text is empty or its first bytes are
// not valid UTF-8 (overlong forms, surrogates and values above U+10FFFF are invalid).
std::size_t ValidUtf8SequenceLength(std::string_view text);

// Whether the whole text is valid UTF-8 by the same rules (a NUL byte is a character like any
// other): the input that a UTF-8 round trip returns unchanged.
bool IsValidUtf8(std::string_view text);
