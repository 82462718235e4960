#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A picture button that assistive technology can press. A switch (the arpeggiator's ON / OFF, a tick
// box) is flipped by whoever listens to its clicks, so pressing or toggling it from a screen reader is
// one click, exactly as the mouse does, and it reads as "On" or "Off". Such a button is marked
// setToggleable(true), which changes nothing a mouse user sees.
class PanelButton : public juce::ImageButton
{
public:
    explicit PanelButton(const juce::String& name = "new button") : juce::ImageButton(name) {}

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
};
