#include "torrent/LocalText.h"

#include "platform/AnsiCodePage.h"
#include "platform/TextEncoding.h"

#include <cstring>

namespace {

bool LocalIsUtf8() {
    const char* name = CurrentAnsiCodePage();
    return std::strcmp(name, "UTF-8") == 0;
}

// Whether the text up to its first NUL is valid UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF), the input that a UTF-8 round trip returns unchanged. `end` receives the
// length up to the NUL.
bool IsPlainUtf8(std::string_view text, std::size_t& end) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            if (lead == 0) {
                break;
            }
            ++i;
            continue;
        }
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
            return false;
        }
        if (size - i < length || bytes[i + 1] < low || bytes[i + 1] > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) {
                return false;
            }
        }
        i += length;
    }
    end = i;
    return true;
}

}  // namespace

std::string Utf8ToLocalText(std::string_view utf8) {
    std::size_t end = 0;
    if (LocalIsUtf8() && IsPlainUtf8(utf8, end)) {
        return std::string(utf8.substr(0, end));
    }
    return WideToAnsi(Utf8ToWide(std::string(utf8).c_str()).c_str());
}

std::string LocalTextToUtf8(std::string_view local) {
    std::size_t end = 0;
    if (LocalIsUtf8() && IsPlainUtf8(local, end)) {
        return std::string(local.substr(0, end));
    }
    return AnsiToUtf8(std::string(local).c_str());
}
