#include "tools/AutoPolulateToolComponent.h"

#include "ui/PanelPicture.h"
#include "ui/PadComponent.h"
#include "ui/PanelButton.h"
#include "ui/PanelCombo.h"
#include "ui/PanelStyle.h"

namespace
{
std::unique_ptr<juce::ComboBox> makeCombo(AutoPolulateToolComponent& owner, const juce::StringArray& items)
{
    auto combo = std::make_unique<PanelCombo>("new combo box");
    owner.addAndMakeVisible(*combo);
    PanelStyle::setUpCombo(*combo, juce::Justification::centredLeft, "(no choices)");
    combo->addItemList(items, 1);
    combo->addListener(&owner);
    return combo;
}

std::unique_ptr<juce::ImageButton> makeButton(AutoPolulateToolComponent& owner, const juce::Image& normal,
                                              const juce::Image& over, const juce::Image& down)
{
    auto button = std::make_unique<PanelButton>("new button");
    owner.addAndMakeVisible(*button);
    button->addListener(&owner);
    PanelStyle::setPictures(*button, normal, 1.0f, over, down);
    return button;
}

// No over picture: a ticked box keeps showing its X under the mouse.
std::unique_ptr<juce::ImageButton> makeTickBox(AutoPolulateToolComponent& owner)
{
    auto tickBox = makeButton(owner, PanelPicture::load("TickBox_Off"), {}, PanelPicture::load("TickBox_On"));
    tickBox->setToggleable(true);
    return tickBox;
}

std::unique_ptr<NumberBox> makeBox(AutoPolulateToolComponent& owner, const juce::String& name)
{
    auto box = std::make_unique<NumberBox>(name);
    owner.addAndMakeVisible(*box);
    box->applyPanelSetup();
    return box;
}

juce::StringArray directions()
{
    return {"ASCENDING", "DESCENDING"};
}

// The strip below the two frames.
const juce::Rectangle<int> noticeArea{17, 251, 599, 16};
} // namespace

AutoPolulateToolComponent::AutoPolulateToolComponent()
{
    knobCcDirection = makeCombo(*this, directions());
    applyBankAButton = makeButton(*this, PanelPicture::load("AutoPop_ApplyBankA_Normal"),
                                  PanelPicture::load("AutoPop_ApplyBankA_Over"),
                                  PanelPicture::load("AutoPop_ApplyBankA_Down"));
    applyBankBButton = makeButton(*this, PanelPicture::load("AutoPop_ApplyBankB_Normal"),
                                  PanelPicture::load("AutoPop_ApplyBankB_Over"),
                                  PanelPicture::load("AutoPop_ApplyBankB_Down"));
    const auto bothDown = PanelPicture::load("AutoPop_ApplyBoth_Down");
    applyBothBanksButton =
        makeButton(*this, PanelPicture::load("AutoPop_ApplyBoth_Normal"), bothDown, bothDown);
    applyKnobsButton = makeButton(*this, PanelPicture::load("AutoPop_ApplyKnobs_Normal"),
                                  PanelPicture::load("AutoPop_ApplyKnobs_Over"),
                                  PanelPicture::load("AutoPop_ApplyKnobs_Down"));

    scaleCombo = makeCombo(*this, {"CHROMATIC UP", "CHROMATIC DOWN", "MAJOR", "MINOR", "HARMONIC MINOR",
                                   "MELODIC MINOR", "DORIAN", "PHRYGIAN", "LYDIAN", "MIXOLYDIAN", "LOCRIAN"});
    startNoteCombo = makeCombo(*this, {});
    pcDirection = makeCombo(*this, directions());
    ccDirection = makeCombo(*this, directions());
    ccTypeCombo = makeCombo(*this, {"MOMENTARY", "TOGGLE"});

    noteToggle = makeTickBox(*this);
    pcToggle = makeTickBox(*this);
    ccToggle = makeTickBox(*this);
    ccTypeToggle = makeTickBox(*this);
    knobCcToggle = makeTickBox(*this);
    knobMinToggle = makeTickBox(*this);
    knobMaxToggle = makeTickBox(*this);

    pcStartBox = makeBox(*this, "PC Start");
    ccStartBox = makeBox(*this, "CC Start");
    knobCcStartBox = makeBox(*this, "Knob CC Start");
    knobMinBox = makeBox(*this, "Knob Min");
    knobMaxBox = makeBox(*this, "Knob Max");
    startNoteBox = makeBox(*this, "Start Note");

    backgroundImage = PanelPicture::load("AutoPop_Background");

    for (auto* box : {pcStartBox.get(), ccStartBox.get(), knobCcStartBox.get(), knobMinBox.get(),
                      knobMaxBox.get(), startNoteBox.get()})
    {
        box->minValue = 0;
        box->maxValue = 127;
        box->setValue(0);
    }
    startNoteBox->addListener(this);

    // The pads' own note names, so a starting note reads the same here as on the pad it lands on.
    for (int note = 0; note < 128; ++note)
        startNoteCombo->addItem(PadComponent::noteName(note), note + 1);

    for (auto* combo : {startNoteCombo.get(), scaleCombo.get(), ccDirection.get(), ccTypeCombo.get(),
                        pcDirection.get(), knobCcDirection.get()})
        combo->setSelectedId(1, juce::sendNotificationAsync);

    for (auto* combo : {knobCcDirection.get(), scaleCombo.get(), startNoteCombo.get(), pcDirection.get(),
                        ccDirection.get(), ccTypeCombo.get()})
        PanelStyle::colourCombo(*combo);

    describeForAssistiveTechnology();
    setLookAndFeel(&look);
    setSize(width, height);
}

