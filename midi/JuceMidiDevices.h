#pragma once

#include "midi/MidiDeviceSeam.h"

// The system's MIDI ports. The only place in the editor that talks to JUCE's MIDI classes.
class JuceMidiDevices : public MidiDeviceSeam
{
public:
    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;

    // The index is looked up in a fresh device list and mapped to the device's identifier.
    std::unique_ptr<MidiInputPort> openInput(int index, juce::MidiInputCallback* callback) override;
    std::unique_ptr<MidiOutputPort> openOutput(int index) override;
};
