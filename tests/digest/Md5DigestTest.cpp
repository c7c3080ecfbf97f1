#include "torrent/CMd5Digest.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

std::string Md5Hex(const std::string& message) {
  CMd5Digest md5;
  md5.Update(Bytes(message), static_cast<unsigned int>(message.size()));
  return md5.HexDigest();
}

TEST(Md5Digest, MatchesThePublishedVectors) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5Digest, HashesAMillionLettersFedInPieces) {
  const std::string chunk(1000, 'a');
  CMd5Digest md5;
  for (int i = 0; i < 1000; ++i) md5.Update(Bytes(chunk), static_cast<unsigned int>(chunk.size()));
  EXPECT_EQ(md5.HexDigest(), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5Digest, PadsMessagesAroundTheBlockBoundary) {
  EXPECT_EQ(Md5Hex(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
  EXPECT_EQ(Md5Hex(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
  EXPECT_EQ(Md5Hex(std::string(63, 'a')), "b06521f39153d618550606be297466d5");
  EXPECT_EQ(Md5Hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
  EXPECT_EQ(Md5Hex(std::string(65, 'a')), "c743a45e0d2e6a95cb859adae0248435");
  EXPECT_EQ(Md5Hex(std::string(119, 'a')), "8a7bd0732ed6a28ce75f6dabc90e1613");
  EXPECT_EQ(Md5Hex(std::string(120, 'a')), "5f61c0ccad4cac44c75ff505e1f1e537");
}

TEST(Md5Digest, SplittingTheInputAnywhereGivesTheSameDigest) {
  std::mt19937 random(3);
  std::string message(200, '\0');
  for (char& c : message) c = static_cast<char>(random());
  const std::string whole = Md5Hex(message);
  for (std::size_t split = 0; split <= message.size(); ++split) {
    CMd5Digest md5;
    md5.Update(Bytes(message), static_cast<unsigned int>(split));
    md5.Update(Bytes(message) + split, static_cast<unsigned int>(message.size() - split));
    ASSERT_EQ(md5.HexDigest(), whole) << "split at " << split;
  }
}

TEST(Md5Digest, HexDigestIsRepeatableAndTheMessageContinuesAfterIt) {
  // Every offset into the open block, including those past 56 where padding spills into a
  // second block.
  const std::string message = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ+-0123456789abcdefghijklmnopq";
  for (std::size_t head = 0; head <= 64; ++head) {
    CMd5Digest md5;
    md5.Update(Bytes(message), static_cast<unsigned int>(head));
    const std::string first = md5.HexDigest();
    EXPECT_EQ(md5.HexDigest(), first);
    EXPECT_EQ(first, Md5Hex(message.substr(0, head)));
    md5.Update(Bytes(message) + head, static_cast<unsigned int>(message.size() - head));
    ASSERT_EQ(md5.HexDigest(), Md5Hex(message)) << "digest taken after " << head << " bytes";
  }
}

TEST(Md5Digest, HexTextIsThirtyTwoLowercaseDigits) {
  for (const std::string message : {"", "seed 1", "1700000000123"}) {
    const std::string hex = Md5Hex(message);
    ASSERT_EQ(hex.size(), 32u);
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos) << hex;
  }
}

TEST(Md5Digest, HashingLeavesTheInputUntouched) {
  std::vector<unsigned char> input(64 * 3 + 9);
  for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<unsigned char>(i * 7 + 1);
  const std::vector<unsigned char> original = input;
  CMd5Digest md5;
  md5.Update(input.data(), static_cast<unsigned int>(input.size()));
  md5.HexDigest();
  EXPECT_EQ(input, original);
}

}  // namespace
