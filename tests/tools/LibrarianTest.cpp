#include "support/ApplicationFixture.h"
#include "midi/ProgramMessages.h"
#include "app/CommandIds.h"
#include "app/VelkorEditorApplication.h"
#include "model/ProgramImage.h"
#include "model/ProgramText.h"
#include "midi/SimulatorMidiDevices.h"
#include "model/ProgramFile.h"
#include "support/ProgramFixtures.h"
#include "model/SlotFolder.h"
#include "model/SysExFile.h"
#include "tools/LibrarianWindow.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

namespace
{
ByteArray randomProgram(int seed)
{
    juce::Random random(seed);
    return fixtures::randomModel(random).toSysExData();
}

juce::MidiMessage sysEx(const ByteArray& data)
{
    return juce::MidiMessage::createSysExMessage(data.data(), static_cast<int>(data.size()));
}

TEST(MidiLog, DescribesEachMessageAsAMusicianReadsIt)
{
    const ByteArray program = ProgramModel::makeDefault().toSysExData();
    ByteArray dump = program;
    dump[3] = ProgramSysEx::programDumpCommand;
    dump[6] = 2;
    ByteArray badDump = dump;
    badDump.at(ProgramSysEx::dataSize - 1) = 25; // the transposition one above its range
    ByteArray longDump = dump;
    longDump.push_back(0);
    const std::pair<juce::MidiMessage, const char*> cases[] = {
        {ProgramSysEx::programRequestMessage(2), "program request, slot 2"},
        {ProgramSysEx::programRequestMessage(0), "program request, RAM"},
        {sysEx(dump), "program dump, slot 2"},
        {sysEx(badDump), "program dump, slot 2, with a value out of range"},
        {sysEx(longDump), "program dump, slot 2, 116 data bytes instead of 115"},
        {ProgramSysEx::programWriteMessage(program, 0), "program write, RAM"},
        {sysEx({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), "SysEx, 12 bytes, not a Velkor message"},
        {juce::MidiMessage::noteOn(1, 60, static_cast<juce::uint8>(100)),
         "Note On, channel 1, note 60 (C4), velocity 100"},
        {juce::MidiMessage::controllerEvent(16, 7, 99), "Control Change, channel 16, CC 7, value 99"},
    };
    for (const auto& [message, expected] : cases)
        EXPECT_EQ(MidiLog::describe(message), expected);

    MidiLog log;
    for (int i = 0; i < 600; ++i)
        log.add(i % 2 == 0, "Port", juce::MidiMessage::controllerEvent(1, 1, i % 128));
    const auto entries = log.getEntries();
    ASSERT_EQ(entries.size(), MidiLog::capacity) << "the oldest drop off";
    EXPECT_EQ(entries.front().description,
              "Control Change, channel 1, CC 1, value " + juce::String(100 % 128));
    const juce::StringArray lines = juce::StringArray::fromLines(log.toText().trimEnd());
    EXPECT_EQ(lines.size(), 500);
    EXPECT_TRUE(lines[499].endsWith("\tOUT\tPort\t3 bytes\tControl Change, channel 1, CC 1, value " +
                                    juce::String(599 % 128)))
        << lines[499];
}

// The editor with the simulated controller chosen in Device Setup, and the Librarian open.
class LibrarianTest : public ApplicationFixture
{
protected:
    void SetUp() override
    {
        ApplicationFixture::SetUp();
        simulator = useSimulator();
        simulator->setReplyDelay(0);
        app->initialiseWithArguments({});
        if (choosePorts)
            manager().applyDeviceNames({VelkorSimulator::deviceName}, {VelkorSimulator::deviceName});
        invoke(CommandIds::librarian);
    }

    LibrarianWindow* window() { return dynamic_cast<LibrarianWindow*>(manager().librarianWindow.get()); }
    Librarian& librarian() { return window()->getLibrarian(); }

    bool waitUntilIdle()
    {
        pumpMessages(); // a click arrives through the message loop
        // Long enough for a restore that finds no slot answering before it writes, nor after.
        for (int i = 0; i < 1500 && librarian().isBusy(); ++i)
            pumpMessages(10);
        pumpMessages();
        return !librarian().isBusy();
    }

    ByteArray slotFile(int program) const
    {
        return ProgramImage::fromData(simulator->getProgramImage(program));
    }

    std::shared_ptr<VelkorSimulator> simulator;
    bool choosePorts = true;
};

class LibrarianWithoutPortsTest : public LibrarianTest
{
protected:
    void SetUp() override
    {
        choosePorts = false;
        LibrarianTest::SetUp();
    }
};
} // namespace

TEST_F(LibrarianTest, ReadAllGivesEachRowItsStateSummaryAndComparison)
{
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->getName(), "Librarian");
    simulator->receive(ProgramSysEx::programWriteMessage(randomProgram(1), 1));
    simulator->setFault(2, VelkorSimulator::Fault::noReply);
    simulator->setFault(3, VelkorSimulator::Fault::corruptValue);

