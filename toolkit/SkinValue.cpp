#include "toolkit/SkinValue.h"

#include <charconv>
#include <cstdint>

namespace SkinValue {
namespace {

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Splits off the next comma-separated number; missing or malformed parts count as 0.
int NextPart(std::string_view& text)
{
    const auto comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    return Int(part, 0);
}

} // namespace

UIColor Color(std::string_view text, UIColor fallback)
{
    text = Trim(text);
    int base = 10;
    bool hashForm = false;
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
        base = 16;
        hashForm = true;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty())
        return fallback;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size())
        return fallback;
    if (hashForm && text.size() == 6)
        value |= 0xFF000000u;
    return value;
}

int Int(std::string_view text, int fallback)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return fallback;
    return value;
}

bool Bool(std::string_view text, bool fallback)
{
    text = Trim(text);
    if (text == "true" || text == "1" || text == "TRUE" || text == "True")
        return true;
    if (text == "false" || text == "0" || text == "FALSE" || text == "False")
        return false;
    return fallback;
}

UIRect Rect(std::string_view text)
{
    UIRect rect;
    rect.left = NextPart(text);
    rect.top = NextPart(text);
    rect.right = NextPart(text);
    rect.bottom = NextPart(text);
    return rect;
}

UISize Size(std::string_view text)
{
    UISize size;
    size.cx = NextPart(text);
    size.cy = NextPart(text);
    return size;
}

} // namespace SkinValue
