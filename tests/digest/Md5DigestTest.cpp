#include "torrent/CMd5Digest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

std::string Md5Hex(const std::string& message) {
  CMd5Digest md5;
  md5.Update(Bytes(message), static_cast<unsigned int>(message.size()));
  return md5.HexDigest();
}

TEST(Md5Digest, MatchesThePublishedVectorsAndPadsAroundTheBlockBoundary) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(Md5Hex(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
  EXPECT_EQ(Md5Hex(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
  EXPECT_EQ(Md5Hex(std::string(63, 'a')), "b06521f39153d618550606be297466d5");
  EXPECT_EQ(Md5Hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
  EXPECT_EQ(Md5Hex(std::string(119, 'a')), "8a7bd0732ed6a28ce75f6dabc90e1613");

  const std::string chunk(1000, 'a');
  CMd5Digest million;
  for (int i = 0; i < 1000; ++i) million.Update(Bytes(chunk), 1000);
  EXPECT_EQ(million.HexDigest(), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5Digest, HexDigestIsRepeatableAndTheMessageContinuesAfterIt) {
  // Every offset into the open block, including those past 56 where padding spills into a
  // second block; a split anywhere gives the digest of the whole.
  const std::string message = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ+-0123456789abcdefghijklmnopq";
  const std::string whole = Md5Hex(message);
  for (std::size_t head = 0; head <= 64; ++head) {
    CMd5Digest md5;
    md5.Update(Bytes(message), static_cast<unsigned int>(head));
    const std::string first = md5.HexDigest();
    EXPECT_EQ(md5.HexDigest(), first);
    EXPECT_EQ(first, Md5Hex(message.substr(0, head)));
    md5.Update(Bytes(message) + head, static_cast<unsigned int>(message.size() - head));
    ASSERT_EQ(md5.HexDigest(), whole) << "digest taken after " << head << " bytes";
  }
}

}  // namespace
