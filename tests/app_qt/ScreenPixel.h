#pragma once

#include <optional>
#include <string>

// The colour (0xRRGGBB) of the screen of the X server `display` at a point; nothing when it can't
// be read. Its own file: Xlib defines short macros (None, Status, Bool) the tests must not meet.
std::optional<unsigned long> ScreenPixel(const std::string& display, int x, int y);
