#include "midi/JuceMidiDevices.h"

#include <memory>
#include <mutex>
#include <vector>

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

// A JUCE input together with the gate its callbacks pass; they live and die together, since JUCE's
// thread may still hold the input's callback pointer.
struct GatedInput
{
    explicit GatedInput(juce::MidiInputCallback& callback) : gate(callback) {}
    ~GatedInput()
    {
        if (input != nullptr)
            input->stop();
    }

    CallbackGate gate;
    std::unique_ptr<juce::MidiInput> input;
};

} // namespace

// JUCE's ALSA backend reads every input on one thread, which it asks to exit when the last started
// input stops and which notices up to 100 ms later. An input started in between calls startThread()
// on the still running thread, which does nothing, and the thread then exits: the new input never
// hears a message. So a closed input is kept started behind its shut gate until the next input has
// started, and stopped only then: during a reopen the thread is never asked to exit. Ports hold this
// too, so the last inputs are stopped only once every port of ours has gone; JUCE's client then
// closes and joins its thread, and a later input starts a fresh one.
class RetiredInputs
{
public:
    static std::shared_ptr<RetiredInputs> shared()
    {
        static std::mutex mutex;
        static std::weak_ptr<RetiredInputs> current;
        const std::lock_guard<std::mutex> lock(mutex);
        auto inputs = current.lock();
        if (inputs == nullptr)
        {
            inputs = std::make_shared<RetiredInputs>();
            current = inputs;
        }
        return inputs;
    }

    void retire(std::unique_ptr<GatedInput> input)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        inputs.push_back(std::move(input));
    }

    void stopAll()
    {
        std::vector<std::unique_ptr<GatedInput>> stopping;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stopping.swap(inputs);
        }
    }

private:
    std::mutex mutex;
    std::vector<std::unique_ptr<GatedInput>> inputs;
};

namespace
{
class JuceInputPort : public MidiInputPort
{
public:
    explicit JuceInputPort(juce::MidiInputCallback& callback) : device(std::make_unique<GatedInput>(callback))
    {
    }

    ~JuceInputPort() override
    {
        stop();
        retired->retire(std::move(device));
    }

    bool open(const juce::String& identifier, const juce::String& name)
    {
        device->input = juce::MidiInput::openDevice(identifier, &device->gate);
        if (device->input != nullptr && device->input->getName() != name)
            device->input.reset();
        return device->input != nullptr;
    }

    void start() override
    {
        device->gate.setOpen(true);
        device->input->start();
        retired->stopAll();
    }

    // JUCE's input stays started: only the gate shuts, and it waits for a callback in progress.
    void stop() override { device->gate.setOpen(false); }

private:
    std::shared_ptr<RetiredInputs> retired = RetiredInputs::shared();
    std::unique_ptr<GatedInput> device;
};

class JuceOutputPort : public MidiOutputPort
{
public:
    explicit JuceOutputPort(std::unique_ptr<juce::MidiOutput> device) : output(std::move(device)) {}

    void sendMessageNow(const juce::MidiMessage& message) override { output->sendMessageNow(message); }

private:
    std::shared_ptr<RetiredInputs> retired = RetiredInputs::shared();
    std::unique_ptr<juce::MidiOutput> output;
};
} // namespace

JuceMidiDevices::JuceMidiDevices() : retired(RetiredInputs::shared())
{
}

JuceMidiDevices::~JuceMidiDevices() = default;

juce::StringArray JuceMidiDevices::getInputNames()
{
    return namesOf(juce::MidiInput::getAvailableDevices());
}

juce::StringArray JuceMidiDevices::getOutputNames()
{
    return namesOf(juce::MidiOutput::getAvailableDevices());
}

std::unique_ptr<MidiInputPort> JuceMidiDevices::openInput(int index, const juce::String& name,
                                                          juce::MidiInputCallback* callback)
{
    const auto devices = juce::MidiInput::getAvailableDevices();
    if (callback == nullptr || !juce::isPositiveAndBelow(index, devices.size()) ||
        devices.getReference(index).name != name)
        return nullptr;
    auto port = std::make_unique<JuceInputPort>(*callback);
    if (!port->open(devices.getReference(index).identifier, name))
        return nullptr;
    return port;
}

std::unique_ptr<MidiOutputPort> JuceMidiDevices::openOutput(int index, const juce::String& name)
{
    const auto devices = juce::MidiOutput::getAvailableDevices();
    if (!juce::isPositiveAndBelow(index, devices.size()) || devices.getReference(index).name != name)
        return nullptr;
    // The identifier is looked up once more inside JUCE: what it opened is checked by its name too.
    auto output = juce::MidiOutput::openDevice(devices.getReference(index).identifier);
    if (output == nullptr || output->getName() != name)
        return nullptr;
    return std::make_unique<JuceOutputPort>(std::move(output));
}
