#pragma once

#include "ui/CustomLook.h"
#include "ui/NumberBox.h"

#include <memory>

// The Auto Populate settings and apply buttons. The panel only keeps its widgets consistent: tick
// boxes flip on a click and the starting note's list and box follow each other. The tool controller
// reads the widgets and acts on the apply buttons.
class AutoPolulateToolComponent : public juce::Component,
                                  public NumberBox::Listener,
                                  public juce::ComboBox::Listener,
                                  public juce::Button::Listener
{
public:
    static constexpr int width = 633;
    static constexpr int height = 268;

    AutoPolulateToolComponent();
    ~AutoPolulateToolComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    void numberBoxChanged(NumberBox* box) override;
    void comboBoxChanged(juce::ComboBox* combo) override;
    void buttonClicked(juce::Button* button) override;
    void buttonStateChanged(juce::Button*) override {}

    // A line under the frames saying what the last apply could not write; empty draws nothing.
    void setNotice(const juce::String& text);
    juce::String getNotice() const { return notice; }

    CustomLook look;
    std::unique_ptr<juce::ComboBox> knobCcDirection;
    std::unique_ptr<juce::ImageButton> applyBankAButton;
    std::unique_ptr<juce::ImageButton> applyBankBButton;
    std::unique_ptr<juce::ImageButton> applyBothBanksButton;
    std::unique_ptr<juce::ImageButton> applyKnobsButton;
    std::unique_ptr<juce::ComboBox> scaleCombo;
    std::unique_ptr<juce::ComboBox> startNoteCombo;
    std::unique_ptr<juce::ComboBox> pcDirection;
    std::unique_ptr<juce::ComboBox> ccDirection;
    std::unique_ptr<juce::ComboBox> ccTypeCombo;
    std::unique_ptr<juce::ImageButton> noteToggle;
    std::unique_ptr<juce::ImageButton> pcToggle;
    std::unique_ptr<juce::ImageButton> ccToggle;
    std::unique_ptr<juce::ImageButton> ccTypeToggle;
    std::unique_ptr<juce::ImageButton> knobCcToggle;
    std::unique_ptr<juce::ImageButton> knobMinToggle;
    std::unique_ptr<juce::ImageButton> knobMaxToggle;
    std::unique_ptr<NumberBox> pcStartBox;
    std::unique_ptr<NumberBox> ccStartBox;
    std::unique_ptr<NumberBox> knobCcStartBox;
    std::unique_ptr<NumberBox> knobMinBox;
    std::unique_ptr<NumberBox> knobMaxBox;
    std::unique_ptr<NumberBox> startNoteBox;
    juce::Image backgroundImage;

private:
    bool isTickBox(const juce::Button* button) const;
    void describeForAssistiveTechnology();

    juce::String notice;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AutoPolulateToolComponent)
};
