#include "ui/PadComponent.h"

#include "model/ProgramChoices.h"
#include "ui/PanelCombo.h"
#include "ui/PanelStyle.h"

#include "ui/PanelPicture.h"
#include <juce_audio_basics/juce_audio_basics.h>

namespace
{
std::unique_ptr<NumberBox> makeBox(juce::Component& owner, const juce::String& name)
{
    auto box = std::make_unique<NumberBox>(name);
    owner.addAndMakeVisible(*box);
    box->applyPanelSetup();
    return box;
}
} // namespace

PadComponent::PadComponent(const juce::String& name)
{
    triggerTypeCombo = std::make_unique<PanelCombo>("CC Trigger Type");
    addAndMakeVisible(*triggerTypeCombo);
    PanelStyle::setUpCombo(*triggerTypeCombo, juce::Justification::centred, juce::String());
    triggerTypeCombo->addItemList(ProgramChoices::triggerTypes(), 1);
    triggerTypeCombo->addListener(this);

    programChangeBox = makeBox(*this, "Program Change Value");
    ccValueBox = makeBox(*this, "CC Value");
    noteValueBox = makeBox(*this, "Note Value");
    noteValueBox->describeValue = noteValueText;

    padLabel = std::make_unique<juce::Label>(juce::String(), juce::String());
    addAndMakeVisible(*padLabel);
    PanelStyle::setUpLabel(*padLabel, PanelStyle::helvetica(10.0f), juce::Colour(PanelStyle::azure));

    noteNameCombo = std::make_unique<PanelCombo>("new combo box");
    addAndMakeVisible(*noteNameCombo);
    PanelStyle::setUpCombo(*noteNameCombo, juce::Justification::centredLeft, "(no choices)");
    noteNameCombo->addListener(this);

    padImage = PanelPicture::load("VelkorEditor_Pad_Red");
    bracketImage = PanelPicture::load("Pad_Bracket");

    PanelStyle::colourCombo(*triggerTypeCombo);
    PanelStyle::colourCombo(*noteNameCombo);

    for (int note = 0; note < 128; ++note)
        noteNameCombo->addItem(noteName(note), note + 1);

    for (auto* box : {noteValueBox.get(), ccValueBox.get(), programChangeBox.get()})
    {
        box->minValue = 0;
        box->maxValue = 127;
    }
    noteValueBox->addListener(this);

    // Whoever listens hears the starting note once the loop runs, by way of the list.
    noteNameCombo->setSelectedId(1, juce::sendNotificationAsync);
    noteValueBox->setValue(0);
    ccValueBox->setValue(0);
    programChangeBox->setValue(0);

    triggerTypeCombo->setSelectedId(1, juce::sendNotificationAsync);

    padLabel->setText(name, juce::dontSendNotification);
    setSize(107, 124);
}

PadComponent::~PadComponent()
{
    triggerTypeCombo.reset();
    programChangeBox.reset();
    ccValueBox.reset();
    noteValueBox.reset();
    padLabel.reset();
    noteNameCombo.reset();
    padImage = juce::Image();
    bracketImage = juce::Image();
}

juce::String PadComponent::noteValueText(int note)
{
    return juce::String(note) + ", " + noteName(note);
}

// Every note list holds the same 128 names: made once, each list's items share their text.
juce::String PadComponent::noteName(int note)
{
    static const juce::StringArray names = []
    {
        juce::StringArray all;
        for (int n = 0; n < 128; ++n)
            all.add(ProgramChoices::padNoteName(n));
        return all;
    }();
    return juce::isPositiveAndBelow(note, names.size()) ? names[note] : ProgramChoices::padNoteName(note);
}

void PadComponent::paint(juce::Graphics& g)
{
    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, padImage, {0.0f, 17.0f, 107.0f, 107.0f}, juce::RectanglePlacement::centred);

    const auto font = PanelStyle::helvetica(12.0f);
    PanelStyle::drawCaption(g, "PC", {12, 79, 37, 16}, juce::Justification::centredLeft, font);
    PanelStyle::drawCaption(g, "CC", {12, 64, 28, 12}, juce::Justification::centredLeft, font);
    PanelStyle::drawCaption(g, "Note", {12, 31, 28, 20}, juce::Justification::centredLeft, font);

    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, bracketImage, {43.0f, 32.0f, 4.0f, 19.0f});
}

void PadComponent::resized()
{
    padLabel->setBounds(0, 4, 104, 15);
    noteNameCombo->setBounds(53, 26, 39, 14);
    noteValueBox->setBounds(54, 42, 39, 14);
    ccValueBox->setBounds(54, 60, 39, 15);
    programChangeBox->setBounds(54, 78, 39, 15);
    triggerTypeCombo->setBounds(juce::roundToInt(getWidth() * 0.4953) - 42, getHeight() - 26, 84, 14);
}

void PadComponent::numberBoxChanged(NumberBox* box)
{
    // Quietly: told of the box's own value, the list would only hand it back to the box, and a load
    // paid a posted message and a second report for each of the sixteen pads.
    if (box == noteValueBox.get())
        noteNameCombo->setSelectedId(static_cast<int>(box->currentValue) + 1, juce::dontSendNotification);
}

void PadComponent::comboBoxChanged(juce::ComboBox* combo)
{
    // A list with nothing selected reports id 0; the box refuses the resulting -1 and keeps its note.
    if (combo == noteNameCombo.get())
        noteValueBox->setValue(combo->getSelectedId() - 1);
}
