#pragma once

#include <cstdint>

// SHA-1 (FIPS 180-1) with an incremental interface: Reset, any number of Update calls, Final.
// A plain value object that never allocates; whole input blocks are compressed straight from
// the caller's buffer, which is never written to.
class CSha1Digest {
public:
    CSha1Digest() { Reset(); }
    // Leaves no message state behind.
    ~CSha1Digest() { Reset(); }
    CSha1Digest(const CSha1Digest&) = default;
    CSha1Digest& operator=(const CSha1Digest&) = default;

    // Standard initial chaining values, no bits counted, `block` and `digest` zero.
    void Reset();

    // Feeds `length` bytes of the message.
    void Update(const unsigned char* data, unsigned int length);

    // Pads the message, writes the 20-byte result to `digest` and wipes every intermediate value
    // of the message from the context. Reset before hashing another message.
    void Final();

    std::uint32_t state[5] = {};
    std::uint32_t bitCount[2] = {}; // low word first
    unsigned char block[64] = {};   // bytes of the incomplete block
    unsigned char digest[20] = {};
    std::uint32_t workspace[16] = {}; // message schedule of the block being compressed
};

// Appends the URL-escaped text of `sha.digest` to the NUL-terminated text in `out`: ASCII letters
// and digits as they are, every other byte as "%XX" (uppercase hex). Adds 20 to 60 characters
// and a NUL; does nothing when `out` is null.
void EscapeDigest(char* out, const CSha1Digest& sha);
