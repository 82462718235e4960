#pragma once

#include "midi/MidiDeviceSeam.h"
#include "model/Control.h"

#include <condition_variable>
#include <mutex>
#include <optional>

// One conversation with a controller: an output and an input of the same port name, program writes out
// and program requests answered by dumps. The input thread only queues; the caller waits with a bound.
class DeviceSession : private juce::MidiInputCallback
{
public:
    struct Reply
    {
        // The program image (file header) of the first valid dump.
        std::optional<ByteArray> image;
        // Dumps of the wrong length or with a bad value, and the first one's fault.
        int badDumps = 0;
        juce::String badDumpProblem;
    };

    // A bad dump ends the wait this long after it came, unless a good one follows.
    static constexpr int badDumpGraceMs = 250;

    explicit DeviceSession(MidiDeviceSeam& devices);
    ~DeviceSession() override;

    // The port a user's name for it means: a port of that exact name, else the one port whose name
    // holds it, case ignored. Empty when none or several do; the several go to matches.
    static juce::String findPortName(MidiDeviceSeam& devices, const juce::String& name,
                                     juce::StringArray& matches);

    // Opens the output of that exact name, and its input unless only sending; empty on success, else
    // what is missing.
    juce::String open(const juce::String& portName, bool withInput = true);

    void sendProgram(const ByteArray& image, int programNumber);
    Reply requestProgram(int programNumber, int timeoutMs);

private:
    void handleIncomingMidiMessage(juce::MidiInput*, const juce::MidiMessage& message) override;

    MidiDeviceSeam& devices;
    std::unique_ptr<MidiInputPort> input;
    std::unique_ptr<MidiOutputPort> output;

    std::mutex lock;
    std::condition_variable arrived;
    Reply pending;
    std::optional<std::chrono::steady_clock::time_point> firstBadDump;
    bool listening = false;
};