    window()->getPanel().readAllButton.triggerClick();
    ASSERT_TRUE(waitUntilIdle());

    using State = Librarian::State;
    const State expected[] = {State::read, State::noAnswer, State::badDump, State::read, State::read};
    for (int i = 0; i < Librarian::numRows; ++i)
        EXPECT_EQ(librarian().getRow(i).state, expected[i]) << Librarian::rowName(i);
    EXPECT_EQ(librarian().describeState(1), "no answer within 2 seconds");
    EXPECT_TRUE(librarian().describeState(2).startsWith("bad dump: offset 115: byte 0x19 is outside"))
        << librarian().describeState(2);
    EXPECT_EQ(librarian().getStatus(), "Read All: 3 of 5 read, 1 without an answer, 1 bad dump.");

    EXPECT_EQ(*librarian().getRow(0).image, slotFile(1));
    EXPECT_EQ(librarian().summarise(3), "pads ch 1, keys ch 1, tempo 128, arp OFF, A1 44 (G#2)");
    EXPECT_EQ(librarian().compareWithWindow(3), "same as the window");
    const auto differences = ProgramText::diff(slotFile(1), ProgramImage::makeDefault());
    ASSERT_FALSE(differences.isEmpty());
    EXPECT_EQ(librarian().compare(0), differences);
    EXPECT_EQ(librarian().compareWithWindow(0), juce::String(differences.size()) + " values differ");
    EXPECT_EQ(window()->getPanel().rows[0].against.getText(), librarian().compareWithWindow(0));

