#include "support/TestSupport.h"
#include "ui/ChanSelectionComponent.h"

#include <gtest/gtest.h>

using testsupport::pressReturn;
using testsupport::typeInto;

TEST(ChanSelectionComponent, ChannelsStartAtOneAndStayWithinOneToSixteen)
{
    ChanSelectionComponent strip;
    for (auto* box : {strip.padChannelBox.get(), strip.keybedChannelBox.get()})
    {
        EXPECT_EQ(box->getText(), "1");
        for (const char* typed : {"0", "17", "16"})
        {
            typeInto(*box, typed);
            pressReturn(*box);
        }
        EXPECT_EQ(box->currentValue, 16.0) << "only 16 was taken";
    }
}

TEST(ChanSelectionComponent, LayoutAndCaptions)
{
    ChanSelectionComponent strip;
    EXPECT_EQ(strip.getBounds(), juce::Rectangle<int>(0, 0, 503, 20));
    EXPECT_EQ(strip.padChannelBox->getBounds(), juce::Rectangle<int>(106, 3, 37, 14));
    EXPECT_EQ(strip.keybedChannelBox->getBounds(), juce::Rectangle<int>(463, 3, 37, 14));

    const auto image = strip.createComponentSnapshot(strip.getLocalBounds());
    auto inkIn = [&image](juce::Rectangle<int> area)
    {
        int ink = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                ink += image.getPixelAt(x, y).getAlpha() > 0 ? 1 : 0;
        return ink;
    };
    EXPECT_GT(inkIn({0, 4, 104, 14}), 0);
    EXPECT_GT(inkIn({282, 4, 182, 14}), 0);
    EXPECT_EQ(inkIn({150, 0, 120, 20}), 0) << "no background";
}
