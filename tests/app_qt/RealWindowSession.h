#pragma once

// The real program in a real X server (Xvfb), driven with xdotool. Windows of a real X server
// appear, get mapped and may be replaced while the program starts, so every look-up waits for
// what it looks for and is repeated when the window it found went away.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "toolkit/CControlUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/headless/CHeadlessBackend.h"

#include "ScreenPixel.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
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

// Polls done() every 100 ms until it holds or timeout passes; whether it held.
template <class Done>
bool WaitFor(Done done, std::chrono::milliseconds timeout)
{
    for (const auto deadline = Clock::now() + timeout; Clock::now() < deadline; std::this_thread::sleep_for(100ms))
        if (done())
            return true;
    return done();
}

// A child process with extra environment variables (an empty value removes one) and its stderr
// in errors (default: discarded); killed if still running at the end.
class Child {
public:
    explicit Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {},
        const std::filesystem::path& workingDir = {}, const std::filesystem::path& errors = {})
    {
        m_pid = ::fork();
        if (m_pid != 0)
            return;
        for (const auto& [name, value] : env)
            value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
        if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0)
            ::_exit(126);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(errors.empty() ? devNull : ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ~Child()
    {
        if (Running()) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The exit status; -1 while the process runs or when it did not exit normally.
    int ExitStatus() { return !Running() && WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1; }
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

// Starts a server that writes one line (its display, its address) to the descriptor its command
// line argvFor(descriptor) names; that line, empty when none came within 10 s.
template <class Argv>
std::string StartServer(std::unique_ptr<Child>& server, const Argv& argvFor)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    server = std::make_unique<Child>(argvFor(std::to_string(fds[1])));
    ::close(fds[1]);
    pollfd ready{fds[0], POLLIN, 0};
    std::string line;
    for (char c = 0; ::poll(&ready, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n';)
        line += c;
    ::close(fds[0]);
    return line;
}

struct WindowGeometry {
    std::string id;
    int x = -1, y = -1, width = -1, height = -1;
    bool operator==(const WindowGeometry&) const = default;
};

// The built program in an X server of its own on a free display, run in `run` with Ad/images
// beside it, once its main window has come up and settled and tabOption has been clicked. The
// named controls are clicked where the program's skins put them with the page of tabOption shown.
class RealProgram {
public:
    static bool Available() { return std::system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null") == 0; }

    RealProgram(const std::filesystem::path& run, const char* tabOption, std::initializer_list<const char*> names)
            : m_at(ControlCentres(tabOption, names))
    {
        namespace fs = std::filesystem;
        const fs::path bin = fs::path(KELPMERE_TEST_BINARY_DIR) / "bin";
        fs::create_directories(run / "Ad");
        fs::copy(bin / "Ad" / "images", run / "Ad" / "images", fs::copy_options::recursive);
        if (m_at.size() < names.size() + 2) {
            m_problem = "the skins lack a control the test clicks";
            return;
        }
        m_display = StartServer(m_server, [](const std::string& fd) {
            return std::vector<std::string>{
                "Xvfb", "-displayfd", fd, "-screen", "0", "1280x900x24", "-nolisten", "tcp"};
        });
        if (m_display.empty()) {
            m_problem = "Xvfb did not start";
            return;
        }
        m_display.insert(0, ":");
        // A start that ends before its window came (the web engine's helper processes can fail to
        // start on a loaded machine) is tried again, up to three times. As root the web engine needs
        // its sandbox off; the search pane goes nowhere.
        for (int attempt = 0; attempt < 3 && !window; ++attempt) {
            m_app = std::make_unique<Child>(std::vector<std::string>{(bin / "kelpmere").string()},
                std::map<std::string, std::string>{{"DISPLAY", m_display}, {"QT_QPA_PLATFORM", "xcb"},
                    {"QTWEBENGINE_DISABLE_SANDBOX", "1"}, {"QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu"},
                    {"KELPMERE_SEARCH_HOST", "http://127.0.0.1:9"},
                    // Qt's dialogs speak the locale's language; the tests find them by English titles.
                    {"LC_ALL", "C.UTF-8"}, {"LANGUAGE", ""}},
                run);
            window = WaitForStableWindow("Kelpmere");
            if (!window && m_app->Running())
                break;
        }
        if (window)
            Click(tabOption);
        else
            m_problem
                = m_app->Running() ? "the main window did not appear" : "the program ended before its window came";
    }
    // Empty once the main window is up, else what went wrong.
    const std::string& Problem() const { return m_problem; }

    // Ids of the mapped windows titled exactly title (xdotool's match ignores case).
    std::vector<std::string> MappedWindows(const std::string& title) const
    {
        std::vector<std::string> ids;
        for (const std::string& id : Xdotool("search --onlyvisible --name '^" + title + "$'"))
            if (Xdotool("getwindowname " + id) == std::vector{title})
                ids.push_back(id);
        return ids;
    }
    // Waits until the main window is the program's only mapped one (its dialog or notice box has gone).
    bool WaitForOnlyMainWindow() const
    {
        const std::vector<std::string> only{window->id};
        return WaitFor([&] { return Xdotool("search --onlyvisible --class '^kelpmere$'") == only; }, 20s);
    }
    void Key(const std::string& keys) const { Xdotool("key " + keys); }

    void Click(const char* name) const
    {
        MoveTo(name);
        Xdotool("click 1");
    }
    // Moves the pointer onto a named control (which may then show its hot look). A synchronous
    // move to where the pointer already is waits for a motion that never comes, so the pointer
    // first goes to the screen's corner (no window of the program there).
    void MoveTo(const char* name) const
    {
        Xdotool("mousemove 0 0");
        Xdotool("mousemove --sync " + std::to_string(window->x + m_at.at(name).x) + " "
            + std::to_string(window->y + m_at.at(name).y));
    }
    // No delay after the click (xdotool waits 100 ms by default): the click is timed.
    void ClickHere() const { Xdotool("click --delay 0 1"); }
    // The colour (0xRRGGBB) of the screen at a point of the main window, read from the X server;
    // nothing when it can't be read.
    std::optional<unsigned long> PixelAt(int x, int y) const
    {
        return ScreenPixel(m_display, window->x + x, window->y + y);
    }
    // The centre of a named control in the main window.
    UIPoint CentreOf(const char* name) const { return m_at.at(name); }
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
    // Opens the file or folder dialog titled title with button, types path into its name field
    // once the dialog has the keyboard focus and accepts it; whether the dialog has gone.
    bool AnswerDialog(const char* button, const std::string& title, const std::filesystem::path& path) const
    {
        const auto gone = [&](std::chrono::milliseconds timeout) {
            return WaitFor([&] { return MappedWindows(title).empty(); }, timeout);
        };
        std::vector<std::string> dialogs;
        ClickUntil(
            button, [&] { return !(dialogs = MappedWindows(title)).empty(); }, 5s);
        if (dialogs.empty() || !WaitFor([&] { return Xdotool("getwindowfocus") == std::vector{dialogs.front()}; }, 10s))
            return false;
        Key("ctrl+a");
        Xdotool("type --delay 20 '" + path.string() + "'");
        Key("Return");
        // A completion list open under the field takes the first Return.
        if (!gone(5s))
            Key("Return");
        return gone(20s);
    }
    // Clicks the close button until the program ends; its exit status (-1: it did not end).
    int Close()
    {
        for (int attempt = 0; attempt < 6 && m_app->Running(); ++attempt) {
            Click("closebtn");
            WaitFor([&] { return !m_app->Running(); }, 5s);
        }
        return m_app->ExitStatus();
    }

    std::optional<WindowGeometry> window;

private:
    // Centres of tabOption, the close button and the named controls in the main window at 800 x 600
    // with the page of tabOption shown, from the program's own skins laid out on the headless
    // backend; a name the skins lack is left out.
    static std::map<std::string, UIPoint> ControlCentres(
        const char* tabOption, std::initializer_list<const char*> names)
    {
        std::map<std::string, UIPoint> centres;
        CHeadlessBackend backend;
        CPaintManagerUI::SetBackend(&backend);
        SetUpToolkit(nullptr, CDuiString((std::filesystem::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string()));
        if (CMainFrameWnd* frame = CreateMainFrame()) {
            CPaintManagerUI& manager = *frame->GetPaintManager();
            if (CHeadlessBackend::Click(manager, tabOption)) {
                manager.UpdateLayout();
                std::vector<const char*> all{tabOption, "closebtn"};
                all.insert(all.end(), names);
                for (const char* name : all)
                    if (CControlUI* control = manager.FindControl(name)) {
                        const UIRect r = control->GetPos();
                        centres[name] = UIPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                    }
            }
            frame->Close(0);
            backend.FlushClosedWindows();
        }
        CPaintManagerUI::SetBackend(nullptr);
        return centres;
    }

    // The words xdotool writes (window ids, one a line).
    std::vector<std::string> Xdotool(const std::string& arguments) const
    {
        std::vector<std::string> words;
        if (FILE* pipe
            = ::popen(("DISPLAY=" + m_display + " timeout 30 xdotool " + arguments + " 2>/dev/null").c_str(), "r")) {
            for (char word[256]; std::fscanf(pipe, "%255s", word) == 1;)
                words.emplace_back(word);
            ::pclose(pipe);
        }
        return words;
    }

    // Waits until exactly one mapped window has the title and has kept its id and geometry for a
    // second; nothing when a minute passed or the program ended first.
    std::optional<WindowGeometry> WaitForStableWindow(const std::string& title) const
    {
        std::optional<WindowGeometry> candidate;
        auto since = Clock::now();
        for (const auto deadline = since + 60s; Clock::now() < deadline && m_app->Running();
             std::this_thread::sleep_for(100ms)) {
            const std::vector<std::string> ids = MappedWindows(title);
            std::optional<WindowGeometry> now;
            if (ids.size() == 1) {
                WindowGeometry geometry{ids.front()};
                const std::vector<std::string> shell = Xdotool("getwindowgeometry --shell " + ids.front());
                if (shell.size() >= 5 // WINDOW=, X=, Y=, WIDTH=, HEIGHT=
                    && std::sscanf((shell[1] + shell[2] + shell[3] + shell[4]).c_str(), "X=%dY=%dWIDTH=%dHEIGHT=%d",
                           &geometry.x, &geometry.y, &geometry.width, &geometry.height)
                        == 4
                    && geometry.x >= 0 && geometry.width > 0)
                    now = geometry;
            }
            if (!now || !candidate || *now != *candidate) {
                candidate = now;
                since = Clock::now();
            } else if (Clock::now() - since >= 1s) {
                return candidate;
            }
        }
        return std::nullopt;
    }

    std::map<std::string, UIPoint> m_at;
    std::string m_problem;
    std::string m_display;
    std::unique_ptr<Child> m_server; // declared before m_app: the program ends before its X server
    std::unique_ptr<Child> m_app;
};

} // namespace realwindow
