#include "digest/CSha1Digest.h"

#include "digest/DigestUpdate.h"
#include "digest/Sha1Compress.h"
#include "platform/HexText.h"

#include <cstring>

void CSha1Digest::Reset()
{
    state[0] = 0x67452301;
    state[1] = 0xEFCDAB89;
    state[2] = 0x98BADCFE;
    state[3] = 0x10325476;
    state[4] = 0xC3D2E1F0;
    bitCount[0] = 0;
    bitCount[1] = 0;
    std::memset(block, 0, sizeof block);
    std::memset(digest, 0, sizeof digest);
}

void CSha1Digest::Update(const unsigned char* data, unsigned int length)
{
    UpdateDigestBlocks(bitCount, block, data, length,
        [this](const unsigned char* blocks, unsigned int count) { Sha1Compress(state, workspace, blocks, count); });
}

void CSha1Digest::Final()
{
    unsigned char lengthBytes[8];
    for (int i = 0; i < 4; ++i) {
        lengthBytes[i] = static_cast<unsigned char>(bitCount[1] >> (24 - 8 * i));
        lengthBytes[4 + i] = static_cast<unsigned char>(bitCount[0] >> (24 - 8 * i));
    }
    static constexpr unsigned char kPadding[64] = {0x80};
    const unsigned int offset = (bitCount[0] >> 3) & 63;
    Update(kPadding, offset < 56 ? 56 - offset : 120 - offset);
    Update(lengthBytes, sizeof lengthBytes);
    for (int i = 0; i < 20; ++i)
        digest[i] = static_cast<unsigned char>(state[i / 4] >> (24 - 8 * (i % 4)));

    // Overwrite everything derived from the message: the last block, the counters, the chaining
    // values and (by compressing a zero block) the schedule of the last compression.
    std::memset(block, 0, sizeof block);
    std::memset(state, 0, sizeof state);
    std::memset(bitCount, 0, sizeof bitCount);
    Sha1Compress(state, workspace, block, 1);
    std::memset(workspace, 0, sizeof workspace);
}

void EscapeDigest(char* out, const CSha1Digest& sha)
{
    if (out == nullptr)
        return;
    char* end = out + std::strlen(out);
    for (const unsigned char byte : sha.digest) {
        const bool alphanumeric
            = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9');
        if (alphanumeric) {
            *end++ = static_cast<char>(byte);
        } else {
            *end++ = '%';
            *end++ = HexDigit(byte >> 4, true);
            *end++ = HexDigit(byte, true);
        }
    }
    *end = '\0';
}
