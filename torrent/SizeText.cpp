#include "torrent/SizeText.h"

#include <cmath>
#include <cstdio>

std::string SizeText(double bytes, SizeTextEnd end)
{
    double shown = bytes;
    char unit = 'B';
    if (std::ldexp(bytes, -30) > 1) {
        shown = std::ldexp(bytes, -30);
        unit = 'G';
    } else if (std::ldexp(bytes, -20) > 1) {
        shown = std::ldexp(bytes, -20);
        unit = 'M';
    } else if (std::ldexp(bytes, -10) > 1) {
        shown = std::ldexp(bytes, -10);
        unit = 'K';
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f%c%s", shown, unit, end == SizeTextEnd::LineFeed ? "\n" : "");
    return text;
}
