#include "platform/Utf8.h"

#include <cstdint>
#include <cstring>

std::size_t ValidUtf8SequenceLength(std::string_view text)
{
    if (text.empty())
        return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view text)
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
