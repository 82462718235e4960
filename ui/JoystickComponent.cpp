#include "ui/JoystickComponent.h"

#include "ui/PanelPicture.h"
#include "model/ProgramChoices.h"
#include "ui/PanelCombo.h"
#include "ui/PanelStyle.h"

namespace
{
// Combo item ids, the values of the axis's message type.
constexpr int pitchbend = 1;
constexpr int oneCc = 2;
constexpr int twoCc = 3;

// An axis picture, drawn at 2x on scaled screens.
struct AxisPicture : juce::ImageComponent
{
    using juce::ImageComponent::ImageComponent;

    void paint(juce::Graphics& g) override
    {
        g.setOpacity(1.0f);
        PanelPicture::draw(g, getImage(), getLocalBounds().toFloat(), getImagePlacement());
    }
};

std::unique_ptr<juce::ImageComponent> makePicture(juce::Component& owner)
{
    std::unique_ptr<juce::ImageComponent> picture = std::make_unique<AxisPicture>("new component");
    // The arrows only repeat what the captions beside them say.
    picture->setAccessible(false);
    owner.addAndMakeVisible(*picture);
    return picture;
}

std::unique_ptr<juce::ComboBox> makeTypeCombo(JoystickComponent& owner, const juce::String& name)
{
    auto combo = std::make_unique<PanelCombo>(name);
    owner.addAndMakeVisible(*combo);
    PanelStyle::setUpCombo(*combo, juce::Justification::centredLeft, "(no choices)");
    combo->addItemList(ProgramChoices::joystickMessageTypes(), pitchbend);
    combo->addListener(&owner);
    return combo;
}

std::unique_ptr<juce::Label> makeCaption(juce::Component& owner, const juce::String& text)
{
    auto label = std::make_unique<juce::Label>("new label", text);
    owner.addAndMakeVisible(*label);
    PanelStyle::setUpLabel(*label, PanelStyle::helvetica(12.0f), juce::Colour(PanelStyle::azure));
    return label;
}

std::unique_ptr<NumberBox> makeCcBox(juce::Component& owner)
{
    auto box = std::make_unique<NumberBox>("CC Number");
    owner.addAndMakeVisible(*box);
    box->applyPanelSetup();
    return box;
}

} // namespace

JoystickComponent::JoystickComponent()
{
    xOneCcImage = makePicture(*this);
    xAxisCombo = makeTypeCombo(*this, "X Axis Msg Type");
    yAxisCombo = makeTypeCombo(*this, "Y Axis Msg Type");
    xTwoCcImage = makePicture(*this);
    yTwoCcImage = makePicture(*this);
    yOneCcImage = makePicture(*this);
    yFirstCcBox = makeCcBox(*this);
    ySecondCcBox = makeCcBox(*this);
    leftLabel = makeCaption(*this, "LEFT:");
    rightLabel = makeCaption(*this, "RIGHT:");
    xFirstCcBox = makeCcBox(*this);
    xSecondCcBox = makeCcBox(*this);
    upLabel = makeCaption(*this, "UP:");
    downLabel = makeCaption(*this, "DOWN:");
    xPlusLabel = makeCaption(*this, "+");
    yPlusLabel = makeCaption(*this, "+");

    backgroundImage = PanelPicture::load("Joystick_Background");
    xOneCcImage->setImage(PanelPicture::load("Joystick_Xaxis_1CC"));
    xTwoCcImage->setImage(PanelPicture::load("Joystick_Xaxis_2CC"));
    yTwoCcImage->setImage(PanelPicture::load("Joystick_Yaxis_2CC"));
    yOneCcImage->setImage(PanelPicture::load("Joystick_Yaxis_1CC"));

    PanelStyle::colourCombo(*xAxisCombo);
    PanelStyle::colourCombo(*yAxisCombo);

    for (juce::Component* c : std::initializer_list<juce::Component*>{
             xOneCcImage.get(), xTwoCcImage.get(), yTwoCcImage.get(), yOneCcImage.get(), yFirstCcBox.get(),
             ySecondCcBox.get(), leftLabel.get(), rightLabel.get(), xFirstCcBox.get(), xSecondCcBox.get(),
             upLabel.get(), downLabel.get(), xPlusLabel.get(), yPlusLabel.get()})
        c->setVisible(false);

    for (auto* box : {yFirstCcBox.get(), ySecondCcBox.get(), xFirstCcBox.get(), xSecondCcBox.get()})
    {
        box->minValue = 0;
        box->maxValue = 127;
        box->setValue(0);
    }

    setLookAndFeel(&look);

    // Y is laid out at once so the panel never shows without its default CC 1 widgets; the pending
    // notifications lay out both axes again when they arrive.
    xAxisCombo->setSelectedId(pitchbend, juce::sendNotificationAsync);
    layOutYAxis(oneCc);
    yAxisCombo->setSelectedId(oneCc, juce::sendNotificationAsync);

    setSize(151, 270);
}

