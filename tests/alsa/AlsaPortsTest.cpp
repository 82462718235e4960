#include "support/TestSupport.h"
#include "app/VelkorEditorApplication.h"
#include "app/CommandIds.h"
#include "midi/JuceMidiDevices.h"
#include "tools/LibrarianWindow.h"
#include "support/ProgramFixtures.h"
#include "model/ProgramSysEx.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fstream>

using testsupport::pumpMessages;

namespace
{
const juce::String port = "Velkor MIDI 1";

// ThreadSanitizer makes each load of a program into the window some fifty times slower.
#if defined(__SANITIZE_THREAD__)
constexpr int roundTrips = 200;
#else
constexpr int roundTrips = 1000;
#endif

ProgramValues randomValues(juce::Random& random)
{
    const ByteArray image = fixtures::randomModel(random).toSysExData();
    return decodeProgramSysExData(image.data(), int(image.size()));
}

// The editor on JUCE's real ALSA MIDI code, with the sequencer stand-in preloaded underneath.
class AlsaPorts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Without it JUCE would reach for a sequencer that is not there; a skip would pass unseen.
        if (dlsym(RTLD_DEFAULT, "velkor_seq_stand_in") == nullptr)
            FAIL() << "the sequencer stand-in is not preloaded: run with LD_PRELOAD naming "
                      "libvelkor_seq_stand_in.so (ctest sets it)";
        state = juce::File::createTempFile("seq");
        ASSERT_TRUE(state.createDirectory());
        setenv("VELKOR_SEQ_STATE", state.getFullPathName().toRawUTF8(), 1);
        setenv("VELKOR_SEQ_DEVICES", "Velkor", 1);

        app = std::make_unique<VelkorEditorApplication>();
        app->quitAction = [] {};
        app->setDevices(std::make_unique<JuceMidiDevices>());
        UserMessage::setHandler([this](const juce::String& text) { messages.add(text); });
        app->initialiseWithArguments({});
        pumpMessages();
    }

    void TearDown() override
    {
        if (app != nullptr)
            app->shutdown();
        app.reset();
        UserMessage::setHandler(nullptr);
        state.deleteRecursively();
    }

    MainWindowManager& manager() { return app->getWindowManager(); }
    EditorController& controller(int window) { return manager().getWindows()[window]->getController(); }
    juce::File device(int number) { return state.getChildFile("device-" + juce::String(number)); }

    // What the device setup window hands over after the given choices, APPLY or OK each.
    void choose(int times)
    {
        juce::StringArray chosen;
        for (int i = 0; i < times; ++i)
        {
            chosen.add(port);
            manager().applyDeviceNames(chosen, chosen);
        }
    }

    // Bounded: the stand-in answers at once, so a second is plenty.
    bool takesDump(int window, int milliseconds = 1000)
    {
        for (int waited = 0; waited < milliseconds && controller(window).isAwaitingReply(); waited += 2)
            pumpMessages(2);
        return !controller(window).isAwaitingReply();
    }

    std::unique_ptr<VelkorEditorApplication> app;
    juce::File state;
    juce::StringArray messages;
};

