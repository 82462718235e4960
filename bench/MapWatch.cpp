// Starts a program and reports how long it took until its first top-level window with the given title
// prefix was mapped, as the X server reported it, then stays until the program ends so that it is
// reaped here rather than left to whatever init the machine has.
// Usage: velkor_mapwatch TITLE_PREFIX TIMEOUT_SECONDS PROGRAM [ARGUMENTS...]
// Prints "MILLISECONDS PID" once the window is up and exits 0 when the program ends; exits 1 (and
// ends the program) when no such window came up in time.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

// Other clients' windows can vanish between an event and a query about them.
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

std::string textProperty(Display* display, Window window, const char* name)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr && format == 8)
        text.assign(reinterpret_cast<char*>(data), count);
    if (data != nullptr)
        XFree(data);
    return text;
}

std::string titleOf(Display* display, Window window)
{
    const std::string title = textProperty(display, window, "_NET_WM_NAME");
    return title.empty() ? textProperty(display, window, "WM_NAME") : title;
}

bool isViewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: %s TITLE_PREFIX TIMEOUT_SECONDS PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    const std::string prefix = argv[1];
    const auto timeout = std::chrono::milliseconds(static_cast<long>(std::atof(argv[2]) * 1000));

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    // Top-level windows are created as children of the root; the window manager reparents them
    // before mapping, so each new one is watched for its own map.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0)
    {
        execvp(argv[3], argv + 3);
        std::perror("exec");
        _exit(127);
    }

    const auto titled = [&](Window window)
    { return titleOf(display, window).compare(0, prefix.size(), prefix) == 0; };
    const int fd = ConnectionNumber(display);
    while (Clock::now() - start < timeout)
    {
        while (XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            // A window counts once it is mapped and has its title, in whichever order those come.
            Window candidate = None;
            if (event.type == CreateNotify && event.xcreatewindow.parent == root)
            {
                const Window window = event.xcreatewindow.window;
                XSelectInput(display, window, StructureNotifyMask | PropertyChangeMask);
                XSync(display, False);
                candidate = window; // it may have been mapped before we were listening
            }
            else if (event.type == MapNotify)
                candidate = event.xmap.window;
            else if (event.type == PropertyNotify)
                candidate = event.xproperty.window;
            if (candidate != None && isViewable(display, candidate) && titled(candidate))
            {
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                std::printf("%.1f %d\n", ms, static_cast<int>(child));
                std::fflush(stdout);
                XCloseDisplay(display);
                waitpid(child, nullptr, 0);
                return 0;
            }
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
        {
            std::fprintf(stderr, "the program ended before showing a window\n");
            return 1;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 20000};
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
    std::fprintf(stderr, "no window titled \"%s...\" within the time allowed\n", prefix.c_str());
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return 1;
}
