#include "platform/TextEncoding.h"

#include "platform/TextEncodingSides.h"

std::wstring AnsiToWide(const char* text)
{
    return SideToWide(TextSide::Local, text);
}

std::string WideToAnsi(const wchar_t* text)
{
    return WideToSide(TextSide::Local, text);
}

std::wstring Utf8ToWide(const char* text)
{
    return SideToWide(TextSide::Utf8, text);
}

std::string WideToUtf8(const wchar_t* text)
{
    return WideToSide(TextSide::Utf8, text);
}

std::string AnsiToUtf8(const char* text)
{
    return WideToUtf8(AnsiToWide(text).c_str());
}
