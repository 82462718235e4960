#pragma once

#include "midi/MidiDeviceSeam.h"

class RetiredInputs;

// The system's MIDI ports. The only place in the editor that talks to JUCE's MIDI classes.
class JuceMidiDevices : public MidiDeviceSeam
{
public:
    JuceMidiDevices();
    ~JuceMidiDevices() override;

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;

    // The index is looked up in a fresh device list and mapped to the device's identifier.
    std::unique_ptr<MidiInputPort> openInput(int index, const juce::String& name,
                                             juce::MidiInputCallback* callback) override;
    std::unique_ptr<MidiOutputPort> openOutput(int index, const juce::String& name) override;

private:
    // Inputs closed but kept started until another has started; see the source.
    std::shared_ptr<RetiredInputs> retired;
};