// Titles from the captions beside each control; Tab reads the pads' column, then the knobs'.
void AutoPolulateToolComponent::describeForAssistiveTechnology()
{
    const std::pair<juce::Component*, const char*> titles[] = {
        {noteToggle.get(), "Pads Set scale"},
        {scaleCombo.get(), "Pads scale"},
        {startNoteCombo.get(), "Pads starting with note"},
        {startNoteBox.get(), "Pads starting with note number"},
        {pcToggle.get(), "Pads PC range"},
        {pcStartBox.get(), "Pads PC range starting at"},
        {pcDirection.get(), "Pads PC range with values"},
        {ccToggle.get(), "Pads CC range"},
        {ccStartBox.get(), "Pads CC range starting at"},
        {ccDirection.get(), "Pads CC range with values"},
        {ccTypeToggle.get(), "Pads Set CC Type"},
        {ccTypeCombo.get(), "Pads CC Type"},
        {applyBankAButton.get(), "APPLY TO BANK A"},
        {applyBankBButton.get(), "APPLY TO BANK B"},
        {applyBothBanksButton.get(), "APPLY TO A AND B"},
        {knobCcToggle.get(), "Knobs CC range"},
        {knobCcStartBox.get(), "Knobs CC range starting at"},
        {knobCcDirection.get(), "Knobs CC range with values"},
        {knobMinToggle.get(), "Knobs Set all MIN"},
        {knobMinBox.get(), "Knobs Set all MIN to"},
        {knobMaxToggle.get(), "Knobs Set all MAX"},
        {knobMaxBox.get(), "Knobs Set all MAX to"},
        {applyKnobsButton.get(), "APPLY TO KNOBS"}};
    int order = 0;
    for (const auto& [control, title] : titles)
    {
        control->setTitle(title);
        control->setExplicitFocusOrder(++order);
    }
    startNoteBox->describeValue = PadComponent::noteValueText;
    setTitle("Auto Populate Tool");
}

AutoPolulateToolComponent::~AutoPolulateToolComponent()
{
    knobCcDirection.reset();
    applyBankAButton.reset();
    applyBankBButton.reset();
    applyBothBanksButton.reset();
    applyKnobsButton.reset();
    scaleCombo.reset();
    startNoteCombo.reset();
    pcDirection.reset();
    ccDirection.reset();
    ccTypeCombo.reset();
    noteToggle.reset();
    pcToggle.reset();
    ccToggle.reset();
    ccTypeToggle.reset();
    knobCcToggle.reset();
    knobMinToggle.reset();
    knobMaxToggle.reset();
    pcStartBox.reset();
    ccStartBox.reset();
    knobCcStartBox.reset();
    knobMinBox.reset();
    knobMaxBox.reset();
    startNoteBox.reset();
    backgroundImage = juce::Image();
    setLookAndFeel(nullptr);
}

void AutoPolulateToolComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xffffffff));
    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, backgroundImage, juce::Rectangle<int>(width, height).toFloat());

    const juce::Colour black(0xff000000);
    const auto heading = PanelStyle::helvetica(18.8f).boldened();
    PanelStyle::drawCaption(g, "PADS", {94, 48, 59, 30}, juce::Justification::centred, heading, black);
    PanelStyle::drawCaption(g, "KNOBS", {470, 48, 75, 30}, juce::Justification::centred, heading, black);

    const juce::Font plain(13.0f);
    const std::pair<const char*, juce::Rectangle<int>> captions[] = {
        {"Set scale", {53, 85, 48, 11}},
        {"starting with note", {53, 101, 112, 11}},
        {"PC range starting at", {53, 136, 115, 11}},
        {"with values", {53, 154, 64, 11}},
        {"CC range starting at", {53, 181, 115, 11}},
        {"with values", {53, 197, 64, 11}},
        {"Set CC Type", {53, 223, 80, 11}},
        {"CC range starting at", {434, 92, 110, 11}},
        {"with values", {434, 109, 64, 11}},
        {"Set all MIN to", {434, 148, 80, 11}},
        {"Set all MAX to", {434, 180, 80, 11}},
    };
    for (const auto& [text, area] : captions)
        PanelStyle::drawCaption(g, text, area, juce::Justification::centredLeft, plain, black);

    if (notice.isNotEmpty())
    {
        g.setColour(black);
        g.setFont(juce::Font(12.0f));
        g.drawFittedText(notice, noticeArea, juce::Justification::centred, 1, 0.75f);
    }
}

void AutoPolulateToolComponent::setNotice(const juce::String& text)
{
    if (text == notice)
        return;
    notice = text;
    repaint(noticeArea);
}

void AutoPolulateToolComponent::resized()
{
    scaleCombo->setBounds(128, 84, 104, 14);
    startNoteCombo->setBounds(152, 100, 40, 14);
    startNoteBox->setBounds(196, 99, 36, 15);
    pcStartBox->setBounds(188, 135, 43, 15);
    pcDirection->setBounds(143, 154, 88, 14);
    ccStartBox->setBounds(187, 179, 43, 15);
    ccDirection->setBounds(143, 196, 88, 14);
    ccTypeCombo->setBounds(143, 222, 88, 14);
    noteToggle->setBounds(28, 90, 18, 17);
    pcToggle->setBounds(28, 143, 18, 17);
    ccToggle->setBounds(28, 186, 18, 17);
    ccTypeToggle->setBounds(28, 220, 18, 17);
    applyBankAButton->setBounds(246, 88, 131, 26);
    applyBankBButton->setBounds(246, 144, 131, 26);
    applyBothBanksButton->setBounds(246, 200, 131, 26);
    knobCcToggle->setBounds(408, 96, 18, 17);
    knobCcStartBox->setBounds(558, 92, 43, 15);
    knobCcDirection->setBounds(517, 108, 83, 14);
    knobMinToggle->setBounds(408, 147, 18, 17);
    knobMinBox->setBounds(560, 146, 43, 15);
    knobMaxToggle->setBounds(408, 179, 18, 17);
    knobMaxBox->setBounds(560, 178, 43, 15);
    applyKnobsButton->setBounds(446, 209, 131, 26);
}

void AutoPolulateToolComponent::numberBoxChanged(NumberBox* box)
{
    if (box == startNoteBox.get())
        startNoteCombo->setSelectedId(static_cast<int>(box->currentValue + 1.0), juce::sendNotificationAsync);
}

void AutoPolulateToolComponent::comboBoxChanged(juce::ComboBox* combo)
{
    // With nothing selected the list reports id 0; the box refuses the -1 and keeps its note.
    if (combo == startNoteCombo.get())
        startNoteBox->setValue(combo->getSelectedId() - 1);
}

void AutoPolulateToolComponent::buttonClicked(juce::Button* button)
{
    if (isTickBox(button))
        button->setToggleState(!button->getToggleState(), juce::dontSendNotification);
}

bool AutoPolulateToolComponent::isTickBox(const juce::Button* button) const
{
    for (const auto* tickBox : {noteToggle.get(), pcToggle.get(), ccToggle.get(), ccTypeToggle.get(),
                                knobCcToggle.get(), knobMinToggle.get(), knobMaxToggle.get()})
        if (button == tickBox)
            return true;
    return false;
}
