#pragma once

#include "toolkit/UIDefs.h"

#include <string_view>

// Parsing of skin attribute values. Malformed values give the fallback.
namespace SkinValue {

// "#AARRGGBB", "#RRGGBB" (opaque), "0xAARRGGBB" or a decimal number.
UIColor Color(std::string_view text, UIColor fallback = 0);
int Int(std::string_view text, int fallback = 0);
// "true"/"1" and "false"/"0".
bool Bool(std::string_view text, bool fallback = false);
// "l,t,r,b"; missing parts are 0.
UIRect Rect(std::string_view text);
// "a,b"; missing parts are 0.
UISize Size(std::string_view text);

} // namespace SkinValue
