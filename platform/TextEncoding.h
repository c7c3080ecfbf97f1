#pragma once

#include <string>

// Conversions between the local ANSI code page (see platform/AnsiCodePage.h), UTF-8 and wide
// text. Wide text (UTF-32 on Linux, UTF-16 on Windows) is only a transit form between the two
// multi-byte encodings.
//
// Every input ends at its first NUL, so an embedded NUL cuts the text; a null or empty input
// gives an empty result. Conversions never fail on content: a character the target cannot
// represent becomes '?' in multi-byte text, and an invalid byte sequence in multi-byte input
// becomes U+FFFD in wide text; the rest of the text is converted as usual. Only a code page
// that cannot be opened at all yields an empty result.
//
// The functions keep no state between calls and may be used from several threads at once.

std::wstring AnsiToWide(const char* text);
std::string WideToAnsi(const wchar_t* text);
std::wstring Utf8ToWide(const char* text);
std::string WideToUtf8(const wchar_t* text);

// Local text to UTF-8: AnsiToWide, then WideToUtf8.
std::string AnsiToUtf8(const char* text);
