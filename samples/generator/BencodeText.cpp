#include "samples/generator/BencodeText.h"

#include <charconv>

void AppendBencodeInt(std::string& out, int64_t number)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, number);
    out += 'i';
    out.append(text, result.ptr);
    out += 'e';
}

void AppendBencodeString(std::string& out, std::string_view bytes)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, bytes.size());
    out.append(text, result.ptr);
    out += ':';
    out.append(bytes);
}

void AppendBencodeDict(std::string& out, const BencodeRawDict& pairs)
{
    out += 'd';
    for (const auto& [key, raw] : pairs) {
        AppendBencodeString(out, key);
        out += raw;
    }
    out += 'e';
}

std::string BencodeInt(int64_t number)
{
    std::string out;
    AppendBencodeInt(out, number);
    return out;
}

std::string BencodeString(std::string_view bytes)
{
    std::string out;
    AppendBencodeString(out, bytes);
    return out;
}

std::string BencodeList(const std::vector<std::string>& rawItems)
{
    std::string out = "l";
    for (const std::string& raw : rawItems)
        out += raw;
    out += 'e';
    return out;
}

std::string BencodeStringList(const std::vector<std::string>& texts)
{
    std::string out = "l";
    for (const std::string& text : texts)
        AppendBencodeString(out, text);
    out += 'e';
    return out;
}

std::string BencodeDict(const BencodeRawDict& pairs)
{
    std::string out;
    AppendBencodeDict(out, pairs);
    return out;
}
