#pragma once

// The real program in a real X server (Xvfb), driven the way a person would with xdotool.
// A real X server is asynchronous: windows appear, get mapped and may be replaced while the
// program starts, and input reaches a window only once it is ready. So every look-up waits
// for what it looks for, and a window is taken only once it is mapped and has kept its id for
// a moment; a look-up whose window went away is simply repeated.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "toolkit/CControlUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/headless/CHeadlessBackend.h"

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace realwindow {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

inline bool OnPath(const std::string& program)
{
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Output of a shell command (stdout only), or empty.
inline std::string Capture(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe))
            output += buffer.data();
        ::pclose(pipe);
    }
    return output;
}

// Polls done() every 100 ms until it holds or timeout passes; whether it held.
template <class Done>
bool WaitFor(Done done, std::chrono::milliseconds timeout)
{
    for (const auto deadline = Clock::now() + timeout; Clock::now() < deadline; std::this_thread::sleep_for(100ms))
        if (done())
            return true;
    return done();
}

// A child process started with extra environment variables; killed if still running at the end.
class Child {
public:
    // env: variables to set; a variable given an empty value is removed instead. errors: the
    // file that receives the child's stderr (default: discarded, like its stdout).
    Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
        const std::filesystem::path& workingDir = {}, const std::filesystem::path& errors = {})
    {
        m_pid = ::fork();
        if (m_pid != 0)
            return;
        for (const auto& [name, value] : env) {
            if (value.empty())
                ::unsetenv(name.c_str());
            else
                ::setenv(name.c_str(), value.c_str(), 1);
        }
        if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0)
            ::_exit(126);
        const int devNull = ::open("/dev/null", O_WRONLY);
        const int errorFile = errors.empty() ? devNull : ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (devNull >= 0)
            ::dup2(devNull, STDOUT_FILENO);
        if (errorFile >= 0)
            ::dup2(errorFile, STDERR_FILENO);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ~Child()
    {
        if (m_pid > 0 && !m_reaped) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The exit status once the process has ended within timeout; -1 when it did not end in time
    // or did not exit normally.
    int WaitForExit(std::chrono::milliseconds timeout)
    {
        return WaitFor([&] { return !Running(); }, timeout) && WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
    }
    // A process that can't be waited for counts as ended, its status left at -1.
    bool Running()
    {
        m_reaped = m_reaped || m_pid <= 0 || ::waitpid(m_pid, &m_status, WNOHANG) != 0;
        return !m_reaped;
    }

private:
    pid_t m_pid = -1;
    int m_status = -1;
    bool m_reaped = false;
};

// The whitespace-separated words of text (window ids, one a line).
inline std::vector<std::string> Lines(const std::string& text)
{
    std::istringstream words(text);
    std::vector<std::string> result;
    for (std::string word; words >> word;)
        result.push_back(word);
    return result;
}

struct WindowGeometry {
    std::string id;
    int x = -1;
    int y = -1;
    int width = -1;
    int height = -1;
    bool operator==(const WindowGeometry&) const = default;
};

