#include "cli/ConsoleText.h"

#include "platform/AnsiCodePage.h"
#include "platform/HexText.h"
#include "platform/TextEncoding.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <string_view>

namespace {

bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void AppendEscaped(std::string& out, unsigned code)
{
    out += "\\x";
    out += HexDigit(code >> 4, true);
    out += HexDigit(code, true);
}

std::string PrintableUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = ValidUtf8SequenceLength(text.substr(i));
        if (length == 0) {
            AppendEscaped(out, static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        const auto lead = static_cast<unsigned char>(text[i]);
        if (length == 1 && IsControl(lead)) {
            AppendEscaped(out, lead);
        } else if (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            AppendEscaped(out, static_cast<unsigned char>(text[i + 1])); // U+0080 to U+009F
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    return out;
}

// Any other code page: through wide text, where every character is one code point.
std::string PrintableInCodePage(const std::string& local)
{
    const std::wstring wide = AnsiToWide(local.c_str());
    if (std::none_of(wide.begin(), wide.end(), [](wchar_t c) { return IsControl(static_cast<char32_t>(c)); })) {
        return local;
    }
    std::string out;
    std::wstring run;
    for (const wchar_t c : wide) {
        if (!IsControl(static_cast<char32_t>(c))) {
            run += c;
            continue;
        }
        out += WideToAnsi(run.c_str());
        run.clear();
        AppendEscaped(out, static_cast<unsigned>(c));
    }
    return out + WideToAnsi(run.c_str());
}

} // namespace

std::string Utf8ForConsole(const std::string& utf8)
{
    return AnsiCodePageIsUtf8() ? utf8 : WideToAnsi(Utf8ToWide(utf8.c_str()).c_str());
}

std::string LocalToUtf8(const std::string& local)
{
    return AnsiCodePageIsUtf8() ? local : AnsiToUtf8(local.c_str());
}

std::string PrintableText(const std::string& local)
{
    return AnsiCodePageIsUtf8() ? PrintableUtf8(local) : PrintableInCodePage(local);
}
