#include "ui/KnobBankComponent.h"

KnobBankComponent::KnobBankComponent()
{
    for (int i = 1; i <= 8; ++i)
        addAndMakeVisible(knobs.add(std::make_unique<knobComponent>("K" + juce::String(i))));
    setSize(418, 315);
}

// The owned array deletes its knobs last to first.
KnobBankComponent::~KnobBankComponent()
{
    knobs.clear();
}

void KnobBankComponent::resized()
{
    for (int i = 0; i < 4; ++i)
    {
        knobs[i]->setBounds(107 * i, 0, 92, 150);
        knobs[4 + i]->setBounds(107 * i, 165, 92, 150);
    }
}
