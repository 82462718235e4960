#include "support/MidiReceiver.h"
#include "midi/ProgramMessages.h"
#include "midi/SimulatorMidiDevices.h"
#include "support/ProgramFixtures.h"

#include <gtest/gtest.h>

namespace
{
struct SystemPorts : MidiDeviceSeam
{
    juce::StringArray getInputNames() override { return {"Keys In", "Pads In"}; }
    juce::StringArray getOutputNames() override { return {"Keys Out"}; }
    std::unique_ptr<MidiInputPort> openInput(int index, const juce::String&,
                                             juce::MidiInputCallback*) override
    {
        opened.add("in " + juce::String(index));
        return nullptr;
    }
    std::unique_ptr<MidiOutputPort> openOutput(int index, const juce::String&) override
    {
        opened.add("out " + juce::String(index));
        return nullptr;
    }
    juce::StringArray& opened;
    explicit SystemPorts(juce::StringArray& log) : opened(log) {}
};
} // namespace

TEST(SimulatorMidiDevices, ListedLastAndOpenedByItsIndex)
{
    juce::StringArray opened;
    auto devices = std::make_unique<SimulatorMidiDevices>(std::make_unique<SystemPorts>(opened));
    EXPECT_EQ(devices->getInputNames(), juce::StringArray({"Keys In", "Pads In", "Velkor Simulator"}));
    EXPECT_EQ(devices->getOutputNames(), juce::StringArray({"Keys Out", "Velkor Simulator"}));
    EXPECT_EQ(SimulatorMidiDevices(nullptr).getInputNames(), juce::StringArray("Velkor Simulator"));

    miditest::Receiver receiver, other;
    devices->openInput(1, "Pads In", &receiver);
    devices->openOutput(0, "Keys Out");
    EXPECT_EQ(devices->openInput(3, "Velkor Simulator", &receiver), nullptr);
    EXPECT_EQ(devices->openInput(2, "Pads In", &receiver), nullptr) << "the simulator is not \"Pads In\"";
    EXPECT_EQ(devices->openOutput(2, "Velkor Simulator"), nullptr);
    EXPECT_EQ(opened, juce::StringArray({"in 1", "out 0"})) << "system indexes go to the system";

    auto input = devices->openInput(2, "Velkor Simulator", &receiver);
    auto output = devices->openOutput(1, "Velkor Simulator");
    ASSERT_TRUE(input != nullptr && output != nullptr);
    juce::Random random(5);
    const ByteArray image = fixtures::randomModel(random).toSysExData();
    output->sendMessageNow(ProgramSysEx::programWriteMessage(image, 4));
    output->sendMessageNow(ProgramSysEx::programRequestMessage(4));
    input->start();
    ASSERT_TRUE(receiver.waitFor(1));
    EXPECT_EQ(receiver.get().front().bytes, miditest::dumpOf(image, 4));

    // The ports share the simulator, so they outlive the seam that opened them.
    devices->getSimulator().connect(other);
    devices.reset();
    input->stop();
    output->sendMessageNow(ProgramSysEx::programRequestMessage(4));
    ASSERT_TRUE(other.waitFor(1));
    EXPECT_EQ(receiver.get().size(), 1u) << "nothing after stop";
    input.reset();
    output.reset();
}
