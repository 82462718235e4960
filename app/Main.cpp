#include "app/VelkorEditorApplication.h"

#include <cstdio>

#if JUCE_WINDOWS
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace
{
const char* const helpText =
    "Usage: velkor-editor [--simulator] [FILE.vkr...]\n"
    "       velkor-editor --help | --version\n"
    "\n"
    "Edits the programs of the Velkor USB MIDI keyboard controller, one program a window.\n"
    "Each FILE opens in a window of its own; without one, a window with the default program opens.\n"
    "Files that cannot be opened are reported together in one message.\n"
    "\n"
    "Options:\n"
    "  --simulator  offer a simulated controller, \"Velkor Simulator\", in both device lists\n"
    "  --help       print this text and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Any other argument that starts with \"-\" is ignored; when the first argument is one, the files\n"
    "after it are not opened either.\n"
    "The editor needs a graphical display; velkor-tool works without one.\n";

// A closed or full standard output is a failure, not a silent exit 0.
int print(const juce::String& text)
{
    if (std::fputs(text.toRawUTF8(), stdout) < 0 || std::fflush(stdout) != 0)
    {
        std::fputs("velkor-editor: cannot write to standard output\n", stderr);
        return 1;
    }
    return 0;
}

// Without this check the framework finds no display, opens no window and waits for ever.
bool displayUsable()
{
#if JUCE_LINUX || JUCE_BSD
    // The display the framework itself will try: DISPLAY, else ":0.0".
    const char* variable = std::getenv("DISPLAY");
    const juce::String name = variable != nullptr && *variable != 0 ? juce::String(variable) : ":0.0";
    juce::DynamicLibrary xlib;
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    auto* open = xlib.open("libX11.so.6") ? (OpenDisplay)xlib.getFunction("XOpenDisplay") : nullptr;
    auto* close = (CloseDisplay)xlib.getFunction("XCloseDisplay");
    void* display = open != nullptr && close != nullptr ? open(name.toRawUTF8()) : nullptr;
    if (display != nullptr)
    {
        close(display);
        return true;
    }
    const juce::String why = open == nullptr ? "the X11 library (libX11.so.6) cannot be loaded"
                             : variable == nullptr || *variable == 0
                                 ? "DISPLAY is not set, and the display \":0.0\" cannot be opened"
                                 : "the display \"" + name + "\" named by DISPLAY cannot be opened";
    std::fputs(("velkor-editor: no display: " + why +
                ".\nThe editor needs a graphical desktop; velkor-tool works without one.\n")
                   .toRawUTF8(),
               stderr);
    return false;
#else
    return true;
#endif
}

// What happens before the framework starts: -1 to start it, else the exit code.
int beforeStart(const juce::StringArray& arguments)
{
    for (const auto& argument : arguments)
    {
        if (argument == "--help")
            return print(helpText);
        if (argument == "--version")
            return print(juce::String(VelkorEditorApplication::applicationName) + " " +
                         VelkorEditorApplication::applicationVersion + "\n");
    }
    return displayUsable() ? -1 : 1;
}
} // namespace

JUCE_CREATE_APPLICATION_DEFINE(VelkorEditorApplication)

#if JUCE_WINDOWS && !defined(_CONSOLE)
extern "C" int __stdcall WinMain(HINSTANCE, HINSTANCE, char*, int)
{
    // A window program has no console of its own: print into the one it was started from, unless
    // the output is already redirected.
    if (AttachConsole(ATTACH_PARENT_PROCESS) != 0)
    {
        FILE* ignored = nullptr;
        if (_fileno(stdout) < 0)
            freopen_s(&ignored, "CONOUT$", "w", stdout);
        if (_fileno(stderr) < 0)
            freopen_s(&ignored, "CONOUT$", "w", stderr);
    }
    const int early = beforeStart(juce::JUCEApplicationBase::getCommandLineParameterArray());
    if (early >= 0)
        return early;
    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main();
}
#else
int main(int argc, char* argv[])
{
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add(juce::CharPointer_UTF8(argv[i]));
    const int early = beforeStart(arguments);
    if (early >= 0)
        return early;
    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main(argc, const_cast<const char**>(argv));
}
#endif
