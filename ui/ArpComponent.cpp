#include "ui/ArpComponent.h"

#include "ui/PanelPicture.h"
#include "model/ProgramChoices.h"
#include "ui/PanelButton.h"
#include "ui/PanelCombo.h"
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

// Item ids count from 1 in the order given: they are the values of the arpeggiator settings.
std::unique_ptr<juce::ComboBox> makeCombo(ArpComponent& owner, const juce::StringArray& items)
{
    auto combo = std::make_unique<PanelCombo>("new combo box");
    owner.addAndMakeVisible(*combo);
    PanelStyle::setUpCombo(*combo, juce::Justification::centredLeft, "(no choices)");
    combo->addItemList(items, 1);
    combo->addListener(&owner);
    return combo;
}

void setRange(NumberBox& box, int lowest, int highest)
{
    box.minValue = lowest;
    box.maxValue = highest;
}
} // namespace

ArpComponent::ArpComponent()
{
    arpOnButton = std::make_unique<PanelButton>("new button");
    addAndMakeVisible(*arpOnButton);
    arpOnButton->addListener(this);
    arpOnButton->setToggleable(true);
    PanelStyle::setPictures(*arpOnButton, PanelPicture::load("Arp_OnOff_Normal"), 0.961f, juce::Image(),
                            PanelPicture::load("Arp_OnOff_Down"));

    tempoTapsBox = makeBox(*this, "Tempo Taps");
    tempoBox = makeBox(*this, "Tempo");
    octaveBox = makeBox(*this, "Octave");

    timeDivisionCombo = makeCombo(*this, ProgramChoices::timeDivisions());
    clockCombo = makeCombo(*this, ProgramChoices::clocks());
    latchCombo = makeCombo(*this, ProgramChoices::latches());
    modeCombo = makeCombo(*this, ProgramChoices::arpModes());
    swingCombo = makeCombo(*this, ProgramChoices::swings());

    backgroundImage = PanelPicture::load("Arp_Background");

    for (auto* combo :
         {timeDivisionCombo.get(), clockCombo.get(), latchCombo.get(), modeCombo.get(), swingCombo.get()})
        PanelStyle::colourCombo(*combo);

    setRange(*tempoBox, 30, 240);
    setRange(*tempoTapsBox, 2, 4);
    setRange(*octaveBox, 1, 4);
    tempoBox->setValue(120);
    tempoTapsBox->setValue(3);
    octaveBox->setValue(1);

    for (auto* combo :
         {timeDivisionCombo.get(), clockCombo.get(), latchCombo.get(), modeCombo.get(), swingCombo.get()})
        combo->setSelectedId(1, juce::sendNotificationAsync);

    setLookAndFeel(&look);
    setSize(416, 108);
}

ArpComponent::~ArpComponent()
{
    arpOnButton.reset();
    tempoTapsBox.reset();
    tempoBox.reset();
    octaveBox.reset();
    timeDivisionCombo.reset();
    clockCombo.reset();
    latchCombo.reset();
    modeCombo.reset();
    swingCombo.reset();
    backgroundImage = juce::Image();
    setLookAndFeel(nullptr);
}

void ArpComponent::paint(juce::Graphics& g)
{
    // The picture is 7 rows short of the panel; the editor shows through below it.
    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, backgroundImage, {0.0f, 0.0f, 416.0f, 101.0f});

    const auto font = PanelStyle::helvetica(12.0f);
    PanelStyle::drawCaption(g, "ARPEGGIATOR", {144, 1, 123, 13}, juce::Justification::centred, font);

    const std::pair<const char*, juce::Rectangle<int>> captions[] = {
        {"TEMPO TAPS", {262, 48, 78, 13}}, {"TEMPO", {16, 22, 45, 13}},   {"CLOCK", {293, 75, 45, 13}},
        {"LATCH", {146, 75, 43, 13}},      {"TIME DIV", {3, 48, 57, 13}}, {"MODE", {146, 48, 42, 13}},
        {"SWING", {19, 75, 42, 13}},       {"OCTAVE", {138, 22, 50, 13}}};
    for (const auto& [text, area] : captions)
        PanelStyle::drawCaption(g, text, area, juce::Justification::centredRight, font);
}

void ArpComponent::resized()
{
    arpOnButton->setBounds(300, 13, 79, 24);
    tempoTapsBox->setBounds(344, 47, 62, 15);
    tempoBox->setBounds(67, 20, 62, 15);
    octaveBox->setBounds(196, 21, 62, 15);
    timeDivisionCombo->setBounds(67, 46, 62, 15);
    clockCombo->setBounds(344, 73, 62, 15);
    latchCombo->setBounds(196, 74, 62, 15);
    modeCombo->setBounds(196, 47, 62, 15);
    swingCombo->setBounds(67, 74, 62, 15);
}
