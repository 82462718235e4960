#pragma once

#include "ui/NumberBox.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The keyboard picture with its transpose and octave boxes; the lowest key is labelled with the
// note it plays under both settings.
class KeybedComponent : public juce::Component, public NumberBox::Listener
{
public:
    KeybedComponent();
    ~KeybedComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    void numberBoxChanged(NumberBox* box) override;

    // Middle C is C3 here; the pad editor counts octaves from C4.
    static juce::String noteName(int note);

    std::unique_ptr<NumberBox> transposeBox;
    std::unique_ptr<NumberBox> octaveBox;
    std::unique_ptr<juce::Label> lowKeyLabel;
    juce::Image keybedImage;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KeybedComponent)
};
