#include "support/ApplicationFixture.h"
#include "app/VelkorEditorApplication.h"
#include "midi/DeviceManagerWindow.h"
#include "midi/SimulatorMidiDevices.h"
#include "support/ProgramFixtures.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

namespace
{
// The editor with the simulated controller as its only device, used through the device setup window.
class SimulatorLinkTest : public ApplicationFixture
{
protected:
    void SetUp() override
    {
        ApplicationFixture::SetUp();
        simulator = useSimulator();
        start();
    }

    DeviceManagerWindow* deviceWindow()
    {
        return dynamic_cast<DeviceManagerWindow*>(app->getWindowManager().deviceWindow.get());
    }

    void chooseSimulatorAndApply()
    {
        DeviceManagerWindow* window = deviceWindow();
        ASSERT_NE(window, nullptr);
        window->panel.inputList->selectRow(0);
        window->panel.outputList->selectRow(0);
        window->panel.applyButton->triggerClick();
        pumpMessages();
    }

    // Waits, bounded, for the simulator's reply to land.
    bool waitUntil(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 200 && !condition(); ++i)
            pumpMessages(10);
        return condition();
    }

    std::shared_ptr<VelkorSimulator> simulator;
};
} // namespace

TEST_F(SimulatorLinkTest, ARequestWithoutAnOutputOpensDeviceSetupAndIsAnsweredAfterApply)
{
    MainWindowManager& manager = app->getWindowManager();
    manager.getFromHardware(3);
    EditorController& waiting = manager.getWindows()[0]->getController();
    EXPECT_TRUE(waiting.isAwaitingReply());
    ASSERT_NE(deviceWindow(), nullptr) << "no output: the device setup window opens instead";
    EXPECT_EQ(deviceWindow()->panel.inputModel.deviceNames, juce::StringArray("Velkor Simulator"));

    // Asked for again behind a newer window: the same one window comes to the front.
    DeviceManagerWindow* const shown = deviceWindow();
    manager.newWindow();
    pumpMessages();
    auto& desktop = juce::Desktop::getInstance();
    ASSERT_NE(desktop.getComponent(desktop.getNumComponents() - 1), shown);
    app->showDeviceSetup();
    EXPECT_EQ(deviceWindow(), shown) << "one window";
    EXPECT_EQ(desktop.getComponent(desktop.getNumComponents() - 1), shown) << "brought to front";

    chooseSimulatorAndApply();
    EXPECT_TRUE(manager.hasMidiInput());
    EXPECT_TRUE(app->hasMidiOutput());

    // The first request never left the editor, yet the next dump to arrive is taken without a new
    // one: here another window's request makes the simulator send it.
    MainWindow* other = manager.newWindow();
    pumpMessages();
    other->getController().requestProgram(3);
    ASSERT_TRUE(waitUntil([&] { return !waiting.isAwaitingReply(); }));
    EXPECT_FALSE(other->getController().isAwaitingReply()) << "both waiting windows take the dump";
    pumpMessages();
    EXPECT_EQ(waiting.getProgramImage(), fixtures::defaultImage());
}

TEST_F(SimulatorLinkTest, AProgramSentToASlotComesBackIntoAFreshWindow)
{
    app->showDeviceSetup();
    chooseSimulatorAndApply();
    MainWindowManager& manager = app->getWindowManager();

    juce::Random random(31);
    ProgramModel program = fixtures::randomModel(random);
    program.setGlobal(ProgramModel::arpTempo, 99);
    const ByteArray image = program.toSysExData();
    EditorController& first = manager.getWindows()[0]->getController();
    first.applyProgramValues(decodeProgramSysExData(image.data(), int(image.size())), false);
    pumpMessages();
    first.sendProgram(2);

    MainWindow* fresh = manager.newWindow();
    pumpMessages();
    fresh->getController().requestProgram(2);
    ASSERT_TRUE(waitUntil([&] { return !fresh->getController().isAwaitingReply(); }));
    pumpMessages();
    EXPECT_EQ(fresh->getProgramImage(), image);

    simulator->setFault(VelkorSimulator::Fault::corruptValue);
    fresh->getController().requestProgram(2);
    ASSERT_TRUE(waitUntil([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages, juce::StringArray("MIDI Sysex Format Error"));
    EXPECT_EQ(fresh->getProgramImage(), image) << "a corrupted dump changes nothing";
    EXPECT_TRUE(fresh->getController().isAwaitingReply());
}
