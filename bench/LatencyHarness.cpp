// The editor with the simulated controller, one window on the display, asking for a program again
// and again. For each request it times request to shown, and dump arrival (the input thread handing
// the dump to the editor) to shown. Shown means the window's widgets and model hold the program and
// every notification the load left behind has been delivered; painting is measured on its own.
// With --alsa PORT the editor talks to PORT through JUCE's ALSA code instead (run it with the
// sequencer stand-in preloaded); the reply delay is then the stand-in's, none.
// Usage: velkor_latency [REQUESTS] [REPLY_DELAY_MS] [--alsa PORT]; prints key=value lines.
#include "BenchSupport.h"
#include "midi/ProgramMessages.h"
#include "app/VelkorEditorApplication.h"
#include "midi/JuceMidiDevices.h"
#include "midi/SimulatorMidiDevices.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace
{
using Clock = std::chrono::steady_clock;

std::int64_t nowMicroseconds()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

// The simulated controller or the system's ports, with the editor's input callback wrapped so that a
// dump's arrival is timed just before the editor sees it, and the shown time taken just after the
// editor's work.
class TimingDevices : public MidiDeviceSeam, private juce::MidiInputCallback
{
public:
    explicit TimingDevices(bool systemPorts)
    {
        if (systemPorts)
            inner = std::make_unique<JuceMidiDevices>();
        else
            inner = std::make_unique<SimulatorMidiDevices>(nullptr);
    }

    std::function<void()> onDumpHandedOn; // on the input thread, after the editor's handler returned
    std::atomic<std::int64_t> arrival{0};

    juce::StringArray getInputNames() override { return inner->getInputNames(); }
    juce::StringArray getOutputNames() override { return inner->getOutputNames(); }
    std::unique_ptr<MidiInputPort> openInput(int index, const juce::String& name,
                                             juce::MidiInputCallback* callback) override
    {
        target = callback;
        return inner->openInput(index, name, this);
    }
    std::unique_ptr<MidiOutputPort> openOutput(int index, const juce::String& name) override
    {
        return inner->openOutput(index, name);
    }
    // Null on the system's ports.
    VelkorSimulator* simulator()
    {
        auto* simulated = dynamic_cast<SimulatorMidiDevices*>(inner.get());
        return simulated != nullptr ? &simulated->getSimulator() : nullptr;
    }

private:
    void handleIncomingMidiMessage(juce::MidiInput* source, const juce::MidiMessage& message) override
    {
        const bool dump = getSysExCommand(message) == ProgramSysEx::programDumpCommand;
        if (dump)
            arrival = nowMicroseconds();
        target->handleIncomingMidiMessage(source, message);
        if (dump && onDumpHandedOn)
            onDumpHandedOn();
    }

    std::unique_ptr<MidiDeviceSeam> inner;
    juce::MidiInputCallback* target = nullptr;
};

class Harness : private juce::Timer
{
public:
    Harness(int requestCount, int replyDelayMs, const juce::String& systemPort) : total(requestCount)
    {
        auto owned = std::make_unique<TimingDevices>(systemPort.isNotEmpty());
        devices = owned.get();
        if (auto* simulator = devices->simulator())
            simulator->setReplyDelay(replyDelayMs);
        // The editor's drain is posted by then; two posts later, so are the notifications it left.
        devices->onDumpHandedOn = [this] {
            juce::MessageManager::callAsync([this] { juce::MessageManager::callAsync([this] { shown(); }); });
        };
        app.quitAction = [] {};
        app.setDevices(std::move(owned));
        app.initialiseWithArguments({});
        MainWindowManager& manager = app.getWindowManager();
        const juce::String port = systemPort.isNotEmpty() ? systemPort : VelkorSimulator::deviceName;
        manager.setMidiInput(port);
        manager.setMidiOutput(port);
        window = manager.getWindows().getFirst();
        // Let the window come up and paint before the first request.
        juce::Timer::callAfterDelay(500, [this] { issue(); });
        startTimer(1000);
    }

    ~Harness() override
    {
        stopTimer();
        app.shutdown();
    }

    void report() const
    {
        auto requestToShown = toShown(requests);
        auto arrivalToShown = toShown(arrivals);
        auto* simulator = devices->simulator();
        std::printf("requests=%d\nreply_delay_ms=%d\nmismatches=%d\n", int(shownAt.size()),
                    simulator != nullptr ? simulator->getReplyDelay() : 0, mismatches);
        print("request_to_shown", requestToShown);
        print("arrival_to_shown", arrivalToShown);
    }

    bool complete() const { return int(shownAt.size()) == total && mismatches == 0; }

private:
    void issue()
    {
        ProgramModel program = benchsupport::randomProgram(random);
        expected = program.toSysExData();
        const int slot = 1 + random.nextInt(4);
        const auto write = ProgramSysEx::programWriteMessage(expected, slot);
        if (auto* simulator = devices->simulator())
            simulator->receive(write);
        else
            app.sendToController(write);
        requests.push_back(nowMicroseconds());
        window->getController().requestProgram(slot);
    }

    void shown()
    {
        shownAt.push_back(nowMicroseconds());
        arrivals.push_back(devices->arrival);
        if (window->getController().isAwaitingReply() || window->getProgramImage() != expected)
            ++mismatches;
        if (int(shownAt.size()) >= total)
            juce::MessageManager::getInstance()->stopDispatchLoop();
        else // a pause of a few milliseconds, so repaints and timers fall where they would for a user
            juce::Timer::callAfterDelay(2 + random.nextInt(8), [this] { issue(); });
    }

    // A reply that never comes would leave the loop running forever.
    void timerCallback() override
    {
        if (shownAt.size() == lastCount && !shownAt.empty())
        {
            std::fprintf(stderr, "no reply after request %d\n", int(shownAt.size()) + 1);
            juce::MessageManager::getInstance()->stopDispatchLoop();
        }
        lastCount = shownAt.size();
    }

    std::vector<std::int64_t> toShown(const std::vector<std::int64_t>& from) const
    {
        std::vector<std::int64_t> spans;
        for (std::size_t i = 0; i < shownAt.size(); ++i)
            spans.push_back(shownAt[i] - from[i]);
        std::sort(spans.begin(), spans.end());
        return spans;
    }

    static void print(const char* name, const std::vector<std::int64_t>& sorted)
    {
        if (sorted.empty())
            return;
        const auto at = [&sorted](double q)
        {
            const auto rank = static_cast<std::size_t>(std::ceil(q * double(sorted.size())));
            return double(sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1]) / 1000.0;
        };
        std::printf("%s_median_ms=%.3f\n%s_p99_ms=%.3f\n%s_max_ms=%.3f\n", name, at(0.5), name, at(0.99),
                    name, double(sorted.back()) / 1000.0);
    }

    VelkorEditorApplication app;
    TimingDevices* devices = nullptr;
    MainWindow* window = nullptr;
    juce::Random random{99};
    ByteArray expected;
    const int total;
    int mismatches = 0;
    std::size_t lastCount = 0;
    std::vector<std::int64_t> requests, arrivals, shownAt;
};
} // namespace

int main(int argc, char** argv)
{
    const int requests = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int replyDelay = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;
    const juce::String systemPort =
        argc > 4 && juce::String(argv[3]) == "--alsa" ? juce::String(argv[4]) : juce::String();
    juce::JUCEApplicationBase::createInstance = []
    { return static_cast<juce::JUCEApplicationBase*>(nullptr); };
    const juce::ScopedJuceInitialiser_GUI juce;
    if (!benchsupport::haveDisplay())
    {
        std::fprintf(stderr, "needs a display\n");
        return 2;
    }
    bool complete = false;
    {
        Harness harness(requests, replyDelay, systemPort);
        juce::MessageManager::getInstance()->runDispatchLoop();
        harness.report();
        complete = harness.complete();
    }
    return complete ? 0 : 1;
}
