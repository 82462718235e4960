#include "midi/JuceMidiDevices.h"

#include <mutex>

namespace
{
juce::StringArray namesOf(const juce::Array<juce::MidiDeviceInfo>& devices)
{
    juce::StringArray names;
    for (const auto& device : devices)
        names.add(device.name);
    return names;
}

// JUCE's stop() only disables delivery; a callback already running may still be inside ours. The
// gate makes stop() wait for it, so the owner may delete the callback object right afterwards.
class CallbackGate : public juce::MidiInputCallback
{
public:
    explicit CallbackGate(juce::MidiInputCallback& target) : callback(target) {}

    void setOpen(bool shouldBeOpen)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        open = shouldBeOpen;
    }

    void handleIncomingMidiMessage(juce::MidiInput* source, const juce::MidiMessage& message) override
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (open)
            callback.handleIncomingMidiMessage(source, message);
    }

    void handlePartialSysexMessage(juce::MidiInput* source, const juce::uint8* data, int size,
                                   double timestamp) override
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (open)
            callback.handlePartialSysexMessage(source, data, size, timestamp);
    }

private:
    juce::MidiInputCallback& callback;
    std::mutex mutex;
    bool open = false;
};

class JuceInputPort : public MidiInputPort
{
public:
    explicit JuceInputPort(juce::MidiInputCallback& callback) : gate(callback) {}

    ~JuceInputPort() override
    {
        stop();
        input.reset();
    }

    bool open(const juce::String& identifier)
    {
        input = juce::MidiInput::openDevice(identifier, &gate);
        return input != nullptr;
    }

    void start() override
    {
        gate.setOpen(true);
        input->start();
    }

    void stop() override
    {
        // JUCE delivers while holding a lock of its own, so ours must not be held while calling it.
        if (input != nullptr)
            input->stop();
        gate.setOpen(false);
    }

private:
    CallbackGate gate;
    std::unique_ptr<juce::MidiInput> input;
};

class JuceOutputPort : public MidiOutputPort
{
public:
    explicit JuceOutputPort(std::unique_ptr<juce::MidiOutput> device) : output(std::move(device)) {}

    void sendMessageNow(const juce::MidiMessage& message) override { output->sendMessageNow(message); }

private:
    std::unique_ptr<juce::MidiOutput> output;
};
} // namespace

juce::StringArray JuceMidiDevices::getInputNames()
{
    return namesOf(juce::MidiInput::getAvailableDevices());
}

juce::StringArray JuceMidiDevices::getOutputNames()
{
    return namesOf(juce::MidiOutput::getAvailableDevices());
}

std::unique_ptr<MidiInputPort> JuceMidiDevices::openInput(int index, juce::MidiInputCallback* callback)
{
    const auto devices = juce::MidiInput::getAvailableDevices();
    if (callback == nullptr || !juce::isPositiveAndBelow(index, devices.size()))
        return nullptr;
    auto port = std::make_unique<JuceInputPort>(*callback);
    if (!port->open(devices.getReference(index).identifier))
        return nullptr;
    return port;
}

std::unique_ptr<MidiOutputPort> JuceMidiDevices::openOutput(int index)
{
    const auto devices = juce::MidiOutput::getAvailableDevices();
    if (!juce::isPositiveAndBelow(index, devices.size()))
        return nullptr;
    auto output = juce::MidiOutput::openDevice(devices.getReference(index).identifier);
    if (output == nullptr)
        return nullptr;
    return std::make_unique<JuceOutputPort>(std::move(output));
}