    // Escape only hides it: the command brings back the same one, rows and all.
    LibrarianWindow* const shown = window();
    EXPECT_TRUE(static_cast<juce::Component*>(shown)->keyPressed(juce::KeyPress(juce::KeyPress::escapeKey)));
    EXPECT_FALSE(shown->isVisible());
    invoke(CommandIds::librarian);
    EXPECT_EQ(window(), shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(librarian().getRow(1).state, State::noAnswer);

    // The log holds each request and each answer, in order.
    juce::StringArray log;
    for (const auto& entry : librarian().getLog().getEntries())
        log.add((entry.incoming ? "IN " : "OUT ") + entry.description);
    EXPECT_EQ(
        log.joinIntoString("|"),
        "OUT program request, slot 1|IN program dump, slot 1|OUT program request, slot 2|"
        "OUT program request, slot 3|IN program dump, slot 3, with a value out of range|"
        "OUT program request, slot 4|IN program dump, slot 4|OUT program request, RAM|IN program dump, RAM");
}

TEST_F(LibrarianTest, SendHereVerifiesWhatTheControllerKept)
{
    const ByteArray program = randomProgram(7);
    const struct
    {
        VelkorSimulator::Fault fault;
        Librarian::State state;
        bool writeAnyway = true;
    } cases[] = {{VelkorSimulator::Fault::none, Librarian::State::verified},
                 {VelkorSimulator::Fault::changesValue, Librarian::State::differs},
                 {VelkorSimulator::Fault::noReply, Librarian::State::noAnswer, false},
                 {VelkorSimulator::Fault::noReply, Librarian::State::unverified}};
    mainWindow().getController().applyProgramValues(decodeProgramSysExData(program.data(), 115), false);
    for (const auto& c : cases)
    {
        simulator->setFault(c.fault);
        answer = c.writeAnyway;
        questions.clear();
        const ByteArray before = slotFile(2);
        librarian().sendHere(1);
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(librarian().getRow(1).state, c.state);
        // What a silent slot holds cannot be kept, so the write waits for a yes.
        EXPECT_EQ(questions.joinIntoString("|"),
                  c.fault == VelkorSimulator::Fault::noReply
                      ? "PROGRAM 2 did not answer within 2 seconds; what it holds cannot be kept. Write over "
                        "it anyway?"
                      : "");
        if (!c.writeAnyway)
        {
            EXPECT_EQ(slotFile(2), before);
            EXPECT_EQ(librarian().getStatus(), "Nothing was written to PROGRAM 2.");
        }
        else if (c.state == Librarian::State::verified)
            EXPECT_EQ(slotFile(2), ProgramImage::fromData(mainWindow().getProgramImage()));
        else if (c.state == Librarian::State::unverified)
            EXPECT_EQ(librarian().getStatus(), "PROGRAM 2 was written, but could not be read back to verify "
                                               "it: no answer within 2 seconds.");
        else
        {
            ASSERT_EQ(librarian().getRow(1).differences.size(), 1);
            EXPECT_TRUE(librarian().getRow(1).differences[0].startsWith("Arpeggiator TEMPO: "));
            EXPECT_TRUE(
                librarian().describeState(1).startsWith("written, but reads back with 1 value changed"));
        }
    }
}

TEST_F(LibrarianTest, OpenMakesAWindowOfTheRowsProgramAndAWaitingWindowStillTakesTheDump)
{
    simulator->receive(ProgramSysEx::programWriteMessage(randomProgram(3), 2));
    // A window asked for program 4 and got no answer; it keeps waiting.
    simulator->setFault(VelkorSimulator::Fault::noReply);
    mainWindow().getController().requestProgram(4);
    simulator->setFault(VelkorSimulator::Fault::none);

    librarian().readAll();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_FALSE(mainWindow().getController().isAwaitingReply());
    EXPECT_EQ(ProgramImage::fromData(mainWindow().getProgramImage()), slotFile(1))
        << "the first dump to arrive, whoever asked for it";

    librarian().open(1);
    pumpMessages();
    ASSERT_EQ(manager().getWindows().size(), 2);
    EXPECT_EQ(ProgramImage::fromData(mainWindow(1).getProgramImage()), slotFile(2));
    EXPECT_EQ(mainWindow(1).getName(), "Velkor Editor - Untitled2");
    EXPECT_FALSE(mainWindow(1).getController().canUndo()) << "the program it opens with is not a step";
}

TEST_F(LibrarianTest, BackUpAndRestoreMoveAllFourSlotsOrNone)
{
    for (int slot = 1; slot <= 4; ++slot)
        simulator->receive(ProgramSysEx::programWriteMessage(randomProgram(10 + slot), slot));

    // A slot that does not answer: no file at all.
    simulator->setFault(4, VelkorSimulator::Fault::noReply);
    librarian().backUpTo(folder);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(folder.getNumberOfChildFiles(juce::File::findFiles), 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Nothing was backed up")) << messages[0];

    simulator->clearSlotFaults();
    librarian().backUpTo(folder);
    ASSERT_TRUE(waitUntilIdle());
    ByteArray saved[4];
    for (int slot = 1; slot <= 4; ++slot)
    {
        juce::String problem;
        const auto image = ProgramFile::readImage(SlotFolder::slotFile(folder, slot), problem);
        ASSERT_TRUE(image.has_value()) << problem;
        saved[slot - 1] = *image;
        EXPECT_EQ(saved[slot - 1], slotFile(slot));
    }

    // Another set on the controller; a backup folder with one bad file is refused whole.
    for (int slot = 1; slot <= 4; ++slot)
        simulator->receive(ProgramSysEx::programWriteMessage(randomProgram(20 + slot), slot));
    const ByteArray before = simulator->getProgramImage(1);
    ByteArray broken = saved[2];
    broken[30] = 0x7f; // pad A1's trigger type
    ASSERT_TRUE(SlotFolder::slotFile(folder, 3).replaceWithData(broken.data(), broken.size()));
    messages.clear();
    librarian().restoreFrom(folder);
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("slot-3.vkr") && messages[0].contains("offset 30")) << messages[0];
    EXPECT_TRUE(questions.isEmpty()) << "nothing to ask about";
    EXPECT_EQ(simulator->getProgramImage(1), before);

    // Mended, asked, refused, then asked and restored and verified.
    ASSERT_TRUE(SlotFolder::slotFile(folder, 3).replaceWithData(saved[2].data(), saved[2].size()));
    answer = false;
    librarian().restoreFrom(folder);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(simulator->getProgramImage(1), before);
    answer = true;
    librarian().restoreFrom(folder);
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[1].contains("over PROGRAM 1 to 4")) << questions[1];
    for (int slot = 1; slot <= 4; ++slot)
    {
        EXPECT_EQ(slotFile(slot), saved[slot - 1]);
        EXPECT_EQ(librarian().getRow(slot - 1).state, Librarian::State::verified);
    }
    EXPECT_TRUE(librarian().getStatus().startsWith("PROGRAM 1 to 4 restored")) << librarian().getStatus();

