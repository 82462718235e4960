#pragma once

#include "ui/knobComponent.h"

// The eight knobs, K1 to K4 above K5 to K8. The bank draws nothing; the editor shows between them.
class KnobBankComponent : public juce::Component
{
public:
    KnobBankComponent();
    ~KnobBankComponent() override;

    void resized() override;

    juce::OwnedArray<knobComponent> knobs;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KnobBankComponent)
};
