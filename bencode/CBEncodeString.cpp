#include "bencode/CBEncodeString.h"

#include <charconv>
#include <utility>

namespace {

// The length's digits and the colon in one append of a pointer and a count, which is cheaper
// than appending a range.
void AppendLengthPrefix(std::string& out, std::size_t length)
{
    char text[24];
    char* const end = std::to_chars(text, text + 20, length).ptr; // 20 digits hold any length
    *end = ':';
    out.append(text, static_cast<std::size_t>(end - text) + 1);
}

} // namespace

bool CBEncodeString::Encode(std::string& out)
{
    if (errorCode != 0)
        return false;
    if (replaced) {
        AppendLengthPrefix(out, replacement.size());
        out += replacement;
        return true;
    }
    if (data == nullptr || dataLength <= 0) {
        out += "0:";
        return true;
    }
    AppendLengthPrefix(out, static_cast<std::size_t>(dataLength));
    out.append(data, static_cast<std::size_t>(dataLength));
    return true;
}

bool CBEncodeString::GetString(std::string& out) const
{
    out.clear();
    if (errorCode != 0)
        return false;
    if (data != nullptr && dataLength > 0)
        out.assign(data, static_cast<std::size_t>(dataLength));
    return true;
}

bool CBEncodeString::SetString(std::string text)
{
    replacement = std::move(text);
    replaced = true;
    return true;
}
