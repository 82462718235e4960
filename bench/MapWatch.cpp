// Starts a program and reports how long it took until its first top-level window with the given title
// prefix was mapped, as the X server saw it, then leaves the program running.
// Usage: velkor_mapwatch TITLE_PREFIX TIMEOUT_SECONDS PROGRAM [ARGUMENTS...]
// Prints "MILLISECONDS PID" and exits 0; exits 1 (and ends the program) when no such window came up.
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

std::string titleOf(Display* display, Window window)
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr)
        title.assign(reinterpret_cast<char*>(data), count);
    if (data != nullptr)
        XFree(data);
    if (title.empty())
    {
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name != nullptr)
        {
            title = name;
            XFree(name);
        }
    }
    return title;
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

    const auto mappedWithTitle = [&](Window window)
    { return titleOf(display, window).compare(0, prefix.size(), prefix) == 0; };
    const int fd = ConnectionNumber(display);
    while (Clock::now() - start < timeout)
    {
        while (XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            Window mapped = None;
            if (event.type == CreateNotify && event.xcreatewindow.parent == root)
            {
                const Window window = event.xcreatewindow.window;
                XSelectInput(display, window, StructureNotifyMask);
                XSync(display, False);
                if (isViewable(display, window)) // mapped before we were listening
                    mapped = window;
            }
            else if (event.type == MapNotify)
                mapped = event.xmap.window;
            if (mapped != None && mappedWithTitle(mapped))
            {
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                std::printf("%.1f %d\n", ms, static_cast<int>(child));
                XCloseDisplay(display);
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
