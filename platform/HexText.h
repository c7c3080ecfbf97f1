#pragma once

#include <cstddef>
#include <string>

// The hexadecimal digit for the low four bits of `value`.
inline char HexDigit(unsigned value, bool upperCase = false)
{
    return (upperCase ? "0123456789ABCDEF" : "0123456789abcdef")[value & 15u];
}

// Appends two hexadecimal digits per byte, high half first.
inline void AppendHex(std::string& out, const unsigned char* bytes, std::size_t count, bool upperCase = false)
{
    for (std::size_t i = 0; i < count; ++i) {
        out += HexDigit(bytes[i] >> 4, upperCase);
        out += HexDigit(bytes[i], upperCase);
    }
}
