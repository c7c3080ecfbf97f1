#include "torrent/CSha1Digest.h"
#include "torrent/Sha1Compress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string HexOf(const unsigned char* bytes, std::size_t size) {
  std::string text;
  char pair[3];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

std::string Sha1Hex(const std::string& message) {
  CSha1Digest sha;
  sha.Update(Bytes(message), static_cast<unsigned int>(message.size()));
  sha.Final();
  return HexOf(sha.digest, sizeof sha.digest);
}

// Every case runs on both block engines; the one with SHA extensions is skipped on processors
// without them.
class Sha1OnEachEngine : public ::testing::TestWithParam<Sha1Engine> {
 protected:
  void SetUp() override {
    m_previous = ActiveSha1Engine();
    if (!SelectSha1Engine(GetParam())) GTEST_SKIP() << "this processor has no SHA extensions";
  }
  void TearDown() override { SelectSha1Engine(m_previous); }

 private:
  Sha1Engine m_previous = Sha1Engine::Portable;
};

TEST_P(Sha1OnEachEngine, MatchesThePublishedVectors) {
  EXPECT_EQ(Sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(Sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(Sha1Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(Sha1Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
                    "mnopqrstnopqrstu"),
            "a49b2446a02c645bf419f995b67091253a04a259");
}

TEST_P(Sha1OnEachEngine, HashesAMillionLettersFedInPieces) {
  const std::string chunk(1000, 'a');
  CSha1Digest sha;
  for (int i = 0; i < 1000; ++i) sha.Update(Bytes(chunk), static_cast<unsigned int>(chunk.size()));
  sha.Final();
  EXPECT_EQ(HexOf(sha.digest, 20), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST_P(Sha1OnEachEngine, PadsMessagesAroundTheBlockBoundary) {
  EXPECT_EQ(Sha1Hex(std::string(55, 'a')), "c1c8bbdc22796e28c0e15163d20899b65621d65a");
  EXPECT_EQ(Sha1Hex(std::string(56, 'a')), "c2db330f6083854c99d4b5bfb6e8f29f201be699");
  EXPECT_EQ(Sha1Hex(std::string(63, 'a')), "03f09f5b158a7a8cdad920bddc29b81c18a551f5");
  EXPECT_EQ(Sha1Hex(std::string(64, 'a')), "0098ba824b5c16427bd7a1122a5a442a25ec644d");
  EXPECT_EQ(Sha1Hex(std::string(65, 'a')), "11655326c708d70319be2610e8a57d9a5b959d3b");
  EXPECT_EQ(Sha1Hex(std::string(119, 'a')), "ee971065aaa017e0632a8ca6c77bb3bf8b1dfc56");
  EXPECT_EQ(Sha1Hex(std::string(120, 'a')), "f34c1488385346a55709ba056ddd08280dd4c6d6");
}

TEST_P(Sha1OnEachEngine, SplittingTheInputAnywhereGivesTheSameDigest) {
  std::mt19937 random(7);
  std::string message(300, '\0');
  for (char& c : message) c = static_cast<char>(random());
  const std::string whole = Sha1Hex(message);
  for (std::size_t first = 0; first <= message.size(); first += 7) {
    for (std::size_t second : {std::size_t{0}, std::size_t{1}, std::size_t{64}, std::size_t{129}}) {
      second = std::min(second, message.size() - first);
      CSha1Digest sha;
      sha.Update(Bytes(message), static_cast<unsigned int>(first));
      sha.Update(Bytes(message) + first, static_cast<unsigned int>(second));
      sha.Update(Bytes(message) + first + second, static_cast<unsigned int>(message.size() - first - second));
      sha.Final();
      ASSERT_EQ(HexOf(sha.digest, 20), whole) << "split at " << first << " and " << first + second;
    }
  }
}

TEST_P(Sha1OnEachEngine, HashingLeavesTheInputUntouched) {
  std::vector<unsigned char> input(64 * 5 + 17);
  for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<unsigned char>(i * 31 + 5);
  const std::vector<unsigned char> original = input;
  CSha1Digest sha;
  sha.Update(input.data() + 3, static_cast<unsigned int>(input.size() - 3));
  sha.Final();
  EXPECT_EQ(input, original);
}

INSTANTIATE_TEST_SUITE_P(Engines, Sha1OnEachEngine,
                         ::testing::Values(Sha1Engine::Portable, Sha1Engine::ShaExtensions),
                         [](const auto& info) {
                           return info.param == Sha1Engine::Portable ? std::string("Portable")
                                                                     : std::string("ShaExtensions");
                         });

TEST(Sha1Engines, AgreeOnRandomMessagesOfEveryLengthUpToFourBlocks) {
  if (!CpuHasShaExtensions()) GTEST_SKIP() << "this processor has no SHA extensions";
  const Sha1Engine previous = ActiveSha1Engine();
  std::mt19937 random(11);
  for (std::size_t length = 0; length <= 256; ++length) {
    std::string message(length, '\0');
    for (char& c : message) c = static_cast<char>(random());
    SelectSha1Engine(Sha1Engine::Portable);
    const std::string portable = Sha1Hex(message);
    SelectSha1Engine(Sha1Engine::ShaExtensions);
    ASSERT_EQ(Sha1Hex(message), portable) << "length " << length;
  }
  SelectSha1Engine(previous);
}

TEST(Sha1Digest, FinalLeavesNothingOfTheMessageInTheContext) {
  CSha1Digest first;
  first.Update(Bytes("first secret"), 12);
  first.Final();
  CSha1Digest second;
  second.Update(Bytes(std::string(100, 'x')), 100);
  second.Final();

  EXPECT_EQ(HexOf(first.block, 64), std::string(128, '0'));
  EXPECT_EQ(first.bitCount[0], 0u);
  EXPECT_EQ(first.bitCount[1], 0u);
  EXPECT_EQ(HexOf(first.block, 64), HexOf(second.block, 64));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(first.state[i], second.state[i]) << "word " << i;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(first.workspace[i], 0u) << "word " << i;
}

TEST(Sha1Digest, ResetStartsAFreshMessageAfterFinal) {
  CSha1Digest sha;
  sha.Update(Bytes("something else"), 14);
  sha.Final();
  sha.Reset();
  EXPECT_EQ(HexOf(sha.digest, 20), std::string(40, '0'));
  sha.Update(Bytes("abc"), 3);
  sha.Final();
  EXPECT_EQ(HexOf(sha.digest, 20), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(EscapeDigest, EscapesTheDigestOfAbc) {
  CSha1Digest sha;
  sha.Update(Bytes("abc"), 3);
  sha.Final();
  char out[1000] = {};
  EscapeDigest(out, sha);
  EXPECT_STREQ(out, "%A9%99%3E6G%06%81j%BA%3E%25qxP%C2l%9C%D0%D8%9D");
  EXPECT_EQ(std::string(out).size(), 46u);
}

TEST(EscapeDigest, KeepsOnlyLettersAndDigitsAndAppendsAfterExistingText) {
  CSha1Digest sha;
  const unsigned char bytes[20] = {0x00, 0x25, 'a', 'z', 'A', 'Z', '0', '9', '-', '.',
                                   '_',  '~',  '/', '@', '`', '[', '{', 0x7F, 0x80, 0xFF};
  std::copy(std::begin(bytes), std::end(bytes), sha.digest);
  char out[80] = "info_hash=";
  EscapeDigest(out, sha);
  EXPECT_STREQ(out, "info_hash=%00%25azAZ09%2D%2E%5F%7E%2F%40%60%5B%7B%7F%80%FF");
}

TEST(EscapeDigest, IgnoresANullBuffer) {
  CSha1Digest sha;
  EscapeDigest(nullptr, sha);
  SUCCEED();
}

}  // namespace
