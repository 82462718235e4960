#include "support/MidiReceiver.h"
#include "midi/ProgramMessages.h"
#include "midi/VelkorSimulator.h"
#include "support/ProgramFixtures.h"

#include <gtest/gtest.h>

using miditest::dumpOf;
using miditest::Receiver;

namespace
{
bool isGoodDump(const ByteArray& bytes)
{
    const auto m = miditest::message(bytes);
    try
    {
        return m.getSysExDataSize() == ProgramSysEx::dataSize && getSysExCommand(m) == 0x67 &&
               !decodeProgramSysEx(m).empty();
    }
    catch (const std::exception&)
    {
        return false;
    }
}

class VelkorSimulatorTest : public ::testing::Test
{
protected:
    void SetUp() override { simulator.connect(receiver); }
    void TearDown() override { simulator.disconnect(receiver); }

    void request(int number) { simulator.receive(ProgramSysEx::programRequestMessage(number)); }

    // A marker queued behind everything sent so far: once it is in, whatever they caused is in too.
    // Returns what arrived since the last call, without the marker.
    std::vector<ByteArray> repliesSoFar()
    {
        const auto marker = juce::MidiMessage::allNotesOff(16);
        const ByteArray markerBytes(marker.getRawData(), marker.getRawData() + marker.getRawDataSize());
        simulator.inject(marker);
        EXPECT_TRUE(receiver.waitUntil([&](const auto& all)
                                       { return all.size() > seen && all.back().bytes == markerBytes; }));
        const auto all = receiver.get();
        std::vector<ByteArray> fresh;
        for (std::size_t i = seen; i + 1 < all.size(); ++i)
            fresh.push_back(all[i].bytes);
        seen = all.size();
        return fresh;
    }

    VelkorSimulator simulator;
    Receiver receiver;
    std::size_t seen = 0;
};
} // namespace

TEST_F(VelkorSimulatorTest, AnswersEachProgramInOrderFromItsOwnThread)
{
    juce::Random random(17);
    const ByteArray image = fixtures::randomModel(random).toSysExData();
    simulator.receive(ProgramSysEx::programWriteMessage(image, 2));
    for (int number = 0; number < VelkorSimulator::numPrograms; ++number)
        request(number);

    ASSERT_TRUE(receiver.waitFor(5));
    const auto replies = receiver.get();
    ASSERT_EQ(replies.size(), 5u);
    for (int number = 0; number < VelkorSimulator::numPrograms; ++number)
        EXPECT_EQ(replies[static_cast<std::size_t>(number)].bytes,
                  dumpOf(number == 2 ? image : fixtures::defaultImage(), number))
            << number;
    EXPECT_EQ(receiver.callsOnMessageThread, 0);
    EXPECT_EQ(simulator.getRequestsReceived(), 5);
}

TEST_F(VelkorSimulatorTest, MalformedMessagesChangeNothingAndGetNoAnswer)
{
    juce::Random random(3);
    ByteArray image = fixtures::randomModel(random).toSysExData();
    image[6] = 1;
    const auto with = [&image](std::size_t index, std::uint8_t value)
    {
        ByteArray data = image;
        data[index] = value;
        return miditest::wrap(data);
    };
    ByteArray longer = image;
    longer.push_back(0);
    // Short, long, pad channel 17, tempo taps 5, transposition +13, a dump's and a request's command,
    // another maker, another product, program 5.
    for (const auto& bytes :
         {miditest::wrap(ByteArray(image.begin(), image.end() - 1)), miditest::wrap(longer), with(7, 16),
          with(16, 5), with(114, 25), with(3, 0x67), with(3, 0x66), with(0, 0x41), with(2, 0x27), with(6, 5),
          fixtures::fromHex("f0 47 00 26 66 00 01 05 f7"), fixtures::fromHex("f0 47 00 26 66 00 01 f7"),
          fixtures::fromHex("f0 47 00 26 66 00 01 02 00 f7"), fixtures::fromHex("f0 47 00 26 65 00 01 02 f7"),
          fixtures::fromHex("90 3c 64")})
        simulator.receive(miditest::message(bytes));

    for (int number = 0; number < VelkorSimulator::numPrograms; ++number)
    {
        ByteArray expected = fixtures::defaultImage();
        expected[6] = static_cast<std::uint8_t>(number);
        EXPECT_EQ(simulator.getProgramImage(number), expected) << number;
    }
    EXPECT_TRUE(repliesSoFar().empty());
    EXPECT_EQ(simulator.getRequestsReceived(), 0);
}

