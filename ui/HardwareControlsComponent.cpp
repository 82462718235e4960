#include "ui/HardwareControlsComponent.h"

#include "ui/PanelPicture.h"
#include "ui/PanelButton.h"
#include "ui/PanelStyle.h"

namespace
{
constexpr int rowTops[] = {20, 76, 129, 184};
constexpr int captionTops[] = {0, 53, 108, 161};
} // namespace

std::array<std::unique_ptr<juce::ImageButton>*, 9> HardwareControlsComponent::buttonsInOrder()
{
    return {&sendButton1, &sendButton2, &sendButton3, &sendButton4, &sendToRamButton,
            &getButton1,  &getButton2,  &getButton3,  &getButton4};
}

HardwareControlsComponent::HardwareControlsComponent()
{
    const juce::Image send[] = {PanelPicture::load("Send_Normal"), PanelPicture::load("Send_Over"),
                                PanelPicture::load("Send_Down")};
    const juce::Image get[] = {PanelPicture::load("Get_Normal"), PanelPicture::load("Get_Over"),
                               PanelPicture::load("Get_Down")};
    const juce::Image ram[] = {PanelPicture::load("SendToRam_Normal"), PanelPicture::load("SendToRam_Over"),
                               PanelPicture::load("SendToRam_Down")};

    for (auto* button : buttonsInOrder())
    {
        *button = std::make_unique<PanelButton>("new button");
        addAndMakeVisible(button->get());
    }
    // Member order: four SEND buttons, SEND TO RAM, four GET buttons.
    const auto buttons = buttonsInOrder();
    for (std::size_t i = 0; i < buttons.size(); ++i)
    {
        const juce::Image* faces = i < 4 ? send : (i == 4 ? ram : get);
        PanelStyle::setPictures(*buttons[i]->get(), faces[0], 1.0f, faces[1], faces[2]);
    }

    outlineImage = PanelPicture::load("Program_Outline");
    setSize(151, 260);
}

HardwareControlsComponent::~HardwareControlsComponent()
{
    for (auto* button : buttonsInOrder())
        button->reset();
}

void HardwareControlsComponent::resized()
{
    juce::ImageButton* sends[] = {sendButton1.get(), sendButton2.get(), sendButton3.get(), sendButton4.get()};
    juce::ImageButton* gets[] = {getButton1.get(), getButton2.get(), getButton3.get(), getButton4.get()};
    for (int row = 0; row < 4; ++row)
    {
        sends[row]->setBounds(14, rowTops[row], 63, 24);
        gets[row]->setBounds(80, rowTops[row], 57, 24);
    }
    sendToRamButton->setBounds(17, 223, 120, 30);
}

void HardwareControlsComponent::paint(juce::Graphics& g)
{
    g.setColour(juce::Colour(0xff000000));
    PanelPicture::draw(g, outlineImage, {0.0f, 3.0f, 151.0f, 257.0f}, juce::RectanglePlacement::centred);
    for (int row = 0; row < 4; ++row)
        PanelStyle::drawCaption(g, "PROGRAM " + juce::String(row + 1), {38, captionTops[row], 76, 12},
                                juce::Justification::centred, juce::Font(15.0f, juce::Font::plain));
}
