#include "ui/KeybedComponent.h"

#include "model/ProgramChoices.h"
#include "ui/PanelStyle.h"

#include "ui/PanelPicture.h"
#include <juce_audio_basics/juce_audio_basics.h>

KeybedComponent::KeybedComponent()
{
    transposeBox = std::make_unique<NumberBox>("Note Value");
    addAndMakeVisible(*transposeBox);
    transposeBox->applyPanelSetup();
    octaveBox = std::make_unique<NumberBox>("Note Value");
    addAndMakeVisible(*octaveBox);
    octaveBox->applyPanelSetup();

    lowKeyLabel = std::make_unique<juce::Label>("new label", juce::String());
    addAndMakeVisible(*lowKeyLabel);
    // No text colour of its own: the look's default black reads on the white key.
    PanelStyle::setUpLabel(*lowKeyLabel, PanelStyle::helvetica(13.0f), std::nullopt);

    keybedImage = PanelPicture::load("VelkorEditor_Keybed");

    octaveBox->minValue = -4;
    octaveBox->maxValue = 4;
    transposeBox->minValue = -12;
    transposeBox->maxValue = 12;

    transposeBox->addListener(this);
    octaveBox->addListener(this);

    octaveBox->setValue(0);
    transposeBox->setValue(0);

    setSize(420, 98);
}

KeybedComponent::~KeybedComponent()
{
    transposeBox.reset();
    octaveBox.reset();
    lowKeyLabel.reset();
    keybedImage = juce::Image();
}

juce::String KeybedComponent::noteName(int note)
{
    return ProgramChoices::keybedNoteName(note);
}

void KeybedComponent::paint(juce::Graphics& g)
{
    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, keybedImage, {0.0f, 0.0f, 419.0f, 80.0f});

    const auto font = PanelStyle::helvetica(12.0f);
    PanelStyle::drawCaption(g, "TRANSPOSE", {64, 77, 80, 18}, juce::Justification::centred, font);
    PanelStyle::drawCaption(g, "OCTAVE", {235, 77, 56, 18}, juce::Justification::centred, font);
}

void KeybedComponent::resized()
{
    transposeBox->setBounds(146, 78, 48, 15);
    octaveBox->setBounds(290, 78, 48, 15);
    lowKeyLabel->setBounds(0, 48, 35, 24);
}

void KeybedComponent::numberBoxChanged(NumberBox*)
{
    const auto lowKey = static_cast<int>(octaveBox->currentValue * 12.0 + 60.0 + transposeBox->currentValue);
    lowKeyLabel->setText(noteName(lowKey), juce::dontSendNotification);
}
