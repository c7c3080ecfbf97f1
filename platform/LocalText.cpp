#include "platform/LocalText.h"

#include "platform/AnsiCodePage.h"
#include "platform/TextEncoding.h"
#include "platform/Utf8.h"

#include <cstring>
#include <utility>

namespace {

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
    if (AnsiCodePageIsUtf8() && IsValidUtf8(utf8)) {
        return std::string(utf8);
    }
    return ConvertAroundNuls(utf8, Utf8ToAnsi);
}

std::string LocalTextToUtf8(std::string_view local)
{
    if (AnsiCodePageIsUtf8() && IsValidUtf8(local)) {
        return std::string(local);
    }
    return ConvertAroundNuls(local, AnsiToUtf8);
}

std::string LocalTextToUtf8(std::string&& local)
{
    if (AnsiCodePageIsUtf8() && IsValidUtf8(local)) {
        return std::move(local);
    }
    return ConvertAroundNuls(local, AnsiToUtf8);
}

bool LocalTextIsUtf8(std::string_view text)
{
    return AnsiCodePageIsUtf8() && IsValidUtf8(text);
}
