#include "support/ApplicationFixture.h"
#include "app/VelkorEditorApplication.h"
#include "support/ProgramFixtures.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

#include <thread>

using testsupport::pumpMessages;

namespace
{
// Ports that behave like the system's: an input delivers under a lock that stop() also takes.
struct FakeDevices;

struct FakeInput : MidiInputPort
{
    FakeInput(juce::MidiInputCallback* cb, FakeDevices& owner) : callback(cb), devices(owner) {}
    ~FakeInput() override;
    void start() override
    {
        const std::lock_guard<std::mutex> lock(mutex);
        started = true;
    }
    void stop() override
    {
        const std::lock_guard<std::mutex> lock(mutex);
        started = false;
    }
    void deliver(const juce::MidiMessage& message)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (started)
            callback->handleIncomingMidiMessage(nullptr, message);
    }
    std::mutex mutex;
    bool started = false;
    juce::MidiInputCallback* callback;
    FakeDevices& devices;
};

struct FakeOutput : MidiOutputPort
{
    explicit FakeOutput(std::vector<ByteArray>& log) : sent(log) {}
    void sendMessageNow(const juce::MidiMessage& m) override
    {
        sent.emplace_back(m.getRawData(), m.getRawData() + m.getRawDataSize());
    }
    std::vector<ByteArray>& sent;
};

struct FakeDevices : MidiDeviceSeam
{
    juce::StringArray getInputNames() override { return inputs; }
    juce::StringArray getOutputNames() override { return outputs; }
    std::unique_ptr<MidiInputPort> openInput(int index, const juce::String&,
                                             juce::MidiInputCallback* callback) override
    {
        openedInputs.push_back(index);
        if (failingInputs.contains(index))
            return nullptr;
        auto port = std::make_unique<FakeInput>(callback, *this);
        const std::lock_guard<std::mutex> lock(current);
        input = port.get();
        return port;
    }
    std::unique_ptr<MidiOutputPort> openOutput(int index, const juce::String&) override
    {
        openedOutputs.push_back(index);
        return std::make_unique<FakeOutput>(sent);
    }
    // From a thread of the device's own, as a driver would.
    void deliverFromDeviceThread(const std::vector<juce::MidiMessage>& messages)
    {
        std::thread device(
            [this, &messages]
            {
                for (const auto& m : messages)
                {
                    const std::lock_guard<std::mutex> lock(current);
                    if (input != nullptr)
                        input->deliver(m);
                }
            });
        device.join();
    }

    juce::StringArray inputs{"Port A", "Velkor", "Velkor"};
    juce::StringArray outputs{"Out 1", "Out 2"};
    juce::Array<int> failingInputs;
    std::vector<int> openedInputs, openedOutputs;
    std::vector<ByteArray> sent;
    std::mutex current;
    FakeInput* input = nullptr;
};

FakeInput::~FakeInput()
{
    const std::lock_guard<std::mutex> lock(devices.current);
    if (devices.input == this)
        devices.input = nullptr;
}

juce::MidiMessage dumpOf(const ByteArray& image, int command = 0x67, int extraBytes = 0)
{
    ByteArray data = image;
    data[3] = std::uint8_t(command);
    data.resize(std::size_t(int(data.size()) + extraBytes), 0);
    return juce::MidiMessage::createSysExMessage(data.data(), int(data.size()));
}

ProgramModel someProgram(int seed)
{
    juce::Random random(seed);
    ProgramModel m = fixtures::randomModel(random);
    m.setGlobal(ProgramModel::arpTempo, 30 + random.nextInt(211));
    return m;
}

class MidiLinkTest : public ApplicationFixture
{
protected:
    void SetUp() override
    {
        ApplicationFixture::SetUp();
        auto owned = std::make_unique<FakeDevices>();
        devices = owned.get();
        app->setDevices(std::move(owned));
        start();
    }

    FakeDevices* devices = nullptr;
};
} // namespace

