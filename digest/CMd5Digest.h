#pragma once

#include <cstdint>
#include <string>

// MD5 (RFC 1321) with an incremental interface. Final gives the digest of everything fed so far
// without ending the message, so Update may go on afterwards. A plain value object that never
// allocates (except for the text HexDigest returns) and never writes to its input.
class CMd5Digest {
public:
    // Feeds `length` bytes of the message.
    void Update(const unsigned char* data, unsigned int length);

    // Writes the digest of the message so far to `digest`; the message stays open.
    void Final();

    // Runs Final and returns `digest` as 32 lowercase hexadecimal digits.
    std::string HexDigest();

    std::uint32_t state[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    std::uint32_t bitCount[2] = {}; // low word first
    unsigned char block[64] = {};   // bytes of the incomplete block
    unsigned char digest[16] = {};
};
