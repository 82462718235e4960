#include "midi/SimulatorMidiDevices.h"

namespace
{
class SimulatorInputPort : public MidiInputPort
{
public:
    SimulatorInputPort(std::shared_ptr<VelkorSimulator> device, juce::MidiInputCallback& target)
        : simulator(std::move(device)), callback(target)
    {
    }

    ~SimulatorInputPort() override { stop(); }

    void start() override { simulator->connect(callback); }
    void stop() override { simulator->disconnect(callback); }

private:
    std::shared_ptr<VelkorSimulator> simulator;
    juce::MidiInputCallback& callback;
};

class SimulatorOutputPort : public MidiOutputPort
{
public:
    explicit SimulatorOutputPort(std::shared_ptr<VelkorSimulator> device) : simulator(std::move(device)) {}

    void sendMessageNow(const juce::MidiMessage& message) override { simulator->receive(message); }

private:
    std::shared_ptr<VelkorSimulator> simulator;
};
} // namespace

SimulatorMidiDevices::SimulatorMidiDevices(std::unique_ptr<MidiDeviceSeam> systemDevices,
                                           std::shared_ptr<VelkorSimulator> simulatorToUse)
    : system(std::move(systemDevices)),
      simulator(simulatorToUse != nullptr ? std::move(simulatorToUse) : std::make_shared<VelkorSimulator>())
{
}

juce::StringArray SimulatorMidiDevices::getInputNames()
{
    juce::StringArray names = system != nullptr ? system->getInputNames() : juce::StringArray();
    names.add(VelkorSimulator::deviceName);
    return names;
}

juce::StringArray SimulatorMidiDevices::getOutputNames()
{
    juce::StringArray names = system != nullptr ? system->getOutputNames() : juce::StringArray();
    names.add(VelkorSimulator::deviceName);
    return names;
}

std::unique_ptr<MidiInputPort> SimulatorMidiDevices::openInput(int index, const juce::String& name,
                                                               juce::MidiInputCallback* callback)
{
    const int systemCount = system != nullptr ? system->getInputNames().size() : 0;
    if (index >= 0 && index < systemCount)
        return system->openInput(index, name, callback);
    if (index != systemCount || name != VelkorSimulator::deviceName || callback == nullptr)
        return nullptr;
    return std::make_unique<SimulatorInputPort>(simulator, *callback);
}

std::unique_ptr<MidiOutputPort> SimulatorMidiDevices::openOutput(int index, const juce::String& name)
{
    const int systemCount = system != nullptr ? system->getOutputNames().size() : 0;
    if (index >= 0 && index < systemCount)
        return system->openOutput(index, name);
    if (index != systemCount || name != VelkorSimulator::deviceName)
        return nullptr;
    return std::make_unique<SimulatorOutputPort>(simulator);
}
