#pragma once

#include "midi/MidiDeviceSeam.h"
#include "midi/VelkorSimulator.h"

// The system's ports with the simulated controller listed after them, as one input and one output
// named "Velkor Simulator".
class SimulatorMidiDevices : public MidiDeviceSeam
{
public:
    // Either seam may be null: no system ports, or a simulator of its own.
    explicit SimulatorMidiDevices(std::unique_ptr<MidiDeviceSeam> systemDevices,
                                  std::shared_ptr<VelkorSimulator> simulatorToUse = nullptr);

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<MidiInputPort> openInput(int index, const juce::String& name,
                                             juce::MidiInputCallback* callback) override;
    std::unique_ptr<MidiOutputPort> openOutput(int index, const juce::String& name) override;

    // Open ports share it, so it lives as long as the last of them.
    VelkorSimulator& getSimulator() { return *simulator; }
    std::shared_ptr<VelkorSimulator> getSharedSimulator() const { return simulator; }

private:
    std::unique_ptr<MidiDeviceSeam> system;
    std::shared_ptr<VelkorSimulator> simulator;
};
