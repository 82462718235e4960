#pragma once

#include "midi/MidiDeviceSeam.h"
#include "midi/VelkorSimulator.h"

#include <functional>
#include <iosfwd>
#include <iostream>
#include <vector>

class DeviceSession;

// velkor-tool: programs and the controller from the command line. Every command prints what it did,
// or one line saying why not, and ends with one of the exit codes below.
class VelkorTool
{
public:
    enum ExitCode
    {
        success = 0,
        badInput = 1,
        usageError = 2,
        noAnswer = 3,
        // diff --exit-code, as git diff --exit-code has it.
        programsDiffer = 1
    };

    static constexpr int defaultTimeoutMs = 2000;
    static constexpr int longestTimeoutMs = 600000;

    // The ports a run talks to: the system's, with the simulated controller after them when asked for.
    using DeviceFactory =
        std::function<std::unique_ptr<MidiDeviceSeam>(bool withSimulator, VelkorSimulator::Fault fault)>;
    static std::unique_ptr<MidiDeviceSeam> systemDevices(bool withSimulator, VelkorSimulator::Fault fault);

    explicit VelkorTool(DeviceFactory factory = systemDevices);

    // The arguments after the program name. Relative paths are taken from the working directory.
    // Output that could not be written fails the run, whatever the command did.
    int run(const juce::StringArray& arguments, std::ostream& out, std::ostream& err);

    // What a slot argument ("1" to "4", "ram") names: 0 for RAM, 1 to 4, or -1.
    static int parseSlot(const juce::String& text);

    // Where "import -" reads from.
    std::istream* input;

private:
    struct Options;
    struct Command;
    struct Switch;
    static const std::vector<Command>& commands();
    static const std::vector<Switch>& switches();

    int runCommand(const juce::StringArray& arguments, std::ostream& out, std::ostream& err);

    static const Command* findCommand(const juce::String& name);
    static void printHelp(std::ostream& out);
    static int printCommandHelp(const Command& command, std::ostream& out);

    // Each returns what is wrong with the arguments, or an empty text.
    static juce::String parseOptions(const Command& command, const juce::StringArray& arguments,
                                     Options& options);
    // The switch at arguments[index], moving index past a value given as the next argument.
    static juce::String takeSwitch(const Command& command, const juce::StringArray& arguments, int& index,
                                   Options& options);
    static juce::String checkArguments(const Command& command, const Options& options);

    int show(Options& options);
    int diff(Options& options);
    int exportJson(Options& options);
    int importJson(Options& options);
    int validate(Options& options);
    int ports(Options& options);
    int send(Options& options);
    int get(Options& options);
    int backup(Options& options);
    int restore(Options& options);
    int split(Options& options);
    int join(Options& options);

    // Opens the port the user named, or says why not and returns the exit code; afterwards
    // options.port is the port's whole name.
    static int openPort(DeviceSession& session, MidiDeviceSeam& devices, Options& options,
                        bool withInput = true);

    // What --keep names, refused when it could not take the kept programs; an exit code.
    static int checkKeepFolder(const Options& options);
    // Reads what the slots hold and keeps it in a folder as program files, before anything is written
    // to them. Success when the writes may go ahead: all were kept, or --force covers those that were
    // not; otherwise the exit code, the reasons said.
    static int keepSlots(DeviceSession& session, Options& options, const std::vector<int>& slots,
                         const juce::File& beside);

    DeviceFactory deviceFactory;
};
