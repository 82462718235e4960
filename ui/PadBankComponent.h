#pragma once

#include "ui/CustomLook.h"
#include "ui/PadComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// One bank of eight pads under its caption and coloured outline: PAD 1 to 4 below, PAD 5 to 8 above.
class PadBankComponent : public juce::Component
{
public:
    // The outline belongs to the editor panel, which outlives the bank.
    PadBankComponent(const juce::String& caption, juce::Image* outline);
    ~PadBankComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    juce::OwnedArray<PadComponent> pads;
    juce::Image* bankImage = nullptr;
    CustomLook look;
    std::unique_ptr<juce::Label> bankLabel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PadBankComponent)
};