    // The same four as one .syx bank of writes addressed to their slots, and back from it.
    const juce::File bank = folder.getChildFile("Bank.syx");
    librarian().backUpTo(bank);
    ASSERT_TRUE(waitUntilIdle());
    juce::String problem;
    const auto contents = SysExFile::read(bank, problem);
    ASSERT_TRUE(contents.has_value()) << problem;
    ASSERT_EQ(contents->programs.size(), 4u);
    std::vector<ByteArray> written;
    for (const auto& p : contents->programs)
    {
        EXPECT_EQ(p.command, ProgramSysEx::programWriteCommand);
        EXPECT_EQ(ProgramImage::fromData(p.data), saved[p.programNumber - 1]);
        written.push_back(SysExFile::writeMessage(p.data, p.programNumber));
    }
    ByteArray dump4 = written[3];
    dump4[4] = ProgramSysEx::programDumpCommand;
    const ByteArray foreign{0xf0, 0x41, 0x10, 0xf7};
    const std::pair<std::vector<ByteArray>, const char*> banks[] = {
        {{written[0], written[1], written[2], written[1]},
         "Bank.syx, message 4 at offset 351: a second program for PROGRAM 2"},
        {{written[0], written[1], written[2], written[3],
          SysExFile::writeMessage(contents->programs[0].data, 0)},
         "Bank.syx, message 5 at offset 468: a program for RAM"},
        {{written[0], written[1], written[2]}, "Bank.syx holds no program for PROGRAM 4"},
        {{dump4, foreign, written[2], written[1], written[0]}, nullptr}};
    for (const auto& [messagesInFile, refusal] : banks)
    {
        for (int slot = 1; slot <= 4; ++slot)
            simulator->receive(ProgramSysEx::programWriteMessage(randomProgram(40 + slot), slot));
        const ByteArray other = slotFile(1);
        ASSERT_TRUE(SysExFile::write(bank, messagesInFile, problem)) << problem;
        messages.clear();
        librarian().restoreFrom(bank);
        ASSERT_TRUE(waitUntilIdle());
        if (refusal != nullptr)
        {
            ASSERT_EQ(messages.size(), 1);
            EXPECT_TRUE(messages[0].contains(refusal)) << messages[0];
            EXPECT_EQ(slotFile(1), other);
            continue;
        }
        EXPECT_TRUE(messages.isEmpty()) << messages[0];
        for (int slot = 1; slot <= 4; ++slot)
            EXPECT_EQ(slotFile(slot), saved[slot - 1]);
    }

