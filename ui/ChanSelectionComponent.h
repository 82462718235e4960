#pragma once

#include "ui/NumberBox.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The strip under the pad banks: the MIDI channel of the pads and that of the keybed and controls,
// each counted 1 to 16 as the user sees it.
class ChanSelectionComponent : public juce::Component
{
public:
    ChanSelectionComponent();
    ~ChanSelectionComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    std::unique_ptr<NumberBox> padChannelBox;
    std::unique_ptr<NumberBox> keybedChannelBox;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ChanSelectionComponent)
};
