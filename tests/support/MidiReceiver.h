#pragma once

#include "model/Control.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace miditest
{
// Collects what a device delivers, on whatever thread, and lets the test wait for it.
class Receiver : public juce::MidiInputCallback
{
public:
    struct Delivery
    {
        ByteArray bytes;
        bool partial;
    };

    void handleIncomingMidiMessage(juce::MidiInput*, const juce::MidiMessage& m) override
    {
        record({ByteArray(m.getRawData(), m.getRawData() + m.getRawDataSize()), false});
    }
    void handlePartialSysexMessage(juce::MidiInput*, const juce::uint8* data, int size, double) override
    {
        record({ByteArray(data, data + size), true});
    }

    // False when fewer than count deliveries arrived in time.
    bool waitFor(std::size_t count)
    {
        return waitUntil([count](const std::vector<Delivery>& all) { return all.size() >= count; });
    }

    bool waitUntil(std::function<bool(const std::vector<Delivery>&)> done)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return arrived.wait_for(lock, std::chrono::seconds(5), [&] { return done(deliveries); });
    }

    std::vector<Delivery> get()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return deliveries;
    }

    std::atomic<int> callsOnMessageThread{0};
    // Set by a test once it has disconnected; any call after that is a fault.
    std::atomic<bool> disconnected{false};
    std::atomic<int> callsAfterDisconnect{0};

private:
    void record(Delivery delivery)
    {
        if (juce::MessageManager::getInstance()->isThisTheMessageThread())
            ++callsOnMessageThread;
        if (disconnected)
            ++callsAfterDisconnect;
        const std::lock_guard<std::mutex> lock(mutex);
        deliveries.push_back(std::move(delivery));
        arrived.notify_all();
    }

    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Delivery> deliveries;
};

inline ByteArray wrap(ByteArray data)
{
    data.insert(data.begin(), 0xf0);
    data.push_back(0xf7);
    return data;
}

inline ByteArray dumpOf(ByteArray image, int programNumber)
{
    image[3] = 0x67;
    image[6] = static_cast<std::uint8_t>(programNumber);
    return wrap(image);
}

inline juce::MidiMessage message(const ByteArray& bytes)
{
    return juce::MidiMessage(bytes.data(), static_cast<int>(bytes.size()));
}
} // namespace miditest