    // The controller takes slot 1's write and then goes silent: slot 1 is named as overwritten.
    simulator->receive(ProgramSysEx::programWriteMessage(randomProgram(31), 2));
    const ByteArray keptSlot2 = slotFile(2);
    simulator->setFault(VelkorSimulator::Fault::noReply);
    messages.clear();
    librarian().restoreFrom(folder);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(slotFile(1), saved[0]);
    EXPECT_EQ(slotFile(2), keptSlot2);
    EXPECT_EQ(librarian().describeState(0), "written, not verified: no answer within 2 seconds");
    EXPECT_EQ(librarian().getStatus(), "Restore: 0 of 4 slots verified. Written, not verified: PROGRAM 1. "
                                       "Not written, unchanged: PROGRAM 2, 3 and 4.");
    EXPECT_EQ(questions[questions.size() - 1], "PROGRAM 1, 2, 3 and 4 did not answer within 2 seconds; what "
                                               "they hold cannot be kept. Write over them anyway?");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("stopped answering.\n\nWritten, not verified: PROGRAM 1.\n"
                                     "Not written, unchanged: PROGRAM 2, 3 and 4."))
        << messages[0];
}

TEST_F(LibrarianTest, PutBackWritesAgainWhatSendHereWroteOver)
{
    simulator->receive(ProgramSysEx::programWriteMessage(randomProgram(5), 2));
    const ByteArray original = slotFile(2);
    LibrarianComponent& panel = window()->getPanel();
    panel.refresh();
    EXPECT_FALSE(panel.putBackButton.isEnabled()) << "nothing kept yet";

    panel.rows[1].sendHere.triggerClick();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(librarian().getRow(1).state, Librarian::State::verified);
    ASSERT_NE(slotFile(2), original);
    EXPECT_TRUE(panel.putBackButton.isEnabled());

    panel.putBackButton.triggerClick();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(slotFile(2), original);
    EXPECT_EQ(librarian().getRow(1).state, Librarian::State::verified);
    EXPECT_EQ(librarian().getStatus(), "PROGRAM 2 put back as it was before Send Here, and verified.");

    // The note comes between the read that kept it and the write over it.
    juce::StringArray log;
    for (const auto& entry : librarian().getLog().getEntries())
        log.add(entry.note ? "NOTE " + entry.description : entry.description);
    EXPECT_EQ(log.joinIntoString("|"),
              "program request, slot 2|program dump, slot 2|NOTE kept PROGRAM 2 before Send Here: " +
                  librarian().summarise(1) +
                  "|program write, slot 2|program request, slot 2|program dump, slot 2|"
                  "program write, slot 2|program request, slot 2|program dump, slot 2");
    EXPECT_TRUE(
        librarian().getLog().toText().contains("\tNOTE\t\t\tkept PROGRAM 2 before Send Here: pads ch "));
}

TEST_F(LibrarianWithoutPortsTest, ItOpensDeviceSetupAndOnceClosedWatchesNothing)
{
    EXPECT_NE(manager().deviceWindow, nullptr);
    EXPECT_TRUE(manager().hasMidiMonitor());
    manager().deviceWindow.reset();
    librarian().readAll();
    EXPECT_FALSE(librarian().isBusy());
    EXPECT_NE(manager().deviceWindow, nullptr);

    window()->closeButtonPressed();
    pumpMessages();
    EXPECT_EQ(window(), nullptr);
    EXPECT_FALSE(manager().hasMidiMonitor());
}
