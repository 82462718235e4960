#include "ui/knobComponent.h"

#include "ui/PanelPicture.h"
#include "ui/PanelStyle.h"

namespace
{
std::unique_ptr<NumberBox> makeBox(juce::Component& owner, const juce::String& name)
{
    auto box = std::make_unique<NumberBox>(name);
    owner.addAndMakeVisible(*box);
    box->applyPanelSetup();
    return box;
}

void setRange(NumberBox& box, int first)
{
    box.minValue = 0;
    box.maxValue = 127;
    box.setValue(first);
}
} // namespace

knobComponent::knobComponent(const juce::String& name)
{
    knobLabel = std::make_unique<juce::Label>("new label", "K");
    addAndMakeVisible(*knobLabel);
    PanelStyle::setUpLabel(*knobLabel, PanelStyle::helvetica(12.0f), juce::Colour(PanelStyle::azure));

    ccNumberBox = makeBox(*this, "CC Number");
    minValueBox = makeBox(*this, "Min CC Value");
    maxValueBox = makeBox(*this, "Max CC Value");

    knobImage = PanelPicture::load("VelkorEditor_Knob");

    setRange(*ccNumberBox, 0);
    setRange(*minValueBox, 0);
    setRange(*maxValueBox, 127);

    knobLabel->setText(name, juce::dontSendNotification);
    setSize(92, 150);
}

knobComponent::~knobComponent()
{
    knobLabel.reset();
    ccNumberBox.reset();
    minValueBox.reset();
    maxValueBox.reset();
    knobImage = juce::Image();
}

void knobComponent::paint(juce::Graphics& g)
{
    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, knobImage, {0.0f, 0.0f, 92.0f, 150.0f});

    const auto font = PanelStyle::helvetica(12.0f);
    PanelStyle::drawCaption(g, "CC", {9, 85, 29, 13}, juce::Justification::centredLeft, font);
    PanelStyle::drawCaption(g, "LO", {9, 108, 29, 13}, juce::Justification::centredLeft, font);
    PanelStyle::drawCaption(g, "HI", {9, 129, 29, 13}, juce::Justification::centredLeft, font);
}

void knobComponent::resized()
{
    knobLabel->setBounds(33, 72, 24, 13);
    ccNumberBox->setBounds(42, 85, 39, 15);
    minValueBox->setBounds(42, 106, 39, 15);
    maxValueBox->setBounds(42, 126, 39, 15);
}