JoystickComponent::~JoystickComponent()
{
    xOneCcImage.reset();
    xAxisCombo.reset();
    yAxisCombo.reset();
    xTwoCcImage.reset();
    yTwoCcImage.reset();
    yOneCcImage.reset();
    yFirstCcBox.reset();
    ySecondCcBox.reset();
    leftLabel.reset();
    rightLabel.reset();
    xFirstCcBox.reset();
    xSecondCcBox.reset();
    upLabel.reset();
    downLabel.reset();
    xPlusLabel.reset();
    yPlusLabel.reset();
    backgroundImage = juce::Image();
    setLookAndFeel(nullptr);
}

void JoystickComponent::paint(juce::Graphics& g)
{
    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, backgroundImage, {0.0f, 0.0f, 151.0f, 270.0f});

    const auto font = PanelStyle::helvetica(12.0f);
    PanelStyle::drawCaption(g, "JOYSTICK", {43, 98, 64, 15}, juce::Justification::centred, font);
    PanelStyle::drawCaption(g, "X AXIS", {8, 118, 40, 15}, juce::Justification::centred, font);
    PanelStyle::drawCaption(g, "Y AXIS", {8, 193, 40, 15}, juce::Justification::centred, font);
}

void JoystickComponent::resized()
{
    // Each X picture sits in the slot of its own height, so neither is shrunk beside its captions.
    xOneCcImage->setBounds(11, 150, 34, 24);
    xAxisCombo->setBounds(65, 115, 76, 20);
    yAxisCombo->setBounds(65, 189, 76, 20);
    xTwoCcImage->setBounds(11, 137, 34, 49);
    yTwoCcImage->setBounds(11, 211, 34, 49);
    yOneCcImage->setBounds(11, 224, 34, 24);
    leftLabel->setBounds(54, 145, 40, 16);
    rightLabel->setBounds(45, 168, 56, 15);
    upLabel->setBounds(64, 216, 35, 16);
    downLabel->setBounds(43, 241, 51, 15);
    xPlusLabel->setBounds(75, 155, 16, 16);
    yPlusLabel->setBounds(73, 227, 16, 16);
}

void JoystickComponent::comboBoxChanged(juce::ComboBox* combo)
{
    if (combo == xAxisCombo.get())
        layOutXAxis(combo->getSelectedId());
    else if (combo == yAxisCombo.get())
        layOutYAxis(combo->getSelectedId());
}

// With one CC the number serves both directions (LEFT + RIGHT); with two, first is left, second right.
void JoystickComponent::layOutXAxis(int messageType)
{
    if (messageType < pitchbend || messageType > twoCc)
        return;

    xOneCcImage->setVisible(messageType == oneCc);
    xTwoCcImage->setVisible(messageType == twoCc);

    if (messageType == oneCc)
        xFirstCcBox->setBounds(93, 155, 48, 14);
    else if (messageType == twoCc)
    {
        xFirstCcBox->setBounds(93, 143, 48, 14);
        xSecondCcBox->setBounds(93, 167, 48, 14);
    }
    xFirstCcBox->setVisible(messageType != pitchbend);
    xSecondCcBox->setVisible(messageType == twoCc);
    leftLabel->setVisible(messageType != pitchbend);
    rightLabel->setVisible(messageType != pitchbend);
    xPlusLabel->setVisible(messageType == oneCc);
}

// Y puts DOWN below UP: the first number is the down one, the second the up one.
void JoystickComponent::layOutYAxis(int messageType)
{
    if (messageType < pitchbend || messageType > twoCc)
        return;

    yOneCcImage->setVisible(messageType == oneCc);
    yTwoCcImage->setVisible(messageType == twoCc);

    if (messageType == oneCc)
        yFirstCcBox->setBounds(93, 228, 48, 14);
    else if (messageType == twoCc)
    {
        yFirstCcBox->setBounds(93, 240, 48, 14);
        ySecondCcBox->setBounds(93, 216, 48, 14);
    }
    yFirstCcBox->setVisible(messageType != pitchbend);
    ySecondCcBox->setVisible(messageType == twoCc);
    upLabel->setVisible(messageType != pitchbend);
    downLabel->setVisible(messageType != pitchbend);
    yPlusLabel->setVisible(messageType == oneCc);
}
