#include "cli/JsonWriter.h"

#include "platform/HexText.h"
#include "platform/Utf8.h"

#include <nlohmann/json.hpp>

#include <string_view>

namespace {

void AppendString(std::string& out, std::string_view utf8)
{
    out += '"';
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += "\\u00";
                    out += HexDigit(c >> 4);
                    out += HexDigit(c);
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        const std::size_t length = ValidUtf8SequenceLength(utf8.substr(i));
        if (length == 0) {
            out += "\\ufffd";
            ++i;
        } else {
            out.append(utf8, i, length);
            i += length;
        }
    }
    out += '"';
}

void AppendValue(std::string& out, const nlohmann::ordered_json& value)
{
    if (value.is_string()) {
        AppendString(out, value.get_ref<const std::string&>());
    } else if (value.is_structured()) {
        const bool object = value.is_object();
        out += object ? '{' : '[';
        bool first = true;
        for (const auto& member : value.items()) {
            if (!first) {
                out += ',';
            }
            first = false;
            if (object) {
                AppendString(out, member.key());
                out += ':';
            }
            AppendValue(out, member.value());
        }
        out += object ? '}' : ']';
    } else if (value.is_binary()) { // JSON text written beforehand (WrittenJson)
        const auto& text = value.get_binary();
        out.append(text.begin(), text.end());
    } else {
        out += value.dump(); // numbers, true, false, null
    }
}

} // namespace

nlohmann::ordered_json WrittenJson(const std::string& text)
{
    return nlohmann::ordered_json::binary({text.begin(), text.end()});
}

std::string JsonText(const nlohmann::ordered_json& value)
{
    std::string text;
    AppendValue(text, value);
    return text;
}