TEST_F(MidiLinkTest, PortsOpenByExactNameAndTheLastOfEqualNamesStays)
{
    manager().applyDeviceNames({"Velkor"}, {"Out 2"});
    EXPECT_EQ(devices->openedInputs, (std::vector<int>{1, 2}));
    EXPECT_EQ(devices->openedOutputs, (std::vector<int>{1}));
    EXPECT_TRUE(manager().hasMidiInput());
    EXPECT_TRUE(app->hasMidiOutput());

    manager().applyDeviceNames({"velkor", "Gone"}, {"Out"});
    EXPECT_EQ(devices->openedInputs.size(), 2u) << "no name matches: the open ports stay";
    EXPECT_TRUE(manager().hasMidiInput());
    EXPECT_TRUE(app->hasMidiOutput());
    EXPECT_TRUE(messages.isEmpty());

    devices->failingInputs.add(0);
    manager().setMidiInput("Port A");
    EXPECT_FALSE(manager().hasMidiInput()) << "an input that fails to open is left closed";
    EXPECT_EQ(messages, juce::StringArray("Unable to open the MIDI input \"Port A\""));
}

TEST_F(MidiLinkTest, WritesAndRequestsCarryTheProgramNumber)
{
    manager().applyDeviceNames({}, {"Out 1"});
    manager().sendToHardware(0);
    manager().sendToHardware(4);
    manager().getFromHardware(4);
    ASSERT_EQ(devices->sent.size(), 3u);
    EXPECT_EQ(devices->sent[0].size(), 117u);
    EXPECT_EQ(devices->sent[0][7], 0);
    EXPECT_EQ(devices->sent[1][7], 4);
    devices->sent[1][7] = 0;
    EXPECT_EQ(devices->sent[0], devices->sent[1]);
    EXPECT_EQ(devices->sent[2], fixtures::fromHex("F0 47 00 26 66 00 01 04 F7"));
}

TEST_F(MidiLinkTest, DumpsFromTheDeviceThreadReachOnlyWindowsThatAsked)
{
    manager().applyDeviceNames({"Port A"}, {"Out 1"});
    manager().newWindow();
    manager().newWindow();
    pumpMessages();
    const ByteArray untouched = controller(2).getProgramImage();
    const ByteArray program = someProgram(5).toSysExData();

    devices->deliverFromDeviceThread({dumpOf(program)});
    pumpMessages();
    EXPECT_EQ(controller(0).getProgramImage(), untouched) << "nobody asked";

    controller(0).requestProgram(2);
    controller(1).requestProgram(3);
    devices->deliverFromDeviceThread({dumpOf(program, 0x67, -1), dumpOf(program, 0x67, 1),
                                      dumpOf(program, 0x64), juce::MidiMessage::noteOn(1, 60, 0.5f)});
    pumpMessages();
    EXPECT_TRUE(controller(0).isAwaitingReply()) << "wrong lengths and commands are ignored";

    devices->deliverFromDeviceThread({dumpOf(program), dumpOf(someProgram(6).toSysExData())});
    pumpMessages(50);
    EXPECT_EQ(controller(0).getProgramImage(), program);
    EXPECT_EQ(controller(1).getProgramImage(), program) << "both waiting windows take the first dump";
    EXPECT_EQ(controller(2).getProgramImage(), untouched);
    EXPECT_FALSE(controller(0).isAwaitingReply());
    EXPECT_FALSE(controller(1).isAwaitingReply());
}

TEST_F(MidiLinkTest, ACorruptedDumpChangesNothingAndTellsAWaitingUser)
{
    manager().applyDeviceNames({"Port A"}, {"Out 1"});
    ByteArray bad = someProgram(7).toSysExData();
    bad[29] = 2; // a trigger type that does not exist
    const ByteArray before = controller(0).getProgramImage();

    devices->deliverFromDeviceThread({dumpOf(bad)});
    pumpMessages();
    EXPECT_TRUE(messages.isEmpty()) << "nobody waits, nobody is told";

    controller(0).requestProgram(1);
    devices->deliverFromDeviceThread({dumpOf(bad), dumpOf(bad), dumpOf(bad)});
    pumpMessages();
    EXPECT_EQ(messages, juce::StringArray("MIDI Sysex Format Error")) << "one box while it is up";
    UserMessage::dismissed(messages[0]);
    devices->deliverFromDeviceThread({dumpOf(bad)});
    pumpMessages();
    EXPECT_EQ(messages.size(), 2) << "and another once it was closed";
    EXPECT_EQ(controller(0).getProgramImage(), before);
    EXPECT_TRUE(controller(0).isAwaitingReply());
}

