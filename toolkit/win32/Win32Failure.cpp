#include "toolkit/win32/Win32Failure.h"

#include "platform/TextEncoding.h"
#include "toolkit/BackendFailure.h"

std::string ReportWin32Failure(const std::string& call, DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    if (text != nullptr)
        LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' '))
        words.pop_back();
    std::string line = call + " failed: ";
    if (!words.empty())
        line += WideToUtf8(words.c_str()) + " ";
    line += "(error " + std::to_string(error) + ")";
    ReportBackendFailure(line);
    return line;
}
