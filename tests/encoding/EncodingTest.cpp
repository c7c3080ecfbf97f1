#include "platform/AnsiCodePage.h"
#include "platform/LegacyCodePage.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// "测试文件.mkv" in UTF-8, GBK and wide text.
const char kNameUtf8[] = "\xE6\xB5\x8B\xE8\xAF\x95\xE6\x96\x87\xE4\xBB\xB6.mkv";
const char kNameGbk[] = "\xB2\xE2\xCA\xD4\xCE\xC4\xBC\xFE.mkv";
const wchar_t kNameWide[] = L"\u6D4B\u8BD5\u6587\u4EF6.mkv";

// Each test starts on GBK and puts the process code page back afterwards.
class TextEncoding : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetAnsiCodePage("GBK")); }
    void TearDown() override { SetAnsiCodePage(m_saved.c_str()); }

private:
    std::string m_saved = AnsiCodePageName();
};

TEST_F(TextEncoding, ANulOrANullPointerEndsTheInput)
{
    for (const char* empty : {"", static_cast<const char*>(nullptr)})
        EXPECT_TRUE(AnsiToWide(empty).empty() && Utf8ToWide(empty).empty() && AnsiToUtf8(empty).empty())
            << (empty != nullptr ? "empty text" : "null pointer");
    EXPECT_TRUE(WideToAnsi(nullptr).empty() && WideToUtf8(nullptr).empty());
    EXPECT_EQ(Utf8ToWide("ab\0cd"), L"ab");
    EXPECT_EQ(AnsiToWide("\xB2\xE2\0\xCA\xD4"), L"\u6D4B");
    EXPECT_EQ(WideToUtf8(L"ab\0cd"), "ab");
    EXPECT_EQ(WideToAnsi(L"\u6D4B\0\u8BD5"), "\xB2\xE2");
    EXPECT_EQ(AnsiToUtf8("x\0y"), "x");
}

TEST_F(TextEncoding, WhatCannotBeConvertedIsSubstituted)
{
    // An emoji and a Thai letter have no GBK form.
    EXPECT_EQ(WideToAnsi(L"a\U0001F600\u6D4B\u0E01b"), "a?\xB2\xE2?b");
    EXPECT_EQ(WideToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD800), L'b'}.c_str()), "a?b");
    EXPECT_EQ(WideToUtf8(std::wstring{static_cast<wchar_t>(0xDC00), L'z'}.c_str()), "?z");
#if WCHAR_MAX > 0xFFFF
    EXPECT_EQ(WideToUtf8(std::wstring{static_cast<wchar_t>(0x110000), L'z'}.c_str()), "?z");
#endif

    // Octal escapes where a letter follows: "\377" is 0xFF, "\300\257" an overlong '/'.
    const std::pair<const char*, const wchar_t*> invalid[] = {
        {"a\377b", L"a\uFFFDb"}, {"\300\257ok", L"\uFFFD\uFFFDok"},
        {"ab\xE6\xB5", L"ab\uFFFD\uFFFD"}, // cut-off character at the end
    };
    for (const auto& [utf8, wide] : invalid)
        EXPECT_EQ(Utf8ToWide(utf8), wide) << utf8;
    EXPECT_EQ(AnsiToWide("\xFF\xB2\xE2x"), L"\uFFFD\u6D4Bx");
    EXPECT_EQ(AnsiToUtf8("a\377b"), "a\357\277\275b"); // U+FFFD
}

TEST_F(TextEncoding, LongTextsWhoseOutputOutgrowsTheFirstGuessConvertCompletely)
{
    std::wstring wide;
    for (int i = 0; i < 5000; ++i)
        wide += (i % 2 == 0) ? L"\U0001F600" : L"\u6587";
    const std::string utf8 = WideToUtf8(wide.c_str());
    EXPECT_EQ(utf8.size(), 2500u * 4 + 2500u * 3);
    EXPECT_EQ(Utf8ToWide(utf8.c_str()), wide);
}

