#include "platform/TextEncoding.h"

#include "encoding/CodePageGuard.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// "测试文件.mkv" in UTF-8 and in GBK.
const char kNameUtf8[] = "\xE6\xB5\x8B\xE8\xAF\x95\xE6\x96\x87\xE4\xBB\xB6.mkv";
const char kNameGbk[] = "\xB2\xE2\xCA\xD4\xCE\xC4\xBC\xFE.mkv";
const wchar_t kNameWide[] = L"\u6D4B\u8BD5\u6587\u4EF6.mkv";

class TextEncoding : public ::testing::Test {
 protected:
  CodePageGuard m_guard;
};

TEST_F(TextEncoding, AChineseFileNameGoesFromUtf8ToGbkAndBack) {
  ASSERT_TRUE(SetAnsiCodePage("GBK"));
  EXPECT_EQ(Utf8ToWide(kNameUtf8), kNameWide);
  EXPECT_EQ(WideToAnsi(Utf8ToWide(kNameUtf8).c_str()), kNameGbk);

  EXPECT_EQ(AnsiToWide(kNameGbk), kNameWide);
  EXPECT_EQ(WideToUtf8(AnsiToWide(kNameGbk).c_str()), kNameUtf8);
  EXPECT_EQ(AnsiToUtf8(kNameGbk), kNameUtf8);
}

TEST_F(TextEncoding, AsciiPassesThroughEveryConversionUnchanged) {
  const std::string ascii = "Readme 01_final-v2 (copy).txt ~!@#$%^&*+={}[]|;:'\",<>?/\t";
  const std::wstring wide(ascii.begin(), ascii.end());
  for (const char* codePage : {"UTF-8", "GBK"}) {
    SCOPED_TRACE(codePage);
    ASSERT_TRUE(SetAnsiCodePage(codePage));
    EXPECT_EQ(AnsiToWide(ascii.c_str()), wide);
    EXPECT_EQ(WideToAnsi(wide.c_str()), ascii);
    EXPECT_EQ(Utf8ToWide(ascii.c_str()), wide);
    EXPECT_EQ(WideToUtf8(wide.c_str()), ascii);
    EXPECT_EQ(AnsiToUtf8(ascii.c_str()), ascii);
  }
}

TEST_F(TextEncoding, EmptyInputsGiveEmptyResultsAndAnEmbeddedNulCutsTheText) {
  ASSERT_TRUE(SetAnsiCodePage("GBK"));
  for (const char* empty : {"", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(AnsiToWide(empty), L"");
    EXPECT_EQ(Utf8ToWide(empty), L"");
    EXPECT_EQ(AnsiToUtf8(empty), "");
  }
  for (const wchar_t* empty : {L"", static_cast<const wchar_t*>(nullptr)}) {
    EXPECT_EQ(WideToAnsi(empty), "");
    EXPECT_EQ(WideToUtf8(empty), "");
  }
  EXPECT_EQ(Utf8ToWide("ab\0cd"), L"ab");
  EXPECT_EQ(AnsiToWide("\xB2\xE2\0\xCA\xD4"), L"\u6D4B");
  EXPECT_EQ(WideToUtf8(L"ab\0cd"), "ab");
  EXPECT_EQ(WideToAnsi(L"\u6D4B\0\u8BD5"), "\xB2\xE2");
  EXPECT_EQ(AnsiToUtf8("x\0y"), "x");
}

TEST_F(TextEncoding, CharactersTheCodePageLacksBecomeQuestionMarks) {
  ASSERT_TRUE(SetAnsiCodePage("GBK"));
  // An emoji and a Thai letter have no GBK form; the text around them still converts.
  EXPECT_EQ(WideToAnsi(L"a\U0001F600\u6D4B\u0E01b"), "a?\xB2\xE2?b");
  const std::wstring loneSurrogate{L'a', static_cast<wchar_t>(0xD800), L'b'};
  EXPECT_EQ(WideToUtf8(loneSurrogate.c_str()), "a?b");
  const std::wstring beyondUnicode{static_cast<wchar_t>(0x110000), L'z'};
  EXPECT_EQ(WideToUtf8(beyondUnicode.c_str()), "?z");
}

TEST_F(TextEncoding, InvalidBytesBecomeReplacementCharactersAndConversionGoesOn) {
  ASSERT_TRUE(SetAnsiCodePage("GBK"));
  EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(Utf8ToWide("\xC0\xAF" "ok"), L"\uFFFD\uFFFDok");         // overlong '/'
  EXPECT_EQ(Utf8ToWide("ab\xE6\xB5"), L"ab\uFFFD\uFFFD");            // cut-off character at the end
  EXPECT_EQ(AnsiToWide("\xFF\xB2\xE2x"), L"\uFFFD\u6D4Bx");
  EXPECT_EQ(AnsiToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
}

TEST_F(TextEncoding, LongTextsWithWideCharactersConvertCompletely) {
  // Four UTF-8 bytes per character: more than the first guess of the output size.
  std::wstring wide;
  for (int i = 0; i < 5000; ++i) wide += (i % 2 == 0) ? L'\U0001F600' : L'\u6587';
  const std::string utf8 = WideToUtf8(wide.c_str());
  EXPECT_EQ(utf8.size(), 2500u * 4 + 2500u * 3);
  EXPECT_EQ(Utf8ToWide(utf8.c_str()), wide);
}

TEST_F(TextEncoding, ThreadsConvertAtTheSameTimeWithoutMixingResults) {
  ASSERT_TRUE(SetAnsiCodePage("GBK"));
  std::vector<int> failures(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 2000; ++i) {
        const std::string suffix = std::to_string(t * 100000 + i);
        const std::string utf8 = kNameUtf8 + suffix;
        if (WideToAnsi(Utf8ToWide(utf8.c_str()).c_str()) != kNameGbk + suffix) ++failures[t];
        if (AnsiToUtf8((kNameGbk + suffix).c_str()) != utf8) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
