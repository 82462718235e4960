#include "cli/VelkorTool.h"

#include <alsa/asoundlib.h>

#include <iostream>

namespace
{
// A machine without the ALSA sequencer has no MIDI ports; the tool says so itself, without the
// library's own lines about the device it could not open.
void quietAlsaError(const char*, int, const char*, int, const char*, ...)
{
}
} // namespace

int main(int argc, char* argv[])
{
    snd_lib_error_set_handler(quietAlsaError);
    // No windows, but the framework's message manager and its shutdown order, as the ports expect.
    const juce::ScopedJuceInitialiser_GUI framework;
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add(juce::String::fromUTF8(argv[i]));
    VelkorTool tool;
    return tool.run(arguments, std::cout, std::cerr);
}
