#include "torrent/CSha1Digest.h"
#include "torrent/Sha1Compress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

std::string Sha1Hex(const std::vector<std::string>& pieces) {
  CSha1Digest sha;
  for (const std::string& piece : pieces) sha.Update(Bytes(piece), static_cast<unsigned int>(piece.size()));
  sha.Final();
  std::string hex;
  char pair[3];
  for (unsigned char byte : sha.digest) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Every case runs on both block engines; the SHA extensions are skipped where the processor
// lacks them.
class Sha1OnEachEngine : public ::testing::TestWithParam<Sha1Engine> {
 protected:
  void SetUp() override {
    if (!SelectSha1Engine(GetParam())) GTEST_SKIP() << "this processor has no SHA extensions";
  }
  void TearDown() override { SelectSha1Engine(m_previous); }

 private:
  Sha1Engine m_previous = ActiveSha1Engine();
};

TEST_P(Sha1OnEachEngine, MatchesThePublishedVectorsAndPadsAroundTheBlockBoundary) {
  EXPECT_EQ(Sha1Hex({""}), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(Sha1Hex({"abc"}), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(Sha1Hex({"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"}),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(Sha1Hex(std::vector<std::string>(1000, std::string(1000, 'a'))),
            "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
  EXPECT_EQ(Sha1Hex({std::string(55, 'a')}), "c1c8bbdc22796e28c0e15163d20899b65621d65a");
  EXPECT_EQ(Sha1Hex({std::string(56, 'a')}), "c2db330f6083854c99d4b5bfb6e8f29f201be699");
  EXPECT_EQ(Sha1Hex({std::string(63, 'a')}), "03f09f5b158a7a8cdad920bddc29b81c18a551f5");
  EXPECT_EQ(Sha1Hex({std::string(64, 'a')}), "0098ba824b5c16427bd7a1122a5a442a25ec644d");
  EXPECT_EQ(Sha1Hex({std::string(119, 'a')}), "ee971065aaa017e0632a8ca6c77bb3bf8b1dfc56");
}

TEST_P(Sha1OnEachEngine, SplittingTheInputAnywhereGivesTheSameDigest) {
  const std::string message = RandomBytes(300, 7);
  const std::string whole = Sha1Hex({message});
  for (std::size_t first = 0; first <= message.size(); first += 7) {
    for (std::size_t second : {0, 1, 64, 129}) {
      second = std::min(second, message.size() - first);
      ASSERT_EQ(Sha1Hex({message.substr(0, first), message.substr(first, second), message.substr(first + second)}),
                whole)
          << "split at " << first << " and " << first + second;
    }
  }
}

TEST_P(Sha1OnEachEngine, HashingLeavesTheInputUntouched) {
  std::string input = RandomBytes(64 * 5 + 17, 5);
  const std::string original = input;
  CSha1Digest sha;
  sha.Update(Bytes(input) + 3, static_cast<unsigned int>(input.size() - 3));
  sha.Final();
  EXPECT_EQ(input, original);
}

INSTANTIATE_TEST_SUITE_P(Engines, Sha1OnEachEngine, ::testing::Values(Sha1Engine::Portable, Sha1Engine::ShaExtensions),
                         [](const auto& info) {
                           return std::string(info.param == Sha1Engine::Portable ? "Portable" : "ShaExtensions");
                         });

TEST(Sha1Digest, FinalLeavesNothingOfTheMessageAndResetStartsAfresh) {
  CSha1Digest first;
  first.Update(Bytes("first secret"), 12);
  first.Final();
  CSha1Digest second;
  second.Update(Bytes(std::string(100, 'x')), 100);
  second.Final();

  EXPECT_EQ(std::string(reinterpret_cast<char*>(first.block), 64), std::string(64, '\0'));
  EXPECT_EQ(first.bitCount[0] | first.bitCount[1], 0u);
  EXPECT_TRUE(std::equal(std::begin(first.state), std::end(first.state), second.state));
  EXPECT_TRUE(std::all_of(std::begin(first.workspace), std::end(first.workspace), [](auto w) { return w == 0; }));

  first.Reset();
  first.Update(Bytes("abc"), 3);
  first.Final();
  EXPECT_EQ(first.digest[0], 0xA9);
  EXPECT_EQ(first.digest[19], 0x9D);
}

TEST(EscapeDigest, EscapesTheDigestOfAbc) {
  CSha1Digest sha;
  sha.Update(Bytes("abc"), 3);
  sha.Final();
  char out[1000] = {};
  EscapeDigest(out, sha);
  EXPECT_STREQ(out, "%A9%99%3E6G%06%81j%BA%3E%25qxP%C2l%9C%D0%D8%9D");
  EscapeDigest(nullptr, sha);
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

}  // namespace
