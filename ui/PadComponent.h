#pragma once

#include "ui/NumberBox.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// One pad: its note (as a number and as a name), CC value, program change and CC trigger type.
// The note box and the note-name list mirror each other; the editor controller listens to the rest.
class PadComponent : public juce::Component, public NumberBox::Listener, public juce::ComboBox::Listener
{
public:
    explicit PadComponent(const juce::String& name);
    ~PadComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    void numberBoxChanged(NumberBox* box) override;
    void comboBoxChanged(juce::ComboBox* combo) override;

    // Middle C is C4 here; the keybed panel counts octaves from C3.
    static juce::String noteName(int note);
    // A note box's value as read aloud: the number, then the name in the list above it ("36, C2").
    static juce::String noteValueText(int note);

    std::unique_ptr<juce::ComboBox> triggerTypeCombo;
    std::unique_ptr<NumberBox> programChangeBox;
    std::unique_ptr<NumberBox> ccValueBox;
    std::unique_ptr<NumberBox> noteValueBox;
    std::unique_ptr<juce::Label> padLabel;
    std::unique_ptr<juce::ComboBox> noteNameCombo;
    juce::Image padImage;
    juce::Image bracketImage;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PadComponent)
};