// An X server of our own on a free display (Xvfb reports the number it chose through a pipe).
class XSession {
public:
    XSession()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_server = std::make_unique<Child>(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]),
                                               "-screen", "0", "1280x900x24", "-nolisten", "tcp"},
            std::map<std::string, std::string>{});
        ::close(fds[1]);
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&ready, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (!number.empty())
            m_display = ":" + number;
    }

    // Both tools are needed; a test without them is skipped.
    static bool Available() { return OnPath("Xvfb") && OnPath("xdotool"); }
    bool Started() const { return !m_display.empty(); }

    // The environment a Qt program needs to run in this server as root.
    std::map<std::string, std::string> ProgramEnvironment() const
    {
        return {{"DISPLAY", m_display}, {"QT_QPA_PLATFORM", "xcb"}, {"QTWEBENGINE_DISABLE_SANDBOX", "1"},
            {"QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu"},
            // The search pane goes nowhere beyond this machine.
            {"KELPMERE_SEARCH_HOST", "http://127.0.0.1:9"}};
    }

    // Runs xdotool with these arguments against this server; its standard output.
    std::string Xdotool(const std::string& arguments) const
    {
        return Capture("DISPLAY=" + m_display + " timeout 30 xdotool " + arguments + " 2>/dev/null");
    }

    // Ids of the mapped windows whose title is exactly title (xdotool's match ignores case, so
    // the title is checked again through the window's own name).
    std::vector<std::string> MappedWindows(const std::string& title) const
    {
        std::vector<std::string> ids;
        for (const std::string& id : Lines(Xdotool("search --onlyvisible --name '^" + title + "$'"))) {
            if (Xdotool("getwindowname " + id) == title + "\n")
                ids.push_back(id);
        }
        return ids;
    }

    // Geometry of a window, or nothing when it is gone.
    std::optional<WindowGeometry> Geometry(const std::string& id) const
    {
        WindowGeometry geometry{id};
        const std::string shell = Xdotool("getwindowgeometry --shell " + id); // WINDOW=, X=, Y=, WIDTH=, HEIGHT=
        if (std::sscanf(shell.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &geometry.x, &geometry.y,
                &geometry.width, &geometry.height)
                != 4
            || geometry.x < 0 || geometry.width <= 0)
            return std::nullopt;
        return geometry;
    }

    // Waits until exactly one mapped window has the title and has kept its id and geometry for
    // `settle`; looks again whenever the window found went away. Nothing when timeout passed
    // (or program ended) first.
    std::optional<WindowGeometry> WaitForStableWindow(const std::string& title, Child& program,
        std::chrono::milliseconds timeout = 60s, std::chrono::milliseconds settle = 1s) const
    {
        const auto deadline = Clock::now() + timeout;
        std::optional<WindowGeometry> candidate;
        auto since = Clock::now();
        while (Clock::now() < deadline && program.Running()) {
            const std::vector<std::string> ids = MappedWindows(title);
            std::optional<WindowGeometry> now;
            if (ids.size() == 1)
                now = Geometry(ids.front());
            const bool same = now && candidate && *now == *candidate;
            if (!same) {
                candidate = now;
                since = Clock::now();
            } else if (Clock::now() - since >= settle) {
                return candidate;
            }
            std::this_thread::sleep_for(100ms);
        }
        return std::nullopt;
    }

    // Waits until the window with id has the keyboard focus.
    bool WaitForFocus(const std::string& id, std::chrono::milliseconds timeout = 10s) const
    {
        return WaitFor([&] { return Lines(Xdotool("getwindowfocus")) == std::vector<std::string>{id}; }, timeout);
    }

    // Waits until no mapped window has the title any more.
    bool WaitForWindowGone(const std::string& title, std::chrono::milliseconds timeout = 30s) const
    {
        return WaitFor([&] { return MappedWindows(title).empty(); }, timeout);
    }

    // Waits until the program's only mapped window is the one with id (a dialog or notice box
    // of the program has gone).
    bool WaitForOnlyWindow(const std::string& id, std::chrono::milliseconds timeout = 30s) const
    {
        return WaitFor(
            [&] { return Lines(Xdotool("search --onlyvisible --class '^kelpmere$'")) == std::vector<std::string>{id}; },
            timeout);
    }

    // A synchronous move to where the pointer already is waits for a motion that never comes,
    // so the pointer first goes to the screen's corner (no window of the program there).
    void Click(int x, int y) const
    {
        Xdotool("mousemove 0 0");
        Xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }
    // Types text into the window that has the keyboard focus.
    void Type(const std::string& text) const { Xdotool("type --delay 20 '" + text + "'"); }
    void Key(const std::string& keys) const { Xdotool("key " + keys); }

