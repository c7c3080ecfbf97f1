#pragma once

#include <cstddef>
#include <cstdint>

// Every limit the bencode decoder enforces, in one place.
// Input that exceeds a limit fails like any other malformed input: the value that
// hit the limit gets its errorCode and decoding stops there.
struct DecodeLimits {
    // A run of decimal digits (a byte-string length or an integer) is collected into a
    // 20-character text buffer: at most 19 digits plus the terminator. A longer run fails.
    static constexpr int maxDigits = 19;
    static constexpr int digitBufferSize = maxDigits + 1;

    // Lists and dictionaries nested deeper than this fail; the container that would open
    // level maxDepth + 1 gets its errorCode and consumes nothing. This bounds the recursion,
    // so no input can exhaust the stack.
    static constexpr int maxDepth = 512;

    // Spans are 32-bit (rawLength, dataLength), so a buffer may hold at most this many bytes.
    static constexpr std::size_t maxBufferLength = INT32_MAX;
};
