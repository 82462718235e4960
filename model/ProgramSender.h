#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// Where a window's program messages go: the application's MIDI output, or, when none is open, the
// device setup window so the user can pick one.
class ProgramSender
{
public:
    virtual ~ProgramSender() = default;

    // Sends the message once; false when no output is open and nothing was sent.
    virtual bool sendToController(const juce::MidiMessage& message) = 0;
    virtual void showDeviceSetup() = 0;
    // The name of the open MIDI input, on which answers arrive; empty when none is open.
    virtual juce::String getMidiInputName() = 0;
};
