#include "ui/AboutWindow.h"

AboutWindow::AboutWindow(std::function<void()> onDismiss)
    : juce::ResizableWindow(juce::String(), true), dismissed(std::move(onDismiss))
{
    setContentNonOwned(&aboutPanel, true);
    setUsingNativeTitleBar(false);
    setResizable(false, false);
    centreWithSize(aboutPanel.getWidth(), aboutPanel.getHeight());
    setAlwaysOnTop(true);
    aboutPanel.onDismiss = [this]
    {
        dismiss();
    };
    setVisible(true);
}

AboutWindow::~AboutWindow()
{
    clearContentComponent();
}

void AboutWindow::mouseUp(const juce::MouseEvent&)
{
    dismiss();
}

void AboutWindow::dismiss()
{
    // The owner deletes this window; never from inside its own mouse callback.
    juce::MessageManager::callAsync(
        [self = juce::Component::SafePointer<AboutWindow>(this)]
        {
            if (self != nullptr && self->dismissed)
                self->dismissed();
        });
}
