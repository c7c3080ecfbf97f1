// pixel-change DISPLAY X Y TIMEOUT_MS COMMAND...: reads the colour of the screen at X Y, starts
// COMMAND (a click, say) and prints the milliseconds from its start until the colour there
// changes, or TIMEOUT_MS when it doesn't. The Windows real-window test times the window's answer
// to a click with it (Wine's window has no other way to tell when it has shown something).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <unistd.h>

namespace {

unsigned long PixelAt(Display* display, int x, int y)
{
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return ~0UL;
    const unsigned long colour = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return colour;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: pixel-change DISPLAY X Y TIMEOUT_MS COMMAND...\n");
        return 2;
    }
    Display* display = XOpenDisplay(argv[1]);
    if (display == nullptr)
        return 2;
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    const auto timeout = std::chrono::milliseconds(std::atoi(argv[4]));
    const unsigned long before = PixelAt(display, x, y);
    const auto start = std::chrono::steady_clock::now();
    if (fork() == 0) {
        execvp(argv[5], argv + 5);
        _exit(127);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    while (PixelAt(display, x, y) == before && elapsed < timeout) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        elapsed = std::chrono::steady_clock::now() - start;
    }
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
    XCloseDisplay(display);
    return 0;
}
