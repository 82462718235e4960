#include "tools/AutoPopToolWindow.h"

AutoPopToolWindow::AutoPopToolWindow(MainWindow* target, std::function<MainWindow*()> currentWindow,
                                     std::function<void()> onClose)
    : juce::DialogWindow("Auto Populate Tool", juce::Colour(0xffffffff), true, true),
      closed(std::move(onClose))
{
    panel = std::make_unique<AutoPolulateToolComponent>();
    setUsingNativeTitleBar(true);
    setContentNonOwned(panel.get(), true);
    centreWithSize(panel->getWidth(), panel->getHeight());
    controller = std::make_unique<AutoPopToolController>(*panel, target, std::move(currentWindow));
    setVisible(true);
}

AutoPopToolWindow::~AutoPopToolWindow()
{
    controller.reset();
    clearContentComponent();
    panel.reset();
}

void AutoPopToolWindow::closeButtonPressed()
{
    // The owner deletes this window; never from inside its own callback.
    juce::MessageManager::callAsync(
        [self = juce::Component::SafePointer<AutoPopToolWindow>(this)]
        {
            if (self != nullptr && self->closed)
                self->closed();
        });
}
