#include "platform/LocalText.h"

#include "platform/AnsiCodePage.h"
#include "platform/TextEncoding.h"
#include "platform/Utf8.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Whether the whole text is valid UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF), the input that a UTF-8 round trip returns unchanged. A NUL byte is a character
// like any other here.
bool IsPlainUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        // Names are mostly ASCII: eight bytes at a time while none is above 0x7F.
        while (text.size() - i >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + i, 8);
            if ((word & 0x8080808080808080u) != 0) {
                break;
            }
            i += 8;
        }
        if (i == text.size()) {
            break;
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) { // the common case, kept inline
            ++i;
            continue;
        }
        // Two- and three-byte characters whose lead byte allows any continuation bytes (most of
        // the world's scripts, CJK included) are checked here; the rest by the full rules.
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto continues
            = [&](std::size_t at) { return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80; };
        if (lead >= 0xC2 && lead <= 0xDF && continues(i + 1)) {
            i += 2;
            continue;
        }
        if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && continues(i + 1) && continues(i + 2)) {
            i += 3;
            continue;
        }
        const std::size_t length = ValidUtf8SequenceLength(text.substr(i));
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

// `text` through `convert`, which takes a NUL-terminated text, piece by piece between its NUL
// bytes, which stay in place: a name that holds a NUL byte is converted whole rather than cut
// there. Neither UTF-8 nor the local code pages use a zero byte inside a character.
template <class Convert>
std::string ConvertAroundNuls(std::string_view text, Convert convert)
{
    std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) {
        return convert(std::string(text).c_str());
    }
    std::string converted;
    for (;;) {
        converted += convert(std::string(text.substr(0, nul)).c_str());
        if (nul == std::string_view::npos) {
            return converted;
        }
        converted += '\0';
        text.remove_prefix(nul + 1);
        nul = text.find('\0');
    }
}

std::string Utf8ToAnsi(const char* utf8)
{
    return WideToAnsi(Utf8ToWide(utf8).c_str());
}

} // namespace

std::string Utf8ToLocalText(std::string_view utf8)
{
    if (AnsiCodePageIsUtf8() && IsPlainUtf8(utf8)) {
        return std::string(utf8);
    }
    return ConvertAroundNuls(utf8, Utf8ToAnsi);
}

std::string LocalTextToUtf8(std::string_view local)
{
    if (AnsiCodePageIsUtf8() && IsPlainUtf8(local)) {
        return std::string(local);
    }
    return ConvertAroundNuls(local, AnsiToUtf8);
}

std::string LocalTextToUtf8(std::string&& local)
{
    if (AnsiCodePageIsUtf8() && IsPlainUtf8(local)) {
        return std::move(local);
    }
    return ConvertAroundNuls(local, AnsiToUtf8);
}

bool LocalTextIsUtf8(std::string_view text)
{
    return AnsiCodePageIsUtf8() && IsPlainUtf8(text);
}
