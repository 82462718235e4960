#pragma once

#include "ui/AboutComponent.h"

// A borderless picture window above the editors; a click anywhere but the version text drops it.
class AboutWindow : public juce::ResizableWindow
{
public:
    // onDismiss is called after the click, from the message loop, and should delete this window.
    explicit AboutWindow(std::function<void()> onDismiss);
    ~AboutWindow() override;

    void mouseUp(const juce::MouseEvent&) override;

    AboutComponent aboutPanel;

private:
    void dismiss();

    std::function<void()> dismissed;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AboutWindow)
};
