#pragma once

#include "ui/CustomLook.h"
#include "ui/NumberBox.h"

// The arpeggiator settings. The panel only builds, places and paints them: the editor controller
// listens to every widget here and flips the ON / OFF button when it is clicked.
class ArpComponent : public juce::Component, public juce::Button::Listener, public juce::ComboBox::Listener
{
public:
    ArpComponent();
    ~ArpComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    void buttonClicked(juce::Button*) override {}
    void buttonStateChanged(juce::Button*) override {}
    void comboBoxChanged(juce::ComboBox*) override {}

    CustomLook look;
    std::unique_ptr<juce::ImageButton> arpOnButton;
    std::unique_ptr<NumberBox> tempoTapsBox;
    std::unique_ptr<NumberBox> tempoBox;
    std::unique_ptr<NumberBox> octaveBox;
    std::unique_ptr<juce::ComboBox> timeDivisionCombo;
    std::unique_ptr<juce::ComboBox> clockCombo;
    std::unique_ptr<juce::ComboBox> latchCombo;
    std::unique_ptr<juce::ComboBox> modeCombo;
    std::unique_ptr<juce::ComboBox> swingCombo;
    juce::Image backgroundImage;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ArpComponent)
};
