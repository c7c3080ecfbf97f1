#include "bencode/CBEncodeInt.h"

#include <charconv>

bool CBEncodeInt::Encode(std::string& out)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, number);
    out += 'i';
    out.append(text, result.ptr);
    out += 'e';
    return true;
}
