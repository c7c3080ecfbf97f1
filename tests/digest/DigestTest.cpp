#include "digest/CMd5Digest.h"
#include "digest/CSha1Digest.h"
#include "digest/Sha1Compress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::string Sha1Hex(const std::vector<std::string>& pieces)
{
    CSha1Digest sha;
    for (const std::string& piece : pieces)
        sha.Update(Bytes(piece), static_cast<unsigned int>(piece.size()));
    sha.Final();
    std::string hex;
    for (unsigned char byte : sha.digest)
        hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
    return hex;
}

// Every case runs on both block engines; the SHA extensions are skipped where the CPU lacks them.
class Sha1OnEachEngine : public ::testing::TestWithParam<Sha1Engine> {
protected:
    void SetUp() override
    {
        if (!SelectSha1Engine(GetParam()))
            GTEST_SKIP() << "this processor has no SHA extensions";
    }
    void TearDown() override { SelectSha1Engine(m_previous); }

private:
    Sha1Engine m_previous = ActiveSha1Engine();
};

TEST_P(Sha1OnEachEngine, MatchesKnownDigestsOnEitherSideOfTheBlockBoundary)
{
    const std::pair<std::vector<std::string>, const char*> vectors[] = {
        {{""}, "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {{"abc"}, "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"}, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::vector<std::string>(1000, std::string(1000, 'a')), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {{std::string(55, 'a')}, "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
        {{std::string(56, 'a')}, "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
        {{std::string(63, 'a')}, "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
        {{std::string(64, 'a')}, "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
        {{std::string(119, 'a')}, "ee971065aaa017e0632a8ca6c77bb3bf8b1dfc56"},
    };
    for (const auto& [pieces, hex] : vectors)
        EXPECT_EQ(Sha1Hex(pieces), hex) << pieces.front().substr(0, 60);
}

TEST_P(Sha1OnEachEngine, SplittingTheInputAnywhereGivesTheSameDigest)
{
    std::string message(300, '\0');
    for (std::size_t i = 0; i < message.size(); ++i)
        message[i] = static_cast<char>(i * 131 + 7);
    const std::string original = message;
    const std::string whole = Sha1Hex({message});
    for (std::size_t first = 0; first <= message.size(); first += 7) {
        for (std::size_t second : {0, 1, 64, 129}) {
            second = std::min(second, message.size() - first);
            ASSERT_EQ(
                Sha1Hex({message.substr(0, first), message.substr(first, second), message.substr(first + second)}),
                whole)
                << "split at " << first << " and " << first + second;
        }
    }
    EXPECT_EQ(message, original) << "the input is only read";
}

INSTANTIATE_TEST_SUITE_P(Engines, Sha1OnEachEngine, ::testing::Values(Sha1Engine::Portable, Sha1Engine::ShaExtensions),
    [](const auto& info) { return std::string(info.param == Sha1Engine::Portable ? "Portable" : "ShaExtensions"); });

TEST(EscapeDigest, AppendsTheDigestWithAllButLettersAndDigitsEscaped)
{
    CSha1Digest sha;
    const unsigned char bytes[20]
        = {0x00, 0x25, 'a', 'z', 'A', 'Z', '0', '9', '-', '.', '_', '~', '/', '@', '`', '[', '{', 0x7F, 0x80, 0xFF};
    std::copy(std::begin(bytes), std::end(bytes), sha.digest);
    char out[100] = "info_hash=";
    EscapeDigest(out, sha);
    EXPECT_STREQ(out, "info_hash=%00%25azAZ09%2D%2E%5F%7E%2F%40%60%5B%7B%7F%80%FF");
    EscapeDigest(nullptr, sha); // nowhere to write: nothing happens
}

std::string Md5Hex(const std::string& message)
{
    CMd5Digest md5;
    md5.Update(Bytes(message), static_cast<unsigned int>(message.size()));
    return md5.HexDigest();
}

TEST(Md5Digest, MatchesKnownDigestsOnEitherSideOfTheBlockBoundary)
{
    const std::pair<std::string, const char*> vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
    };
    for (const auto& [message, hex] : vectors)
        EXPECT_EQ(Md5Hex(message), hex) << message.size() << " bytes";

    const std::string chunk(1000, 'a');
    CMd5Digest million;
    for (int i = 0; i < 1000; ++i)
        million.Update(Bytes(chunk), 1000);
    EXPECT_EQ(million.HexDigest(), "7707d6ae4e027c70eea2a935c2296f21");
}

// A digest taken at any offset of the open block (past 56 the padding spills into a second
// block) is repeatable, and the message then goes on to the digest of the whole.
TEST(Md5Digest, ADigestMayBeTakenPartWay)
{
    const std::string message
        = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ+-0123456789abcdefghijklmnopq";
    const std::string whole = Md5Hex(message);
    for (std::size_t head = 0; head <= 64; ++head) {
        SCOPED_TRACE(head);
        CMd5Digest md5;
        md5.Update(Bytes(message), static_cast<unsigned int>(head));
        const std::string first = md5.HexDigest();
        EXPECT_EQ(md5.HexDigest(), first);
        EXPECT_EQ(first, Md5Hex(message.substr(0, head)));
        md5.Update(Bytes(message) + head, static_cast<unsigned int>(message.size() - head));
        ASSERT_EQ(md5.HexDigest(), whole);
    }
}

} // namespace
