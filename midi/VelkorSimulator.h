#pragma once

#include "model/Control.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A Velkor in the editor's own process: program 0 (RAM) and slots 1 to 4, each starting as the
// default program. It stores program writes and answers program requests with a dump, from a thread
// of its own, as the controller does over USB; anything else sent to it is ignored. Faults can be
// switched on to try the editor against a misbehaving controller.
class VelkorSimulator
{
public:
    static constexpr const char* deviceName = "Velkor Simulator";
    static constexpr int numPrograms = 5;
    static constexpr int defaultReplyDelayMs = 5;
    static constexpr int defaultFloodSize = 60;

    enum class Fault
    {
        none,
        // Requests are taken and never answered.
        noReply,
        // The dump carries 116 data bytes.
        wrongLength,
        // The dump's transposition byte is 25, one above its range.
        corruptValue,
        // A request is answered by a burst of the flood size: note messages, SysEx garbage, partial
        // SysEx, dumps of wrong length or with a bad value, and every sixth message a good dump.
        flood,
        // A write is stored with the arpeggiator tempo one higher (one lower at 255): still a valid
        // program, so its dumps look right and only comparing them with what was sent shows it.
        changesValue
    };

    VelkorSimulator();
    // Drops whatever has not been delivered yet; waits only for a callback already running.
    ~VelkorSimulator();

    // A message sent to the controller, from any thread. A write is stored before this returns.
    void receive(const juce::MidiMessage& message);

    // Deliveries reach every connected callback, on the simulator's thread.
    void connect(juce::MidiInputCallback& callback);
    // Returns once the callback is not running and will not be called again; never waits on the
    // message thread, and may be called from inside the callback.
    void disconnect(juce::MidiInputCallback& callback);

    // For every program without a fault of its own.
    void setFault(Fault newFault) { fault = newFault; }
    Fault getFault() const { return fault; }
    // For program 0 (RAM) to 4 alone, whatever the fault for all of them is; other numbers are ignored.
    void setFault(int programNumber, Fault newFault);
    void clearSlotFaults();
    // The fault that program 0 to 4 meets.
    Fault getFault(int programNumber) const;
    // Applies to replies and injected messages queued from now on.
    void setReplyDelay(int milliseconds);
    int getReplyDelay() const { return replyDelayMs; }
    void setFloodSize(int messages);

    // Delivered from the simulator's thread after the reply delay, behind everything queued before.
    void inject(const juce::MidiMessage& message);
    // Delivered as a driver hands on a SysEx message that has not ended yet.
    void injectPartialSysEx(const ByteArray& bytes);

    // The 115 data bytes held for program 0 to 4 as a write would carry them: command 0x64 and data
    // byte 6 the program number. Empty for any other number.
    ByteArray getProgramImage(int programNumber) const;

    int getRequestsReceived() const { return requestsReceived; }

private:
    using Clock = std::chrono::steady_clock;

    struct Delivery
    {
        juce::MidiMessage message;
        ByteArray partialSysEx;
    };

    void storeWrite(const juce::MidiMessage& message);
    void answerRequest(int programNumber);
    std::vector<Delivery> floodFor(const ByteArray& image);
    void schedule(std::vector<Delivery> deliveries);
    void run();
    void deliver(const Delivery& delivery);

    mutable std::mutex programsMutex;
    std::array<ByteArray, numPrograms> programs;

    std::atomic<Fault> fault{Fault::none};
    mutable std::mutex slotFaultsMutex;
    std::array<std::optional<Fault>, numPrograms> slotFaults;
    std::atomic<int> replyDelayMs{defaultReplyDelayMs};
    std::atomic<int> floodSize{defaultFloodSize};
    std::atomic<int> requestsReceived{0};
    std::atomic<int> floodsSent{0};

    std::mutex queueMutex;
    std::condition_variable queueChanged;
    // Equal times keep their order, so messages queued with the same delay go out first in, first out.
    std::multimap<Clock::time_point, Delivery> queue;
    bool stopping = false;

    // Held while a callback runs, so that disconnecting waits for it; recursive so that a callback
    // may disconnect itself.
    std::recursive_mutex callbacksMutex;
    std::vector<juce::MidiInputCallback*> callbacks;

    std::thread thread;

    JUCE_DECLARE_NON_COPYABLE(VelkorSimulator)
};
