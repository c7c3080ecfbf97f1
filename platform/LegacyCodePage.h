#pragma once

#include <string>
#include <string_view>

// The legacy code pages that names in older torrents are stored in (GBK, BIG5, Shift_JIS,
// Windows-1251, ...): found by the names torrents and users spell them with, or by the user's
// language, and decoded strictly, so that a name which is not text in a code page is never
// shown as if it were.
struct LegacyCodePage {
    // How the code page is named to the user: "GBK", "Shift_JIS", "Windows-1251".
    const char* name;
    // The character set iconv decodes it with (the Windows variant where there is one, as the
    // clients that wrote such torrents used it).
    const char* iconvName;
    // The number MultiByteToWideChar decodes it with.
    unsigned windowsCodePage;
};

// The code page a name stands for, in any case and with or without "-", "_" or blanks: "GBK",
// "gb2312", "CP936", "Shift-JIS", "windows-1251", "UTF8", ...; null for a name it knows not.
const LegacyCodePage* LegacyCodePageNamed(std::string_view spelled);

// The legacy code page of a language, given as a locale name ("zh_CN.UTF-8", "zh-TW", "ja",
// "ru_RU"): GB18030 for Chinese, BIG5 for Chinese of Taiwan, Hong Kong and Macao, Shift_JIS for
// Japanese, EUC-KR for Korean, the Windows code page of its script for the others; null for
// "C", "POSIX" and languages it knows not.
const LegacyCodePage* LegacyCodePageOfLanguage(std::string_view locale);

// The legacy code page of the user's language (UserLanguage.h), looked up once.
const LegacyCodePage* UserLanguageLegacyCodePage();

// Decodes `bytes` from `page` into UTF-8 when every byte belongs to a character of the code
// page; false, with `utf8` unspecified, otherwise. NUL bytes are characters like any other.
// Safe on several threads at once.
bool LegacyTextToUtf8(const LegacyCodePage& page, std::string_view bytes, std::string& utf8);
