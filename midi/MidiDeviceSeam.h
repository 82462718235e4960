#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

// An open input: it calls its callback on a thread of the device's own between start and stop.
class MidiInputPort
{
public:
    virtual ~MidiInputPort() = default;
    virtual void start() = 0;
    // Returns once no callback runs any more and none will start.
    virtual void stop() = 0;
};

class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;
    // Returns once the driver has taken the message.
    virtual void sendMessageNow(const juce::MidiMessage& message) = 0;
};

// The only way the editor reaches MIDI devices: the system's ports, or the simulated controller.
class MidiDeviceSeam
{
public:
    virtual ~MidiDeviceSeam() = default;

    // Names in device index order; several devices may share a name.
    virtual juce::StringArray getInputNames() = 0;
    virtual juce::StringArray getOutputNames() = 0;

    // Opens the device at an index of the names listed before, which must still carry that name: a
    // device plugged in or out since the listing can move another one to the index. Null when the
    // device cannot be opened or is named otherwise. The callback's source argument may be null.
    virtual std::unique_ptr<MidiInputPort> openInput(int index, const juce::String& name,
                                                     juce::MidiInputCallback* callback) = 0;
    virtual std::unique_ptr<MidiOutputPort> openOutput(int index, const juce::String& name) = 0;
};
