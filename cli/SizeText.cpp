#include "cli/SizeText.h"

#include <cmath>
#include <cstdio>

std::string FormatFileSize(double bytes)
{
    char text[64];
    if (std::ldexp(bytes, -30) > 1) {
        std::snprintf(text, sizeof text, "%.2fG", std::ldexp(bytes, -30));
    } else if (std::ldexp(bytes, -20) > 1) {
        std::snprintf(text, sizeof text, "%.2fM", std::ldexp(bytes, -20));
    } else if (std::ldexp(bytes, -10) > 1) {
        std::snprintf(text, sizeof text, "%.2fK", std::ldexp(bytes, -10));
    } else {
        std::snprintf(text, sizeof text, "%.2fB", bytes);
    }
    return text;
}