TEST_F(MidiLinkTest, ARequestNobodyAnswersIsReportedOnceAndStillWaits)
{
    struct Case
    {
        const char* name;
        juce::StringArray inputs, outputs;
        bool answered;
        juce::StringArray expected;
    };
    const juce::String afterwards = "\n\n";
    const Case cases[] = {
        {"no answer",
         {"Velkor"},
         {"Out 1"},
         false,
         {"No answer from the controller for Program: 2 within 0.1 seconds on the MIDI input \"Velkor\"."}},
        {"answered in time", {"Velkor"}, {"Out 1"}, true, {}},
        {"no input chosen",
         {},
         {"Out 1"},
         false,
         {"The controller's answer to the request for Program: 2 cannot arrive: no MIDI input is chosen."}},
        {"no output: device setup instead", {"Velkor"}, {}, false, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TearDown();
        messages.clear();
        SetUp();
        manager().applyDeviceNames(c.inputs, c.outputs);
        // A loaded machine can take longer than the short delay to run the device thread, so
        // the answered case gets a delay no scheduler stalls through.
        controller(0).setNoAnswerDelay(c.answered ? 1000 : 100);
        controller(0).requestProgram(2);
        if (c.answered)
            devices->deliverFromDeviceThread({dumpOf(someProgram(3).toSysExData())});
        pumpMessages(c.answered ? 1300 : 400);
        juce::StringArray firstParagraphs;
        for (const auto& text : messages)
            firstParagraphs.add(text.upToFirstOccurrenceOf(afterwards, false, false));
        EXPECT_EQ(firstParagraphs.joinIntoString("|"), c.expected.joinIntoString("|"));
        EXPECT_EQ(manager().deviceWindow != nullptr, c.outputs.isEmpty());
        if (!c.answered && !c.inputs.isEmpty())
        {
            const ByteArray program = someProgram(4).toSysExData();
            devices->deliverFromDeviceThread({dumpOf(program)});
            pumpMessages(50);
            EXPECT_EQ(controller(0).getProgramImage(), program) << "a late dump is still taken";
        }
    }
}

TEST_F(MidiLinkTest, FloodsWhileWindowsComeAndGoAndTheInputIsReplaced)
{
    manager().applyDeviceNames({"Port A"}, {"Out 1"});
    const ByteArray program = someProgram(8).toSysExData();
    std::vector<juce::MidiMessage> flood;
    juce::Random random(9);
    for (int i = 0; i < 3000; ++i)
    {
        switch (i % 4)
        {
        case 0:
            flood.push_back(dumpOf(program));
            break;
        case 1:
        {
            // Never empty: JUCE copies an empty body from a null pointer.
            ByteArray garbage(std::size_t(1 + random.nextInt(200)), 0);
            for (auto& b : garbage)
                b = std::uint8_t(random.nextInt(128));
            flood.push_back(juce::MidiMessage::createSysExMessage(garbage.data(), int(garbage.size())));
            break;
        }
        case 2:
            flood.push_back(juce::MidiMessage::controllerEvent(1, random.nextInt(128), random.nextInt(128)));
            break;
        default:
            flood.push_back(dumpOf(program, 0x67, random.nextBool() ? 1 : -1));
        }
    }

    std::atomic<bool> running{true};
    std::thread device(
        [&]
        {
            while (running)
                devices->deliverFromDeviceThread(flood);
        });
    for (int round = 0; round < 10; ++round)
    {
        MainWindow* w = manager().newWindow();
        w->getController().requestProgram(1);
        pumpMessages(5);
        manager().setMidiInput(round % 2 == 0 ? "Velkor" : "Port A");
        if (manager().getWindows().size() > 2)
            manager().deleteWindow(*manager().getWindows()[1]);
    }
    running = false;
    device.join();
    pumpMessages(50);
    for (auto* w : manager().getWindows())
        EXPECT_FALSE(w->getController().isAwaitingReply());
    EXPECT_TRUE(messages.isEmpty());
}
