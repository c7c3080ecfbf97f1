#include "ScreenPixel.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::optional<unsigned long> ScreenPixel(const std::string& display, int x, int y)
{
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr)
        return std::nullopt;
    std::optional<unsigned long> colour;
    if (XImage* image = XGetImage(connection, DefaultRootWindow(connection), x, y, 1, 1, AllPlanes, ZPixmap)) {
        colour = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
    }
    XCloseDisplay(connection);
    return colour;
}
