#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// Sees every MIDI message the editor sends or receives while it is installed.
class MidiMonitor
{
public:
    virtual ~MidiMonitor() = default;

    // On the input device's thread: must be quick and never wait on the message thread.
    virtual void messageReceived(const juce::String& port, const juce::MidiMessage& message) = 0;
    // On the message thread, just before the message goes out, so that it is logged ahead of its answer.
    virtual void messageSending(const juce::String& port, const juce::MidiMessage& message) = 0;
};
