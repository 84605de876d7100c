// The desktop program as a user runs it: start skyfetch on an X display, type a
// longitude, press Enter ("Generate file"), answer the report with "Finish" and see the
// program end with the file written and the settings stored. Keys are sent to the
// program's windows as X events.
#include "settings/Profile.h"

#include "TextFiles.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* kTitle = "Skyfetch - Environmental Driver Data for PHYTOMOD Education";

using skyfetch::test::read_text;

// The program under test, started with its own home, settings and output folders.
class Program {
public:
    Program(const fs::path& home, const fs::path& config, const fs::path& argument,
            const fs::path& fakeBin) {
        const std::string path =
            fakeBin.string() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "");
        m_pid = ::fork();
        if (m_pid == 0) {
            // Whatever ends the test also ends the program: a left-over child would keep
            // the test runner's output pipe open.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::setenv("PATH", path.c_str(), 1);
            ::setenv("HOME", home.c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            ::unsetenv("XDG_DOCUMENTS_DIR");
            ::execl(SKYFETCH_PROGRAM, SKYFETCH_PROGRAM, argument.c_str(), nullptr);
            ::_exit(127);
        }
    }
    ~Program() {
        if (m_pid > 0 && !m_status) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    // The exit status once the program has ended within the time given.
    std::optional<int> Wait(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!m_status && std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(50ms);
        }
        return m_status;
    }

private:
public:
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

class Keyboard {
public:
    explicit Keyboard(Display* display) : m_display(display) {}

    // Other programs on the same display may take the input focus at any time; the
    // window is given it back before every key, so that the program takes the key as
    // meant for that window.
    void Key(Window window, KeySym sym, unsigned modifiers = 0) {
        XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
        XSync(m_display, False);
        std::this_thread::sleep_for(50ms);
        XKeyEvent event{};
        event.display = m_display;
        event.window = window;
        event.root = DefaultRootWindow(m_display);
        event.subwindow = None;
        event.time = CurrentTime;
        event.x = event.y = event.x_root = event.y_root = 1;
        event.same_screen = True;
        event.state = modifiers;
        event.keycode = XKeysymToKeycode(m_display, sym);
        for (int type : {KeyPress, KeyRelease}) {
            event.type = type;
            XSendEvent(m_display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                       reinterpret_cast<XEvent*>(&event));
            XFlush(m_display);
            std::this_thread::sleep_for(30ms);
        }
    }
    void Text(Window window, const std::string& text) {
        for (char c : text)
            Key(window, c == '.' ? XK_period : XK_0 + (c - '0'));
    }

private:
    Display* m_display;
};

// Windows of other tests on the same display come and go while we look at them; the
// errors that causes are expected and must not end the test (Xlib's default handler
// exits the process).
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// The process that made a window, as its toolkit records it (0 when unknown).
long WindowPid(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        if (format == 32 && count == 1)
            pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

// The visible top-level windows of one process, with their names (empty for none). Other
// tests may have windows with the same title on the same display at the same time.
std::vector<std::pair<Window, std::string>> TopLevelWindows(Display* display, pid_t pid) {
    std::vector<std::pair<Window, std::string>> found;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return found;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes) ||
            attributes.map_state != IsViewable || WindowPid(display, children[i]) != pid)
            continue;
        char* name = nullptr;
        std::string text;
        if (XFetchName(display, children[i], &name) && name) {
            text = name;
            XFree(name);
        }
        found.emplace_back(children[i], text);
    }
    if (children)
        XFree(children);
    return found;
}

template <typename Pick>
std::optional<Window> WaitForWindow(Display* display, pid_t pid, Pick pick,
                                    std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        for (const auto& [window, name] : TopLevelWindows(display, pid))
            if (pick(window, name))
                return window;
        std::this_thread::sleep_for(100ms);
    }
    return std::nullopt;
}

} // namespace

TEST(EndToEnd, TypedLocationGenerateFinish) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display (the tests run under xvfb-run)";
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XSetErrorHandler(IgnoreXError);

    char pattern[] = "/tmp/skyfetch-e2e-XXXXXX";
    const fs::path root = fs::canonical(::mkdtemp(pattern));
    const fs::path home = root / "home";
    const fs::path config = root / "config";
    const fs::path out = root / "out";
    fs::create_directories(home / "Documents");
    fs::create_directories(out);
    // Stand-ins for the desktop's programs: a request to open the file or the folder
    // leaves a note instead of starting anything.
    const fs::path fakeBin = root / "bin";
    fs::create_directories(fakeBin);
    for (const char* name : {"xdg-open", "libreoffice", "localc", "gnumeric"}) {
        std::ofstream(fakeBin / name)
            << "#!/bin/sh\necho \"$0 $*\" >> '" << (root / "requests").string() << "'\n";
        fs::permissions(fakeBin / name, fs::perms::owner_all);
    }
    {
        Program program(home, config, out, fakeBin);
        const auto main = WaitForWindow(
            display, program.Pid(), [](Window, const std::string& name) { return name == kTitle; },
            60s);
        ASSERT_TRUE(main) << "the window did not appear";
        std::this_thread::sleep_for(1s); // the first frames of the globe

        Keyboard keys(display);
        keys.Key(*main, XK_Tab); // from the globe to the longitude, all of it selected
        keys.Text(*main, "172.75");
        keys.Key(*main, XK_Return); // "Generate file"

        // The report: a second window without a caption. Shift+Tab reaches its last
        // button, "Finish", whether or not a button has the focus yet.
        const auto report = WaitForWindow(
            display, program.Pid(),
            [&](Window window, const std::string& name) {
                return window != *main && name != kTitle;
            },
            60s);
        ASSERT_TRUE(report) << "no report appeared";
        std::this_thread::sleep_for(1500ms); // its buttons come with its first paint
        keys.Key(*report, XK_Tab, ShiftMask);
        keys.Key(*report, XK_space);

        const auto status = program.Wait(30s);
        ASSERT_TRUE(status) << "the program did not end; file written: "
                            << fs::exists(out / "climate.txt")
                            << ", windows left: " << TopLevelWindows(display, program.Pid()).size();
        EXPECT_EQ(*status, 0);
    }
    XCloseDisplay(display);

    const std::string file = read_text(out / "climate.txt");
    EXPECT_EQ(file.rfind("[Environmental driver file for PHYTOMOD Education - Created by "
                         "Skyfetch Version 2008-11-03 on ",
                         0),
              0u);
    EXPECT_NE(file.find("\n172.75\t-42.75\t"), std::string::npos);
    const skyfetch::Profile shared((config / "phytomod/phytomod.ini").string(), "PHYTOMOD");
    EXPECT_EQ(shared.read_string("SKYFETCH_LAST_FILE", ""), "climate.txt");
    EXPECT_EQ(shared.read_string("SKYFETCH_LAST_DIR", ""), out.string()); // "Finish": no '/'
    EXPECT_EQ(shared.read_string("SKYFETCH_HAVE_OUTPUT", ""), "1");
    const skyfetch::Profile app((config / "skyfetch/skyfetch.ini").string(), "SKYFETCH");
    EXPECT_EQ(app.read_int("LONGITUDE", 0), 37275);
    EXPECT_EQ(app.read_int("LATITUDE", 0), 15725);
    EXPECT_EQ(app.read_int("SPINUPYEARS", 0), 1000);
    EXPECT_FALSE(fs::exists(root / "requests"))
        << read_text(root / "requests"); // not View or Explore
    fs::remove_all(root);
}
