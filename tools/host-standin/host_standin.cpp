// host-standin: plays the timetabler's part in the hosted mode on X11.
//
//   host-standin [--close-when-embedded] PROGRAM DIRECTION [HANDLE]
//
// Creates an 800 x 600 window, starts PROGRAM with DIRECTION and the window's id in
// hexadecimal (or HANDLE as given, to try a bad one), watches the window's children while the
// program runs, and once it has ended prints what it saw, one "name=value" a line:
//   embedded=1|0     a window of the program became a child of the host window
//   child=WxH+X+Y    its size and place inside the host (when embedded)
//   decorations=N    the decorations its Motif hints ask for (-1: no hints)
//   exit=N           the program's exit code
//   ini=VALUE|none   [Transformadores] Transformado of Tavolex.ini beside PROGRAM
// With --close-when-embedded the host asks the embedded window to close (WM_DELETE_WINDOW) as
// soon as it is visible, as a person closing it would.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Seen {
    bool embedded = false;
    Window child = 0;
    XWindowAttributes attributes{};
    long decorations = -1;
};

long motifDecorations(Display* display, Window window) {
    const Atom hints = XInternAtom(display, "_MOTIF_WM_HINTS", True);
    if (hints == None) return -1;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long result = -1;
    if (XGetWindowProperty(display, window, hints, 0, 5, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && format == 32 && count >= 3) {
        const long* values = reinterpret_cast<const long*>(data);
        // flags bit 1: the decorations field is meaningful.
        result = (values[0] & 2) ? values[2] : 1;
    }
    if (data != nullptr) XFree(data);
    return result;
}

// The first child window of `host` that is mapped, or 0.
Window visibleChild(Display* display, Window host, Window* anyChild) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, host, &root, &parent, &children, &count) != 0) {
        for (unsigned int i = 0; i < count; ++i) {
            if (*anyChild == 0) *anyChild = children[i];
            XWindowAttributes a;
            if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable) {
                found = children[i];
                break;
            }
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

void askToClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// The program's windows come and go while we look at them: a window that has just gone is
// not an error here.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string readStatus(const std::filesystem::path& ini) {
    std::ifstream in(ini);
    if (!in) return "none";
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        line = trim(line);
        if (!line.empty() && line.front() == '[') {
            inSection = lower(line) == "[transformadores]";
        } else if (inSection) {
            const auto eq = line.find('=');
            if (eq != std::string::npos && lower(trim(line.substr(0, eq))) == "transformado") {
                return trim(line.substr(eq + 1));
            }
        }
    }
    return "none";
}

}  // namespace

int main(int argc, char** argv) {
    int arg = 1;
    bool closeWhenEmbedded = false;
    if (arg < argc && std::strcmp(argv[arg], "--close-when-embedded") == 0) {
        closeWhenEmbedded = true;
        ++arg;
    }
    if (argc - arg < 2 || argc - arg > 3) {
        std::fprintf(stderr,
                     "usage: host-standin [--close-when-embedded] PROGRAM DIRECTION [HANDLE]\n");
        return 2;
    }
    const std::string program = argv[arg];
    const std::string direction = argv[arg + 1];

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "host-standin: no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const int screen = DefaultScreen(display);
    const Window host =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 800, 600, 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, host, "Tavolex (host-standin)");
    // SubstructureNotify queues every window created in or moved into the host, so even a
    // program that ends within milliseconds is seen embedded.
    XSelectInput(display, host, StructureNotifyMask | SubstructureNotifyMask);
    XMapWindow(display, host);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == MapNotify) break;
    }

    char hex[32];
    std::snprintf(hex, sizeof hex, "%lX", static_cast<unsigned long>(host));
    const std::string handle = argc - arg == 3 ? argv[arg + 2] : hex;

    const pid_t pid = fork();
    if (pid < 0) return 2;
    if (pid == 0) {
        execl(program.c_str(), program.c_str(), direction.c_str(), handle.c_str(),
              static_cast<char*>(nullptr));
        std::perror("host-standin: exec");
        _exit(127);
    }

    Seen seen;
    bool closeSent = false;
    int status = 0;
    // A program that never ends (waiting for a person) is ended after two minutes, so that a
    // test fails instead of hanging.
    for (int round = 0;; ++round) {
        if (round == 6000) {
            std::printf("timeout=1\n");
            kill(pid, SIGKILL);
        }
        const pid_t done = waitpid(pid, &status, WNOHANG);
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const bool created = event.type == CreateNotify && event.xcreatewindow.parent == host;
            const bool moved = event.type == ReparentNotify && event.xreparent.parent == host;
            if ((created || moved) && !seen.embedded) {
                seen.embedded = true;
                seen.child = created ? event.xcreatewindow.window : event.xreparent.window;
            }
        }
        Window anyChild = 0;
        const Window child = visibleChild(display, host, &anyChild);
        if (anyChild != 0 && !seen.embedded) {
            seen.embedded = true;
            seen.child = anyChild;
        }
        if (child != 0) {
            seen.child = child;
            XGetWindowAttributes(display, child, &seen.attributes);
            seen.decorations = motifDecorations(display, child);
            if (closeWhenEmbedded && !closeSent) {
                askToClose(display, child);
                closeSent = true;
            }
        }
        if (done == pid) break;
        usleep(20000);
    }

    std::printf("embedded=%d\n", seen.embedded ? 1 : 0);
    if (seen.attributes.width > 0) {
        std::printf("child=%dx%d+%d+%d\n", seen.attributes.width, seen.attributes.height,
                    seen.attributes.x, seen.attributes.y);
    }
    std::printf("decorations=%ld\n", seen.decorations);
    std::printf("exit=%d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    const std::filesystem::path ini = std::filesystem::path(program).parent_path() / "Tavolex.ini";
    std::printf("ini=%s\n", readStatus(ini).c_str());
    XDestroyWindow(display, host);
    XCloseDisplay(display);
    return 0;
}
