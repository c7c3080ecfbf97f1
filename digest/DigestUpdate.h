#pragma once

#include <cstdint>
#include <cstring>

// The incremental update shared by SHA-1 and MD5: counts the bits (low word first, the high
// word taking the carry), fills the incomplete block and compresses it once full, compresses
// every further whole 64-byte block straight from the input, and keeps the rest for later.
// `compress(blocks, count)` runs the digest's block function over `count` 64-byte blocks.
template <typename Compress>
void UpdateDigestBlocks(std::uint32_t (&bitCount)[2], unsigned char (&block)[64], const unsigned char* data,
    unsigned int length, Compress compress)
{
    if (length == 0)
        return;
    unsigned int offset = (bitCount[0] >> 3) & 63;
    bitCount[0] += length << 3;
    if (bitCount[0] < (length << 3))
        ++bitCount[1];
    bitCount[1] += length >> 29;

    unsigned int used = 0;
    if (offset + length >= 64) {
        used = 64 - offset;
        std::memcpy(block + offset, data, used);
        compress(block, 1u);
        const unsigned int wholeBlocks = (length - used) / 64;
        compress(data + used, wholeBlocks);
        used += wholeBlocks * 64;
        offset = 0;
    }
    std::memcpy(block + offset, data + used, length - used);
}
