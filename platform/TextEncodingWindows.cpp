#include "platform/TextEncodingSides.h"

#include "platform/LegacyCodePage.h"
#include "platform/Utf8.h"
#include "platform/WindowsCodePage.h"

#include <cstring>
#include <cwchar>
#include <string_view>

#include <windows.h>

// Wide text is UTF-16 here. MultiByteToWideChar and WideCharToMultiByte do the converting;
// where they would substitute on their own terms (best-fit look-alikes, one U+FFFD for a whole
// broken sequence), the text is taken apart so that the substitutions are the same as on every
// other build: one U+FFFD per byte that isn't part of a valid character, one '?' per character
// the target can't represent.

namespace {

constexpr wchar_t kReplacement = 0xFFFD;
constexpr UINT kUtf8 = CP_UTF8;

// Whether MultiByteToWideChar accepts MB_ERR_INVALID_CHARS for `codePage`: every code page but
// the ISO-2022 and ISCII families, HZ, UTF-7 and the symbol code page, which take flags 0 only.
bool TakesStrictFlag(UINT codePage)
{
    const bool iso2022 = codePage >= 50220 && codePage <= 50229;
    const bool iscii = codePage >= 57002 && codePage <= 57011;
    return !iso2022 && !iscii && codePage != 52936 && codePage != 65000 && codePage != 42;
}

// Converts `bytes` whole when every byte belongs to a valid character; false otherwise.
bool StrictToWide(UINT codePage, std::string_view bytes, std::wstring& out)
{
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return false;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(size));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, out.data() + start, size);
    return true;
}

std::wstring MultiByteToWide(UINT codePage, const char* text)
{
    if (text == nullptr || *text == '\0')
        return {};
    const std::string_view bytes(text, std::strlen(text));
    std::wstring wide;
    wide.reserve(bytes.size());
    if (!TakesStrictFlag(codePage)) {
        // The system substitutes on its own for these; nothing finer can be asked of it.
        const int size = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        if (size <= 0)
            return {};
        wide.resize(static_cast<std::size_t>(size));
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
        return wide;
    }
    if (StrictToWide(codePage, bytes, wide))
        return wide;
    // Character by character: the shortest run of up to four bytes that converts is one
    // character; a byte that starts none is replaced on its own.
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t taken = 0;
        if (codePage == kUtf8) {
            taken = ValidUtf8SequenceLength(bytes.substr(at));
            if (taken > 0 && !StrictToWide(codePage, bytes.substr(at, taken), wide))
                taken = 0;
        } else {
            for (std::size_t length = 1; length <= 4 && at + length <= bytes.size(); ++length) {
                if (StrictToWide(codePage, bytes.substr(at, length), wide)) {
                    taken = length;
                    break;
                }
            }
        }
        if (taken == 0) {
            wide += kReplacement;
            taken = 1;
        }
        at += taken;
    }
    return wide;
}

// Converts `text` whole when the target can represent every character (no default character
// used, no unpaired surrogate); false otherwise.
bool StrictToMultiByte(UINT codePage, std::wstring_view text, std::string& out)
{
    const int length = static_cast<int>(text.size());
    const DWORD flags = codePage == kUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultReport = codePage == kUtf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, usedDefaultReport);
    if (size <= 0 || usedDefault)
        return false;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(size));
    WideCharToMultiByte(codePage, flags, text.data(), length, out.data() + start, size, nullptr, usedDefaultReport);
    if (usedDefault) {
        out.resize(start);
        return false;
    }
    return true;
}

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

std::string WideToMultiByte(UINT codePage, const wchar_t* text)
{
    if (text == nullptr || *text == L'\0')
        return {};
    const std::wstring_view wide(text, std::wcslen(text));
    std::string bytes;
    bytes.reserve(wide.size() * 3);
    if (StrictToMultiByte(codePage, wide, bytes))
        return bytes;
    // Character by character; a surrogate pair is one character.
    std::size_t at = 0;
    while (at < wide.size()) {
        const std::size_t length
            = IsHighSurrogate(wide[at]) && at + 1 < wide.size() && IsLowSurrogate(wide[at + 1]) ? 2 : 1;
        if (!StrictToMultiByte(codePage, wide.substr(at, length), bytes))
            bytes += '?';
        at += length;
    }
    return bytes;
}

} // namespace

std::wstring SideToWide(TextSide side, const char* text)
{
    return MultiByteToWide(side == TextSide::Local ? CurrentWindowsCodePage() : kUtf8, text);
}

std::string WideToSide(TextSide side, const wchar_t* text)
{
    return WideToMultiByte(side == TextSide::Local ? CurrentWindowsCodePage() : kUtf8, text);
}

bool LegacyTextToUtf8(const LegacyCodePage& page, std::string_view bytes, std::string& utf8)
{
    utf8.clear();
    if (bytes.empty())
        return true;
    // A system without GB18030 (code page 54936) still reads its two-byte part, which is GBK.
    UINT codePage = page.windowsCodePage;
    if (codePage == 54936 && IsValidCodePage(codePage) == 0)
        codePage = 936;
    if (IsValidCodePage(codePage) == 0)
        return false;
    // Without the strict flag the system would substitute for what it can't decode.
    const DWORD flags = TakesStrictFlag(codePage) ? MB_ERR_INVALID_CHARS : 0;
    std::wstring wide;
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(size));
    MultiByteToWideChar(codePage, flags, bytes.data(), length, wide.data(), size);
    const int wideLength = static_cast<int>(wide.size());
    const int bytesOut = WideCharToMultiByte(kUtf8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (bytesOut <= 0)
        return false;
    utf8.resize(static_cast<std::size_t>(bytesOut));
    WideCharToMultiByte(kUtf8, 0, wide.data(), wideLength, utf8.data(), bytesOut, nullptr, nullptr);
    return true;
}
