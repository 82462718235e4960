#include "BinaryData.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
juce::Image load(const char* resource)
{
    int size = 0;
    const char* data = BinaryData::getNamedResource(resource, size);
    return data == nullptr ? juce::Image() : juce::ImageCache::getFromMemory(data, size);
}
} // namespace

TEST(Artwork, EveryPictureHasItsSize)
{
    const struct
    {
        const char* resource;
        int width, height;
    } pictures[] = {
        {"VelkorEditor_Background_png", 1200, 750},
        {"ColoredPadBankStroke_BankA_png", 503, 257},
        {"ColoredPadBankStroke_BankB_png", 503, 257},
        {"Program_Outline_png", 151, 257},
        {"Send_Normal_png", 61, 26},
        {"Send_Over_png", 61, 26},
        {"Send_Down_png", 61, 26},
        {"Get_Normal_png", 61, 26},
        {"Get_Over_png", 61, 26},
        {"Get_Down_png", 61, 26},
        {"SendToRam_Normal_png", 131, 26},
        {"SendToRam_Over_png", 131, 26},
        {"SendToRam_Down_png", 131, 26},
        {"VelkorEditor_Pad_Red_png", 107, 107},
        {"Pad_Bracket_png", 4, 19},
        {"VelkorEditor_Keybed_png", 419, 80},
        {"VelkorEditor_Knob_png", 92, 150},
        {"Joystick_Xaxis_1CC_png", 34, 24},
        {"Joystick_Xaxis_2CC_png", 34, 49},
        {"Joystick_Yaxis_1CC_png", 24, 33},
        {"Joystick_Yaxis_2CC_png", 24, 59},
        {"Joystick_Background_png", 151, 270},
        {"Arp_OnOff_Normal_png", 81, 27},
        {"Arp_OnOff_Down_png", 81, 27},
        {"Arp_Background_png", 416, 101},
        {"About_Background_png", 484, 267},
        {"DeviceSetup_Background_png", 360, 425},
        {"DeviceSetup_ListPanel_png", 321, 135},
        {"AutoPop_Background_png", 633, 268},
        {"AutoPop_ApplyBankA_Normal_png", 131, 26},
        {"AutoPop_ApplyBankA_Over_png", 131, 26},
        {"AutoPop_ApplyBankA_Down_png", 131, 26},
        {"AutoPop_ApplyBankB_Normal_png", 131, 26},
        {"AutoPop_ApplyBankB_Over_png", 131, 26},
        {"AutoPop_ApplyBankB_Down_png", 131, 26},
        {"AutoPop_ApplyBoth_Normal_png", 131, 26},
        {"AutoPop_ApplyBoth_Down_png", 131, 26},
        {"AutoPop_ApplyKnobs_Normal_png", 131, 26},
        {"AutoPop_ApplyKnobs_Over_png", 131, 26},
        {"AutoPop_ApplyKnobs_Down_png", 131, 26},
        {"TickBox_Off_png", 18, 17},
        {"TickBox_On_png", 18, 17},
    };
    for (const auto& p : pictures)
    {
        const juce::Image image = load(p.resource);
        ASSERT_TRUE(image.isValid()) << p.resource;
        EXPECT_EQ(image.getWidth(), p.width) << p.resource;
        EXPECT_EQ(image.getHeight(), p.height) << p.resource;
    }
    // Their 2x twins are checked against them, in the picture drawing tests; the two faces are fonts.
    int atOneX = 0;
    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        const juce::String name(BinaryData::namedResourceList[i]);
        atOneX += name.endsWith("_png") && !name.endsWith("_2x_png") ? 1 : 0;
    }
    EXPECT_EQ(atOneX, int(std::size(pictures))) << "a picture without a size check";
    EXPECT_EQ(BinaryData::namedResourceListSize, 2 * atOneX + 2) << "a resource neither picture nor face";
}

TEST(Artwork, OutlinesAreClearInsideAndBackdropsOpaque)
{
    for (const char* outline : {"ColoredPadBankStroke_BankA_png", "ColoredPadBankStroke_BankB_png",
                                "Program_Outline_png", "VelkorEditor_Knob_png"})
    {
        const juce::Image image = load(outline);
        const int x = image.getWidth() / 2, y = image.getHeight() * 3 / 4;
        EXPECT_EQ(image.getPixelAt(x, y).getAlpha(), 0) << outline;
        EXPECT_EQ(image.getPixelAt(0, 0).getAlpha(), 0) << outline << " corner";
    }
    for (const char* backdrop :
         {"VelkorEditor_Background_png", "DeviceSetup_Background_png", "AutoPop_Background_png"})
    {
        const juce::Image image = load(backdrop);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{image.getWidth() - 1, image.getHeight() - 1}})
            EXPECT_EQ(image.getPixelAt(x, y).getAlpha(), 255) << backdrop;
    }

    const juce::Image a = load("ColoredPadBankStroke_BankA_png");
    const juce::Image b = load("ColoredPadBankStroke_BankB_png");
    const auto strongest = [](const juce::Image& image)
    {
        juce::Colour best;
        for (int x = 0; x < image.getWidth(); ++x)
            if (const auto c = image.getPixelAt(x, image.getHeight() / 2); c.getAlpha() > best.getAlpha())
                best = c;
        return best;
    };
    EXPECT_GT(strongest(a).getGreen(), strongest(a).getRed()) << "bank A is green";
    EXPECT_GT(strongest(b).getRed(), strongest(b).getGreen()) << "bank B is red";
}
