#include "platform/Directories.h"

#include "platform/TextEncoding.h"

#include <vector>

#include <windows.h>

std::string CurrentWorkingDirectory()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return {};
        if (length < buffer.size())
            return WideToAnsi(buffer.data());
        buffer.resize(length + 1); // `length` counts the terminator when the buffer was too small
    }
}

std::string ExecutableDirectory()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            const auto separator = path.find_last_of(L"\\/");
            return separator == std::wstring::npos ? std::string{} : WideToAnsi(path.substr(0, separator + 1).c_str());
        }
        if (buffer.size() >= 32768)
            return {}; // longer than any path Windows allows
        buffer.resize(buffer.size() * 2);
    }
}