TEST_F(AlsaPorts, TheInputListensAfterEveryReopen)
{
    // One choice, APPLY then OK, and a third choice of the same port: each reopens the input.
    for (int choices = 1; choices <= 3; ++choices)
    {
        SCOPED_TRACE("choices: " + std::to_string(choices));
        choose(choices);
        controller(0).requestProgram(2);
        EXPECT_TRUE(takesDump(0)) << "the dump of program 2 was never taken";
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.joinIntoString("\n");
}

TEST_F(AlsaPorts, SendAndGetCarryTheProgramAcrossWindows)
{
    choose(1);
    juce::Random random(12);
    controller(0).applyProgramValues(randomValues(random), false);
    controller(0).sendProgram(3);
    const juce::File slot = device(1).getChildFile("slot-3.vkr");
    ASSERT_TRUE(slot.existsAsFile());
    juce::MemoryBlock stored;
    slot.loadFileAsData(stored);
    const ByteArray image = controller(0).getProgramImage();
    EXPECT_TRUE(
        std::equal(image.begin() + 7, image.end(), static_cast<const std::uint8_t*>(stored.getData()) + 8))
        << "the controller stored other values";

    manager().newWindow();
    controller(1).requestProgram(3);
    ASSERT_TRUE(takesDump(1));
    EXPECT_EQ(controller(1).getProgramImage(), image);
}

TEST_F(AlsaPorts, OfTwoDevicesWithOneNameTheLaterStaysOpen)
{
    setenv("VELKOR_SEQ_DEVICES", "Velkor;Velkor", 1);
    choose(1);
    controller(0).sendProgram(1);
    EXPECT_FALSE(device(1).getChildFile("slot-1.vkr").exists());
    EXPECT_TRUE(device(2).getChildFile("slot-1.vkr").existsAsFile());
    controller(0).requestProgram(1);
    EXPECT_TRUE(takesDump(0));
    EXPECT_FALSE(device(1).getChildFile("received").exists()) << "the earlier device was asked too";
}

TEST_F(AlsaPorts, UnpluggedWhileOpenThenPluggedBackAndChosenAgain)
{
    choose(1);
    ASSERT_TRUE(device(1).createDirectory());
    ASSERT_TRUE(device(1).getChildFile("unplugged").create());
    controller(0).requestProgram(1);
    controller(0).sendProgram(2);
    EXPECT_FALSE(takesDump(0, 300));

    ASSERT_TRUE(device(1).getChildFile("unplugged").deleteFile());
    choose(1);
    controller(0).requestProgram(1);
    EXPECT_TRUE(takesDump(0));
}

TEST_F(AlsaPorts, AnIndexThatNamesAnotherPortSinceTheListingIsRefused)
{
    setenv("VELKOR_SEQ_DEVICES", "Velkor;Other", 1);
    JuceMidiDevices devices;
    const int index = devices.getInputNames().indexOf(port);
    ASSERT_GE(index, 0);
    ASSERT_EQ(devices.getOutputNames().indexOf(port), index);
    // Both are unplugged and plugged back in the other order between the listing and the opening.
    setenv("VELKOR_SEQ_DEVICES", "Other;Velkor", 1);
    EXPECT_EQ(devices.openInput(index, port, &manager()), nullptr);
    EXPECT_EQ(devices.openOutput(index, port), nullptr);
    EXPECT_NE(devices.openInput(index + 1, port, &manager()), nullptr);
    EXPECT_NE(devices.openOutput(index + 1, port), nullptr);
}

TEST_F(AlsaPorts, AThousandRoundTripsLoseNone)
{
    choose(2);
    juce::Random random(7);
    std::array<ByteArray, 5> sent;
    for (int slot = 0; slot < 5; ++slot)
    {
        controller(0).applyProgramValues(randomValues(random), false);
        controller(0).sendProgram(slot);
        sent[std::size_t(slot)] = controller(0).getProgramImage();
    }
    int lost = 0, wrong = 0;
    for (int trip = 0; trip < roundTrips; ++trip)
    {
        const int slot = trip % 5;
        controller(0).requestProgram(slot);
        if (!takesDump(0))
            ++lost;
        else if (controller(0).getProgramImage() != sent[std::size_t(slot)])
            ++wrong;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(wrong, 0);
}

TEST_F(AlsaPorts, TheLibrarianReadsAndVerifiesThroughRealPortsAndNamesEachFault)
{
    choose(1);
    app->getCommandManager()->invokeDirectly(CommandIds::librarian, false);
    auto* window = dynamic_cast<LibrarianWindow*>(manager().librarianWindow.get());
    ASSERT_NE(window, nullptr);
    Librarian& librarian = window->getLibrarian();
    const auto finish = [&librarian]
    {
        for (int i = 0; i < 1000 && librarian.isBusy(); ++i)
            pumpMessages(10);
        return !librarian.isBusy();
    };
    const juce::File fault = device(1).getChildFile("fault");
    ASSERT_TRUE(device(1).createDirectory());

    ASSERT_TRUE(fault.replaceWithText("silent slot 2\ncorrupt slot 3\n"));
    librarian.readAll();
    ASSERT_TRUE(finish());
    using State = Librarian::State;
    const State expected[] = {State::read, State::noAnswer, State::badDump, State::read, State::read};
    for (int i = 0; i < Librarian::numRows; ++i)
        EXPECT_EQ(librarian.getRow(i).state, expected[i]) << Librarian::rowName(i);
    EXPECT_TRUE(librarian.describeState(2).startsWith("bad dump: offset ")) << librarian.describeState(2);

    // A controller that keeps another tempo than it was sent: only the read-back shows it.
    ASSERT_TRUE(fault.replaceWithText("change\n"));
    librarian.sendHere(3);
    ASSERT_TRUE(finish());
    EXPECT_EQ(librarian.getRow(3).state, State::differs);
    ASSERT_EQ(librarian.getRow(3).differences.size(), 1);
    EXPECT_TRUE(librarian.getRow(3).differences[0].startsWith("Arpeggiator TEMPO: 128 -> 129"))
        << librarian.getRow(3).differences[0];

    ASSERT_TRUE(fault.replaceWithText("none\n"));
    librarian.sendHere(3);
    ASSERT_TRUE(finish());
    EXPECT_EQ(librarian.getRow(3).state, State::verified);

    juce::StringArray log;
    for (const auto& entry : librarian.getLog().getEntries())
        log.add(entry.port + ": " + entry.description);
    EXPECT_TRUE(log.contains("Velkor MIDI 1: program write, slot 4")) << log.joinIntoString("\n");
    EXPECT_TRUE(messages.isEmpty()) << messages.joinIntoString("\n");
}
} // namespace
