#include "support/TestSupport.h"
#include "midi/DeviceManagerWindow.h"

#include <gtest/gtest.h>

namespace
{
// Deletes the window later, as the window manager does.
struct OwningLink : MidiDeviceLink
{
    juce::StringArray getMidiInputNames() override { return {"Keys A", "Velkor Simulator"}; }
    juce::StringArray getMidiOutputNames() override { return {"Velkor Simulator"}; }
    void applyDeviceNames(juce::StringArray inputNames, juce::StringArray) override
    {
        applied.add(inputNames[0]);
    }
    void closeDeviceSetup() override
    {
        ++closeRequests;
        juce::MessageManager::callAsync([this] { window.reset(); });
    }

    std::unique_ptr<DeviceManagerWindow> window;
    juce::StringArray applied;
    int closeRequests = 0;
};
} // namespace

TEST(DeviceManagerWindow, OpensCentredOnTopAndClosesThroughTheLink)
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    if (display == nullptr)
        GTEST_SKIP() << "needs a display";
    OwningLink link;
    link.window = std::make_unique<DeviceManagerWindow>(link);
    const DeviceManagerWindow& window = *link.window;

    EXPECT_EQ(window.getName(), "");
    EXPECT_TRUE(window.isOnDesktop() && window.isVisible() && window.isAlwaysOnTop());
    EXPECT_TRUE(window.isUsingNativeTitleBar());
    EXPECT_FALSE(window.isResizable());
    EXPECT_EQ(window.getDesktopWindowStyleFlags(),
              juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowHasCloseButton);
    EXPECT_EQ(window.getContentComponent(), &window.panel);
    EXPECT_EQ(window.getBounds().getCentre(), display->userArea.getCentre());
    EXPECT_EQ(window.getBounds().getWidth(), 360);
    EXPECT_EQ(window.getBounds().getHeight(), 425);
    EXPECT_EQ(window.panel.inputModel.deviceNames, juce::StringArray({"Keys A", "Velkor Simulator"}));
    EXPECT_EQ(window.panel.outputModel.deviceNames, juce::StringArray("Velkor Simulator"));

    link.window->userTriedToCloseWindow();
    testsupport::pumpMessages();
    EXPECT_EQ(link.window, nullptr);

    // OK deletes the window from inside its own click.
    link.window = std::make_unique<DeviceManagerWindow>(link);
    link.window->panel.inputList->selectRow(1);
    link.window->panel.okButton->triggerClick();
    testsupport::pumpMessages(50);
    EXPECT_EQ(link.window, nullptr);
    EXPECT_EQ(link.closeRequests, 2);
    EXPECT_EQ(link.applied, juce::StringArray("Velkor Simulator"));
}
