#pragma once

#include "ui/NumberBox.h"

// One knob: the CC number it sends and the lowest and highest value of its travel. The two limits
// are not compared; each box reports its own value.
class knobComponent : public juce::Component
{
public:
    explicit knobComponent(const juce::String& name);
    ~knobComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    std::unique_ptr<juce::Label> knobLabel;
    std::unique_ptr<NumberBox> ccNumberBox;
    std::unique_ptr<NumberBox> minValueBox;
    std::unique_ptr<NumberBox> maxValueBox;
    juce::Image knobImage;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(knobComponent)
};
