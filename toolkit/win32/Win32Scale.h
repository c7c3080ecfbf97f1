#pragma once

#include "toolkit/UIDefs.h"

#include <cmath>

// The factor between the control tree's units (the skin's pixels at 96 DPI) and the screen's
// pixels at the window's DPI: 1.5 at 144 DPI, where an 800 x 600 skin fills 1200 x 900.
struct Win32Scale {
    double factor = 1.0;

    static Win32Scale ForDpi(unsigned dpi) { return Win32Scale{dpi > 0 ? dpi / 96.0 : 1.0}; }

    int ToPixels(int units) const { return static_cast<int>(std::lround(units * factor)); }
    int ToUnits(int pixels) const { return static_cast<int>(std::lround(pixels / factor)); }
    UIRect ToPixels(const UIRect& r) const
    {
        return UIRect{ToPixels(r.left), ToPixels(r.top), ToPixels(r.right), ToPixels(r.bottom)};
    }
    UIPoint ToUnits(UIPoint p) const { return UIPoint{ToUnits(p.x), ToUnits(p.y)}; }
    UISize ToUnits(UISize s) const { return UISize{ToUnits(s.cx), ToUnits(s.cy)}; }
    UISize ToPixels(UISize s) const { return UISize{ToPixels(s.cx), ToPixels(s.cy)}; }
};