TEST_F(TextEncoding, AChineseFileNameConvertsBetweenUtf8AndGbkOnManyThreadsAtOnce)
{
    EXPECT_EQ(Utf8ToWide(kNameUtf8), kNameWide);
    EXPECT_EQ(AnsiToWide(kNameGbk), kNameWide);
    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 2000; ++i) {
                const std::string suffix = std::to_string(t * 100000 + i);
                const std::string utf8 = kNameUtf8 + suffix;
                if (WideToAnsi(Utf8ToWide(utf8.c_str()).c_str()) != kNameGbk + suffix)
                    ++failures[t];
                if (AnsiToUtf8((kNameGbk + suffix).c_str()) != utf8)
                    ++failures[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

#ifdef _WIN32
TEST_F(TextEncoding, TheSystemCodePageIsTheActiveAnsiCodePage)
{
    UseLocaleAnsiCodePage();
    const unsigned system = GetACP();
    EXPECT_EQ(AnsiCodePageName(), system == CP_UTF8 ? "UTF-8" : "CP" + std::to_string(system));
    EXPECT_EQ(AnsiCodePageIsUtf8(), system == CP_UTF8);
    ASSERT_TRUE(SetAnsiCodePage("CP1252"));
    EXPECT_EQ(WideToAnsi(L"caf\u00E9 \u0101"), "caf\xE9 ?") << "no look-alike stands in for a missing letter";
    EXPECT_EQ(AnsiToWide("caf\xE9"), L"caf\u00E9");
    ASSERT_TRUE(SetAnsiCodePage("CP936"));
    EXPECT_EQ(AnsiToWide(kNameGbk), kNameWide);
}
#else
TEST_F(TextEncoding, PlainAsciiLocalesFallBackToUtf8)
{
    const char* const savedLcAll = std::getenv("LC_ALL");
    const std::string saved = savedLcAll != nullptr ? savedLcAll : "";
    for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
        SCOPED_TRACE(locale);
        ASSERT_TRUE(SetAnsiCodePage("GBK"));
        setenv("LC_ALL", locale, 1);
        UseLocaleAnsiCodePage();
        EXPECT_EQ(AnsiCodePageName(), "UTF-8");
        EXPECT_TRUE(AnsiCodePageIsUtf8());
    }
    savedLcAll != nullptr ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
    std::setlocale(LC_CTYPE, "C");
}
#endif

TEST_F(TextEncoding, CharacterSetNamesAreKnownOrRefused)
{
#ifdef _WIN32
    // GB18030 is code page 54936, which not every Windows (nor Wine) carries.
    EXPECT_EQ(AnsiCodePageForCodeset("GB18030"), IsValidCodePage(54936) ? "GB18030" : "UTF-8");
    EXPECT_EQ(AnsiCodePageForCodeset("CP936"), "CP936");
#else
    EXPECT_EQ(AnsiCodePageForCodeset("GB18030"), "GB18030");
#endif
    for (const char* codeset : {"ANSI_X3.4-1968", "", static_cast<const char*>(nullptr), "NO-SUCH-CHARSET-42"})
        EXPECT_EQ(AnsiCodePageForCodeset(codeset), "UTF-8") << (codeset != nullptr ? codeset : "null");

    ASSERT_TRUE(SetAnsiCodePage("GBK"));
    for (const char* name : {"NO-SUCH-CHARSET-42", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(SetAnsiCodePage(name)) << (name != nullptr ? name : "null");
    EXPECT_EQ(AnsiCodePageName(), "GBK");
    EXPECT_FALSE(AnsiCodePageIsUtf8());
    for (const char* utf8 : {"utf-8", "UTF8", "utf8"}) { // every spelling iconv takes
        ASSERT_TRUE(SetAnsiCodePage(utf8)) << utf8;
        EXPECT_TRUE(AnsiCodePageIsUtf8()) << utf8;
    }
}

// Torrents and users spell code pages many ways; locales name languages many ways.
TEST(LegacyCodePageTest, SpellingsAndLanguagesFindTheirCodePage)
{
    const std::pair<const char*, const char*> named[] = {{"gbk", "GBK"}, {"GB2312", "GBK"}, {"cp936", "GBK"},
        {"GB18030", "GB18030"}, {"Big5", "BIG5"}, {"Shift-JIS", "Shift_JIS"}, {"sjis", "Shift_JIS"},
        {"EUC_JP", "EUC-JP"}, {"euc-kr", "EUC-KR"}, {"windows-1251", "Windows-1251"}, {"CP1250", "Windows-1250"},
        {"UTF8", "UTF-8"}, {"CP1259", nullptr}, {"", nullptr}, {"no such", nullptr}};
    for (const auto& [spelled, name] : named) {
        const LegacyCodePage* page = LegacyCodePageNamed(spelled);
        EXPECT_STREQ(page != nullptr ? page->name : nullptr, name) << spelled;
    }
    const std::pair<const char*, const char*> languages[]
        = {{"zh_CN.UTF-8", "GB18030"}, {"zh-TW", "BIG5"}, {"zh_HK.UTF-8", "BIG5"}, {"zh-Hant-MO", "BIG5"},
            {"ja_JP.eucJP", "Shift_JIS"}, {"ko-KR", "EUC-KR"}, {"ru_RU.KOI8-R", "Windows-1251"}, {"pl", "Windows-1250"},
            {"de_DE@euro", "Windows-1252"}, {"C", nullptr}, {"C.UTF-8", nullptr}, {"POSIX", nullptr}, {"", nullptr}};
    for (const auto& [locale, name] : languages) {
        const LegacyCodePage* page = LegacyCodePageOfLanguage(locale);
        EXPECT_STREQ(page != nullptr ? page->name : nullptr, name) << locale;
    }
}

// A name is decoded only when all of it is text in the code page.
TEST(LegacyCodePageTest, DecodingTakesWholeTextsOnly)
{
    const LegacyCodePage& gbk = *LegacyCodePageNamed("GBK");
    std::string utf8;
    EXPECT_TRUE(LegacyTextToUtf8(gbk, std::string(kNameGbk) + '\0' + "x", utf8));
    EXPECT_EQ(utf8, std::string(kNameUtf8) + '\0' + "x");
    for (const std::string broken : {"\xFF", "\xB2\xE2\xCA", "a\x81\x7F"})
        EXPECT_FALSE(LegacyTextToUtf8(gbk, broken, utf8)) << broken;
    EXPECT_TRUE(LegacyTextToUtf8(*LegacyCodePageNamed("Windows-1251"), "\xCF\xF0\xE8", utf8));
    EXPECT_EQ(utf8, "При");
    EXPECT_FALSE(LegacyTextToUtf8(*LegacyCodePageNamed("UTF-8"), "\xCF\xF0", utf8));
}

} // namespace