TEST_F(VelkorSimulatorTest, FaultyRepliesAreWhatTheySay)
{
    const ByteArray good = dumpOf(fixtures::defaultImage(), 3);

    simulator.setFault(VelkorSimulator::Fault::noReply);
    request(3);
    EXPECT_TRUE(repliesSoFar().empty());

    simulator.setFault(VelkorSimulator::Fault::wrongLength);
    request(3);
    auto replies = repliesSoFar();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(miditest::message(replies[0]).getSysExDataSize(), 116);
    EXPECT_TRUE(std::equal(good.begin(), good.end() - 1, replies[0].begin()));

    simulator.setFault(VelkorSimulator::Fault::corruptValue);
    request(3);
    replies = repliesSoFar();
    ASSERT_EQ(replies.size(), 1u);
    ASSERT_EQ(replies[0].size(), good.size());
    EXPECT_FALSE(isGoodDump(replies[0]));
    EXPECT_EQ(std::inner_product(good.begin(), good.end(), replies[0].begin(), 0, std::plus<>(),
                                 std::not_equal_to<>()),
              1)
        << "one byte out of range, the header intact";

    simulator.setFault(VelkorSimulator::Fault::none);
    simulator.setReplyDelay(60);
    const auto asked = std::chrono::steady_clock::now();
    request(3);
    ASSERT_TRUE(receiver.waitFor(seen + 1));
    EXPECT_GE(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(60));
    EXPECT_EQ(receiver.get().back().bytes, good);
}

TEST_F(VelkorSimulatorTest, AProgramsOwnFaultOverridesTheOneForAll)
{
    simulator.setFault(VelkorSimulator::Fault::noReply);
    simulator.setFault(2, VelkorSimulator::Fault::none);
    simulator.setFault(4, VelkorSimulator::Fault::corruptValue);
    simulator.setFault(7, VelkorSimulator::Fault::none);
    for (int number = 0; number < VelkorSimulator::numPrograms; ++number)
        request(number);
    auto replies = repliesSoFar();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0], dumpOf(fixtures::defaultImage(), 2));
    EXPECT_FALSE(isGoodDump(replies[1]));
    EXPECT_EQ(simulator.getFault(7), VelkorSimulator::Fault::noReply);

    simulator.clearSlotFaults();
    request(2);
    EXPECT_TRUE(repliesSoFar().empty());
    EXPECT_EQ(simulator.getFault(), VelkorSimulator::Fault::noReply);
}

TEST_F(VelkorSimulatorTest, ChangesValueStoresAnotherValidTempoAndAnswersWellFormed)
{
    // The tempo's two bytes, as written and as the faulty controller keeps them.
    const struct
    {
        std::uint8_t high, low, storedHigh, storedLow;
    } cases[] = {{1, 0, 1, 1}, {0, 127, 1, 0}, {1, 127, 1, 126}, {0, 0, 0, 1}};
    simulator.setFault(VelkorSimulator::Fault::changesValue);
    simulator.setFault(1, VelkorSimulator::Fault::none);
    for (const auto& c : cases)
    {
        ByteArray image = fixtures::defaultImage();
        image[17] = c.high;
        image[18] = c.low;
        for (const int number : {1, 3})
        {
            simulator.receive(ProgramSysEx::programWriteMessage(image, number));
            ByteArray expected = image;
            expected[ProgramSysEx::programNumberDataIndex] = static_cast<std::uint8_t>(number);
            if (number == 3)
                expected[17] = c.storedHigh, expected[18] = c.storedLow;
            EXPECT_EQ(simulator.getProgramImage(number), expected) << int(c.high) << " " << int(c.low);
            request(number);
            const auto replies = repliesSoFar();
            ASSERT_EQ(replies.size(), 1u);
            EXPECT_EQ(replies[0], dumpOf(expected, number));
            EXPECT_TRUE(isGoodDump(replies[0]));
        }
    }
}