private:
    std::unique_ptr<Child> m_server;
    std::string m_display;
};

// Where controls sit in the program's main window, from its own skins laid out on the headless
// backend at 800 x 600: what a real-window test clicks, relative to the window's top-left corner.
// Centres of the named controls with the page of tabOption shown (none: the start-up page).
// A name missing from the skins is missing from the map.
inline std::map<std::string, UIPoint> ControlCentres(const char* tabOption, std::initializer_list<const char*> names)
{
    std::map<std::string, UIPoint> centres;
    CHeadlessBackend backend;
    CPaintManagerUI::SetBackend(&backend);
    SetUpToolkit(nullptr, CDuiString((std::filesystem::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string()));
    if (CMainFrameWnd* frame = CreateMainFrame()) {
        CPaintManagerUI& manager = *frame->GetPaintManager();
        if (tabOption == nullptr || CHeadlessBackend::Click(manager, tabOption)) {
            manager.UpdateLayout();
            for (const char* name : names) {
                if (CControlUI* control = manager.FindControl(name)) {
                    const UIRect r = control->GetPos();
                    centres[name] = UIPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                }
            }
        }
        frame->Close(0);
        backend.FlushClosedWindows();
    }
    CPaintManagerUI::SetBackend(nullptr);
    return centres;
}

// The built program in an X server of its own, run in `run` with Ad/images beside it as the
// launcher lays them out, once its main window has come up and settled. The named controls are
// clicked where the skins put them with the page of tabOption shown.
class RealProgram {
public:
    RealProgram(const std::filesystem::path& run, const char* tabOption, std::initializer_list<const char*> names)
            : m_at(ControlCentres(tabOption, names))
    {
        namespace fs = std::filesystem;
        const fs::path bin = fs::path(KELPMERE_TEST_BINARY_DIR) / "bin";
        fs::create_directories(run / "Ad");
        fs::copy(bin / "Ad" / "images", run / "Ad" / "images", fs::copy_options::recursive);
        if (m_at.size() < names.size()) {
            m_problem = "the skins lack a control the test clicks";
        } else if (!x.Started()) {
            m_problem = "Xvfb did not start";
        } else {
            // A start that ends before its window came (the web engine's helper processes can
            // fail to start on a loaded machine) is tried again, up to three times.
            for (int attempt = 0; attempt < 3 && !window; ++attempt) {
                app = std::make_unique<Child>(
                    std::vector<std::string>{(bin / "kelpmere").string()}, x.ProgramEnvironment(), run);
                window = x.WaitForStableWindow("Kelpmere", *app);
                if (!window && app->Running())
                    break;
            }
            if (!window)
                m_problem
                    = app->Running() ? "the main window did not appear" : "the program ended before its window came";
        }
    }
    // Empty once the main window is up, else what went wrong.
    const std::string& Problem() const { return m_problem; }

    void Click(const char* name) const { x.Click(window->x + m_at.at(name).x, window->y + m_at.at(name).y); }
    // Clicks until done() holds, waiting up to `wait` after each click: the first click may come
    // before the window takes it, and a repeated one is ignored while a dialog is up or a run goes.
    template <class Done>
    bool ClickUntil(const char* name, const Done& done, std::chrono::milliseconds wait) const
    {
        for (int attempt = 0; attempt < 6 && !done(); ++attempt) {
            Click(name);
            WaitFor(done, wait);
        }
        return done();
    }
    // Clicks the close button until the program ends; its exit status (-1: it did not end).
    int Close()
    {
        int status = -1;
        for (int attempt = 0; attempt < 6 && status == -1; ++attempt) {
            Click("closebtn");
            status = app->WaitForExit(5s);
        }
        return status;
    }

    XSession x;
    std::unique_ptr<Child> app;
    std::optional<WindowGeometry> window;

private:
    std::map<std::string, UIPoint> m_at;
    std::string m_problem;
};

} // namespace realwindow
