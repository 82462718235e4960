#pragma once

#include "ui/CustomLook.h"
#include "ui/NumberBox.h"

// The two joystick axes: the message each sends and its one or two CC numbers. The panel shows only
// the boxes, captions and picture that the chosen message type uses; hidden boxes keep their values.
class JoystickComponent : public juce::Component, public juce::ComboBox::Listener
{
public:
    JoystickComponent();
    ~JoystickComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void comboBoxChanged(juce::ComboBox* combo) override;

    CustomLook look;
    std::unique_ptr<juce::ImageComponent> xOneCcImage;
    std::unique_ptr<juce::ComboBox> xAxisCombo;
    std::unique_ptr<juce::ComboBox> yAxisCombo;
    std::unique_ptr<juce::ImageComponent> xTwoCcImage;
    std::unique_ptr<juce::ImageComponent> yTwoCcImage;
    std::unique_ptr<juce::ImageComponent> yOneCcImage;
    std::unique_ptr<NumberBox> yFirstCcBox;
    std::unique_ptr<NumberBox> ySecondCcBox;
    std::unique_ptr<juce::Label> leftLabel;
    std::unique_ptr<juce::Label> rightLabel;
    std::unique_ptr<NumberBox> xFirstCcBox;
    std::unique_ptr<NumberBox> xSecondCcBox;
    std::unique_ptr<juce::Label> upLabel;
    std::unique_ptr<juce::Label> downLabel;
    std::unique_ptr<juce::Label> xPlusLabel;
    std::unique_ptr<juce::Label> yPlusLabel;
    juce::Image backgroundImage;

private:
    void layOutXAxis(int messageType);
    void layOutYAxis(int messageType);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(JoystickComponent)
};
