#include "ui/ChanSelectionComponent.h"

#include "ui/PanelStyle.h"

ChanSelectionComponent::ChanSelectionComponent()
{
    padChannelBox = std::make_unique<NumberBox>("Note Value");
    addAndMakeVisible(*padChannelBox);
    padChannelBox->applyPanelSetup();
    keybedChannelBox = std::make_unique<NumberBox>("Note Value");
    addAndMakeVisible(*keybedChannelBox);
    keybedChannelBox->applyPanelSetup();

    for (auto* box : {padChannelBox.get(), keybedChannelBox.get()})
    {
        box->minValue = 1;
        box->maxValue = 16;
    }
    padChannelBox->setValue(1);
    keybedChannelBox->setValue(1);

    setSize(503, 20);
}

ChanSelectionComponent::~ChanSelectionComponent()
{
    padChannelBox.reset();
    keybedChannelBox.reset();
}

void ChanSelectionComponent::paint(juce::Graphics& g)
{
    const auto font = PanelStyle::helvetica(12.0f);
    PanelStyle::drawCaption(g, "Pad MIDI Channel", {0, 4, 104, 14}, juce::Justification::centred, font);
    PanelStyle::drawCaption(g, "Keybed / Controls MIDI Channel", {282, 4, 182, 14},
                            juce::Justification::centred, font);
}

void ChanSelectionComponent::resized()
{
    padChannelBox->setBounds(106, 3, 37, 14);
    keybedChannelBox->setBounds(463, 3, 37, 14);
}
