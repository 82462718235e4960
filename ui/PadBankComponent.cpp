#include "ui/PadBankComponent.h"

#include "ui/PanelPicture.h"
#include "ui/PanelStyle.h"

PadBankComponent::PadBankComponent(const juce::String& caption, juce::Image* outline)
{
    bankLabel = std::make_unique<juce::Label>("Bank Name", juce::String());
    addAndMakeVisible(*bankLabel);
    PanelStyle::setUpLabel(*bankLabel, juce::Font(16.0f, juce::Font::plain), juce::Colour(PanelStyle::azure));

    for (int i = 1; i <= 8; ++i)
        addAndMakeVisible(pads.add(std::make_unique<PadComponent>("PAD " + juce::String(i))));

    bankLabel->setText(caption, juce::dontSendNotification);
    bankImage = outline;

    setLookAndFeel(&look);
    setSize(503, 264);
}

PadBankComponent::~PadBankComponent()
{
    bankLabel.reset();
    pads.clear(true);
    // The pads drew with this look; it must be released before the member goes.
    setLookAndFeel(nullptr);
}

void PadBankComponent::paint(juce::Graphics& g)
{
    g.setColour(juce::Colour(0xff000000));
    if (bankImage != nullptr && bankImage->isValid())
        PanelPicture::draw(g, *bankImage, {0.0f, 2.0f, 503.0f, 260.0f});
}

void PadBankComponent::resized()
{
    bankLabel->setBounds(190, -2, 66, 15);
    for (int i = 0; i < 4; ++i)
    {
        pads[i]->setBounds(10 + 125 * i, 128, 107, 124);
        pads[4 + i]->setBounds(10 + 125 * i, 6, 107, 124);
    }
}
