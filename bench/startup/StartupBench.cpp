// From starting the program to its window mapped and painted on an X server of its own (Xvfb,
// 1024x768): the time a user waits for the window. The web panes may still be loading then.
// Each start is a fresh process, warm in the file cache after the first; the figure is the
// median of ten (median_ms; the time column is their mean).

#include <xcb/xcb.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The caption strip's colour: once the window shows it, the skin has been painted.
constexpr std::uint32_t kCaptionColour = 0x26303D;
// A spot of the caption between the title and the options, for the 800x600 window centred on
// the 1024x768 screen.
constexpr int kSpotX = 112 + 250;
constexpr int kSpotY = 84 + 30;
constexpr int kStarts = 10;

// An Xvfb server on the first free display number, for the whole benchmark.
struct XServer {
    XServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char number[16] = {};
        const ssize_t got = read(fds[0], number, sizeof number - 1);
        close(fds[0]);
        if (got > 0)
            display = ":" + std::string(number, static_cast<std::size_t>(got - (number[got - 1] == '\n' ? 1 : 0)));
    }
    ~XServer()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    pid_t pid = -1;
    std::string display;
};

XServer* server = nullptr;

std::string MachineName()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2) + ", " + std::to_string(std::thread::hardware_concurrency())
                + " cores";
    }
    return "unknown machine";
}

pid_t StartProgram(const std::string& display)
{
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 1);
        setenv("KELPMERE_SEARCH_HOST", "http://127.0.0.1:9", 1); // nothing leaves this machine
        std::string folder = KELPMERE_PROGRAM;
        folder.erase(folder.rfind('/'));
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        execl(KELPMERE_PROGRAM, KELPMERE_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// The colour of one pixel of the screen (the root window shows every mapped window).
std::uint32_t PixelAt(xcb_connection_t* connection, xcb_window_t root, int x, int y)
{
    xcb_get_image_reply_t* image = xcb_get_image_reply(connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<std::int16_t>(x),
            static_cast<std::int16_t>(y), 1, 1, ~0u),
        nullptr);
    if (image == nullptr)
        return 0;
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, xcb_get_image_data(image), std::min<int>(4, xcb_get_image_data_length(image)));
    std::free(image);
    return pixel & 0xFFFFFF;
}

// Waits until the screen shows the caption strip of a window centred on it; false after 30 s.
bool WaitForPaintedWindow(xcb_connection_t* connection, xcb_window_t root)
{
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (PixelAt(connection, root, kSpotX, kSpotY) != kCaptionColour) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void BM_StartUntilTheWindowIsPainted(benchmark::State& state)
{
    if (server == nullptr || server->display.empty()) {
        state.SkipWithError("no Xvfb");
        return;
    }
    xcb_connection_t* connection = xcb_connect(server->display.c_str(), nullptr);
    if (xcb_connection_has_error(connection)) {
        state.SkipWithError(("cannot reach the X server " + server->display).c_str());
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    std::vector<double> seconds;
    for (auto _ : state) {
        const auto start = Clock::now();
        const pid_t program = StartProgram(server->display);
        const bool painted = WaitForPaintedWindow(connection, root);
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        kill(program, SIGTERM);
        waitpid(program, nullptr, 0);
        // Let the screen clear before the next start.
        while (PixelAt(connection, root, kSpotX, kSpotY) == kCaptionColour)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!painted) {
            state.SkipWithError("no window within 30 s");
            break;
        }
        state.SetIterationTime(elapsed);
        seconds.push_back(elapsed);
    }
    xcb_disconnect(connection);
    if (!seconds.empty()) {
        std::sort(seconds.begin(), seconds.end());
        const std::size_t n = seconds.size();
        state.counters["median_ms"] = 1000 * (n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2);
    }
    state.SetLabel(MachineName());
}
BENCHMARK(BM_StartUntilTheWindowIsPainted)->UseManualTime()->Iterations(kStarts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    XServer xserver;
    server = &xserver;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
