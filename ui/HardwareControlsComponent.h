#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The program selector strip: SEND and GET for each of the four slots, and SEND TO RAM. It only shows
// the buttons; the editor controller decides what a click does.
class HardwareControlsComponent : public juce::Component
{
public:
    HardwareControlsComponent();
    ~HardwareControlsComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    std::unique_ptr<juce::ImageButton> sendButton1;
    std::unique_ptr<juce::ImageButton> sendButton2;
    std::unique_ptr<juce::ImageButton> sendButton3;
    std::unique_ptr<juce::ImageButton> sendButton4;
    std::unique_ptr<juce::ImageButton> sendToRamButton;
    std::unique_ptr<juce::ImageButton> getButton1;
    std::unique_ptr<juce::ImageButton> getButton2;
    std::unique_ptr<juce::ImageButton> getButton3;
    std::unique_ptr<juce::ImageButton> getButton4;
    juce::Image outlineImage;

private:
    std::array<std::unique_ptr<juce::ImageButton>*, 9> buttonsInOrder();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(HardwareControlsComponent)
};
