#pragma once

#include <string>

// The local ANSI code page: the multi-byte character set of file paths, generated names and
// the texts shown to the user. On Linux it is the character set of the process locale; a
// locale that only knows plain ASCII ("C", "POSIX") gets UTF-8 instead, so that names outside
// ASCII still survive a round trip. Until one of the functions below is called it is UTF-8.
//
// The setting is process-wide. Change it at start-up (or in a test) before conversions run;
// reading it from several threads at once is safe.

// Adopts the character set of the environment's locale: setlocale(LC_CTYPE, "") and then
// nl_langinfo(CODESET). The program entry points call this once, first thing.
void UseLocaleAnsiCodePage();

// Chooses the code page by its iconv name (e.g. "GBK"). Returns false and keeps the current
// code page when iconv does not know the name.
bool SetAnsiCodePage(const char* name);

// The iconv name of the current code page.
std::string AnsiCodePageName();

// The code page that stands for a locale character set: the character set itself, or UTF-8
// when it is missing, plain ASCII, or unknown to iconv.
std::string AnsiCodePageForCodeset(const char* codeset);

// Whether the current code page is UTF-8, under any of the names iconv knows it by ("UTF-8",
// "utf8", ...).
bool AnsiCodePageIsUtf8();

// The current code page as a NUL-terminated name that stays valid for the life of the process
// (for the converters, which look their iconv descriptors up by it).
const char* CurrentAnsiCodePage();
