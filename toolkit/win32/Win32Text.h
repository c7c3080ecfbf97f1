#pragma once

#include "platform/TextEncoding.h"

#include <string>

// Texts cross into Windows' wide functions from the active code page, and back.
inline std::wstring WideOf(const std::string& text)
{
    return AnsiToWide(text.c_str());
}

inline std::string AnsiOf(const wchar_t* text)
{
    return WideToAnsi(text);
}
