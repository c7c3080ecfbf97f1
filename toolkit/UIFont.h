#pragma once

#include <string>

// One entry of a window's font table (<Font id="0" name="..." size="14" bold="false"/>).
struct UIFont {
    std::string family = "WenQuanYi Micro Hei"; // UTF-8 family name
    int size = 12;                              // pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const UIFont&) const = default;
};
