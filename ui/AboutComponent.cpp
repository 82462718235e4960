#include "ui/AboutComponent.h"

#include "ui/PanelPicture.h"
#include "ui/PanelStyle.h"

AboutComponent::AboutComponent()
{
    versionLabel = std::make_unique<juce::Label>("new label", juce::String("Software Version: ") + "1.0.5");
    addAndMakeVisible(versionLabel.get());
    PanelStyle::setUpLabel(*versionLabel, juce::Font(15.0f, juce::Font::plain), std::nullopt);

    aboutImage = PanelPicture::load("About_Background");
    setSize(484, 267);
}

AboutComponent::~AboutComponent()
{
    versionLabel.reset();
}

void AboutComponent::resized()
{
    versionLabel->setBounds(2, 249, 190, 16);
}

void AboutComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xffffffff));
    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, aboutImage, {0.0f, 0.0f, 484.0f, 267.0f});
    g.setFont(noticeFont());
    g.drawText(juce::String::fromUTF8(firstNoticeLine), 133, 211, firstNoticeWidth, 14,
               juce::Justification::centred, false);
    // A 4-pixel box on purpose: the line is centred on it and overflows above and below.
    g.drawText(juce::String::fromUTF8(secondNoticeLine), 37, 227, secondNoticeWidth, 4,
               juce::Justification::centred, false);
}

void AboutComponent::mouseUp(const juce::MouseEvent&)
{
    if (onDismiss)
        onDismiss();
}