TEST_F(VelkorSimulatorTest, FloodMixesGoodDumpsWithEverythingElse)
{
    simulator.setFault(VelkorSimulator::Fault::flood);
    simulator.setFloodSize(120);
    request(1);
    ASSERT_TRUE(receiver.waitFor(120));

    int good = 0, notes = 0, badSysEx = 0, partial = 0;
    for (const auto& [bytes, isPartial] : receiver.get())
    {
        if (isPartial)
            partial += bytes.front() == 0xf0 && bytes.back() != 0xf7 ? 1 : 0;
        else if (isGoodDump(bytes))
            good += bytes == dumpOf(fixtures::defaultImage(), 1) ? 1 : 0;
        else
            (miditest::message(bytes).isSysEx() ? badSysEx : notes) += 1;
    }
    EXPECT_EQ(receiver.get().size(), 120u);
    EXPECT_EQ(good, 20);
    EXPECT_EQ(partial, 20);
    EXPECT_EQ(badSysEx, 60);
    EXPECT_EQ(notes, 20);
    EXPECT_FALSE(isGoodDump(receiver.get().front().bytes)) << "the burst does not open with a good dump";
}

TEST(VelkorSimulator, DisconnectingWhileAFloodIsInFlightIsSafe)
{
    VelkorSimulator simulator;
    simulator.setFault(VelkorSimulator::Fault::flood);
    simulator.setFloodSize(20000);
    simulator.setReplyDelay(0);
    Receiver watched, later;
    auto deleted = std::make_unique<Receiver>();
    simulator.connect(watched);
    simulator.connect(*deleted);
    simulator.receive(ProgramSysEx::programRequestMessage(0));

    ASSERT_TRUE(deleted->waitFor(50));
    simulator.disconnect(*deleted);
    deleted.reset();
    simulator.disconnect(watched);
    watched.disconnected = true;
    simulator.connect(later);
    EXPECT_TRUE(later.waitFor(50)) << "the flood went on past the disconnects";
    simulator.disconnect(later);
    EXPECT_EQ(watched.callsAfterDisconnect, 0);
}

TEST(VelkorSimulator, CallbackMayDisconnectItselfAndStoppingDoesNotWaitForQueuedReplies)
{
    struct Leaving : Receiver
    {
        explicit Leaving(VelkorSimulator& s) : simulator(s) {}
        void handleIncomingMidiMessage(juce::MidiInput* source, const juce::MidiMessage& m) override
        {
            Receiver::handleIncomingMidiMessage(source, m);
            simulator.disconnect(*this);
        }
        VelkorSimulator& simulator;
    };

    auto simulator = std::make_unique<VelkorSimulator>();
    Leaving leaving(*simulator);
    Receiver staying;
    simulator->connect(leaving);
    simulator->connect(staying);
    for (int number = 0; number < 3; ++number)
        simulator->receive(ProgramSysEx::programRequestMessage(number));
    ASSERT_TRUE(staying.waitFor(3));
    EXPECT_EQ(leaving.get().size(), 1u);

    simulator->setReplyDelay(60000);
    simulator->receive(ProgramSysEx::programRequestMessage(4));
    const auto stopping = std::chrono::steady_clock::now();
    simulator.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(1));
}
