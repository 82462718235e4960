#include "cli/VelkorTool.h"

#include <iostream>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <alsa/asoundlib.h>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{
#if defined(_WIN32)
// The ANSI argv loses every character outside the code page, so a path like "Ünterwegs.vkr" would
// name another file; the wide command line, split by the system's own quoting rules, does not.
juce::StringArray commandLineArguments(int, char*[])
{
    juce::StringArray arguments;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count))
    {
        for (int i = 1; i < count; ++i)
            arguments.add(juce::String(wide[i]));
        LocalFree(wide);
    }
    return arguments;
}

// Text mode would turn every "\n" into "\r\n": exported JSON and shown programs are the same bytes
// as on Linux, so files made on one system compare equal on the other.
void useBinaryStandardStreams()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
#else
// A machine without the ALSA sequencer has no MIDI ports; the tool says so itself, without the
// library's own lines about the device it could not open.
void quietAlsaError(const char*, int, const char*, int, const char*, ...)
{
}

juce::StringArray commandLineArguments(int argc, char* argv[])
{
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add(juce::String::fromUTF8(argv[i]));
    return arguments;
}

// The framework opens descriptors of its own as it starts: one that lands on a closed 0 would be read
// as the JSON of "import -" (and waited on for ever), one on 1 would swallow what we print. So each
// closed one is held by /dev/null, opened for reading only: printing into it fails as a write to a
// closed stream should. Returns whether standard input was closed.
bool holdClosedStandardDescriptors()
{
    bool inputClosed = false;
    for (int fd = 0; fd <= 2; ++fd)
    {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        inputClosed = inputClosed || fd == 0;
        const int held = open("/dev/null", O_RDONLY);
        if (held >= 0 && held != fd)
        {
            dup2(held, fd);
            close(held);
        }
    }
    return inputClosed;
}
#endif
} // namespace

int main(int argc, char* argv[])
{
#if defined(_WIN32)
    useBinaryStandardStreams();
#else
    if (holdClosedStandardDescriptors())
        std::cin.setstate(std::ios::badbit);
    snd_lib_error_set_handler(quietAlsaError);
#endif
    // No windows, but the framework's message manager and its shutdown order, as the ports expect.
    const juce::ScopedJuceInitialiser_GUI framework;
    VelkorTool tool;
    return tool.run(commandLineArguments(argc, argv), std::cout, std::cerr);
}
