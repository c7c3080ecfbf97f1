#pragma once

#include <cstddef>
#include <cstdint>

// Every limit the bencode decoder enforces, in one place.
// Input that exceeds a limit fails like any other malformed input: the value that
// hit the limit gets its errorCode and decoding stops there.
struct DecodeLimits {
    // A run of decimal digits (a byte-string length or an integer) may be at most 19 digits
    // long, so that its value fits in 64 bits; a longer run fails.
    static constexpr int maxDigits = 19;

    // Lists and dictionaries nested deeper than this fail; the container that would open
    // level maxDepth + 1 gets its errorCode and consumes nothing. This bounds the recursion,
    // so no input can exhaust the stack.
    static constexpr int maxDepth = 512;

    // Values of every kind (dictionary keys included) that one decode may create. Every value
    // costs memory (an object and a container node, 80 bytes or more), whatever the few bytes
    // of input that spelled it, so this count is what bounds the memory of a decode: input
    // that would go past it fails at the first value beyond it, which consumes nothing. A
    // torrent of 1 000 000 files, each with a folder and a name in its "path", takes about
    // 7 000 000 values; with the same again in "path.utf-8", as many torrents carry, about
    // 11 000 000.
    static constexpr std::size_t maxValues = 12'000'000;

    // Spans are 32-bit (rawLength, dataLength), so a buffer may hold at most this many bytes.
    static constexpr std::size_t maxBufferLength = INT32_MAX;
};
