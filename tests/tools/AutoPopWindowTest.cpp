#include "support/TestSupport.h"
#include "app/MainWindow.h"
#include "tools/AutoPopToolWindow.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

// These put the tool on the desktop: run them under a display with a window manager.
TEST(AutoPopWindow, IsAFixedDialogAroundThePanelAndEscapeOnlyHidesIt)
{
    MainWindow target(0, 0, MainWindow::Services{});
    int closeRequests = 0;
    AutoPopToolWindow tool(
        &target, [] { return nullptr; }, [&] { ++closeRequests; });
    EXPECT_EQ(tool.getName(), "Auto Populate Tool");
    EXPECT_TRUE(tool.isOnDesktop() && tool.isVisible() && tool.isUsingNativeTitleBar());
    EXPECT_FALSE(tool.isResizable());
    EXPECT_EQ(tool.getBackgroundColour(), juce::Colour(0xffffffff));
    EXPECT_EQ(tool.getContentComponent(), &tool.getPanel());
    EXPECT_EQ(tool.getBounds().withZeroOrigin(), tool.getPanel().getBounds());

    auto& panel = tool.getPanel();
    panel.pcToggle->triggerClick();
    panel.pcStartBox->setValue(10);
    pumpMessages();
    juce::Component& asComponent = tool; // the key reaches the window as it would from the desktop
    EXPECT_TRUE(asComponent.keyPressed(juce::KeyPress(juce::KeyPress::escapeKey)));
    pumpMessages();
    EXPECT_FALSE(tool.isVisible());
    EXPECT_EQ(closeRequests, 0);

    tool.setVisible(true);
    EXPECT_EQ(panel.pcStartBox->getText(), "10");
    panel.applyBankAButton->triggerClick();
    pumpMessages();
    EXPECT_EQ(target.getController().getModel().pad(0, 7).programChangeValue, 17)
        << "settings and target kept";
}

TEST(AutoPopWindow, TheCloseButtonHasTheOwnerDeleteItAndTheNextStartsAfresh)
{
    std::unique_ptr<AutoPopToolWindow> tool;
    const auto open = [&tool]
    {
        tool = std::make_unique<AutoPopToolWindow>(
            nullptr, [] { return nullptr; }, [&tool] { tool.reset(); });
    };
    open();
    tool->getPanel().noteToggle->triggerClick();
    pumpMessages();
    tool->closeButtonPressed();
    tool->closeButtonPressed();
    EXPECT_NE(tool, nullptr) << "deleted from the message loop, not inside its own callback";
    pumpMessages();
    EXPECT_EQ(tool, nullptr);

    open();
    EXPECT_FALSE(tool->getPanel().noteToggle->getToggleState());
    tool.reset();
}
