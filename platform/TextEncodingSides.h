#pragma once

#include <string>

// What each system's converter provides behind the conversions of TextEncoding.h: one
// multi-byte side or the other to wide text and back, with the same substitutions everywhere.
enum class TextSide {
    Local, // the local ANSI code page
    Utf8,
};

std::wstring SideToWide(TextSide side, const char* text);
std::string WideToSide(TextSide side, const wchar_t* text);
