#include "torrent/LocalText.h"

#include "platform/AnsiCodePage.h"
#include "platform/TextEncoding.h"
#include "platform/Utf8.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Whether the text up to its first NUL is valid UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF), the input that a UTF-8 round trip returns unchanged. `end` receives the
// length up to the NUL.
bool IsPlainUtf8(std::string_view text, std::size_t& end)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] != '\0') {
        // Names are mostly ASCII: eight bytes at a time while none is a NUL or above 0x7F.
        while (text.size() - i >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + i, 8);
            constexpr std::uint64_t kLow = 0x0101010101010101u;
            constexpr std::uint64_t kHigh = 0x8080808080808080u;
            if (((word | ((word - kLow) & ~word)) & kHigh) != 0) {
                break;
            }
            i += 8;
        }
        if (i == text.size() || text[i] == '\0') {
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
    end = i;
    return true;
}

} // namespace

std::string Utf8ToLocalText(std::string_view utf8)
{
    std::size_t end = 0;
    if (AnsiCodePageIsUtf8() && IsPlainUtf8(utf8, end)) {
        return std::string(utf8.substr(0, end));
    }
    return WideToAnsi(Utf8ToWide(std::string(utf8).c_str()).c_str());
}

std::string LocalTextToUtf8(std::string_view local)
{
    std::size_t end = 0;
    if (AnsiCodePageIsUtf8() && IsPlainUtf8(local, end)) {
        return std::string(local.substr(0, end));
    }
    return AnsiToUtf8(std::string(local).c_str());
}

std::string LocalTextToUtf8(std::string&& local)
{
    std::size_t end = 0;
    if (AnsiCodePageIsUtf8() && IsPlainUtf8(local, end)) {
        local.resize(end);
        return std::move(local);
    }
    return AnsiToUtf8(local.c_str());
}

bool LocalTextIsUtf8(std::string_view text)
{
    std::size_t end = 0;
    return AnsiCodePageIsUtf8() && IsPlainUtf8(text, end) && end == text.size();
}
