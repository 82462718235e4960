#include "support/TestSupport.h"
#include "ui/ArpComponent.h"

#include <gtest/gtest.h>

using testsupport::pressReturn;
using testsupport::pumpMessages;
using testsupport::typeInto;

namespace
{
// Flips the button on each click, as the editor controller does.
struct TogglingController : juce::Button::Listener
{
    void buttonClicked(juce::Button* button) override
    {
        button->setToggleState(!button->getToggleState(), juce::dontSendNotification);
    }
};

int redPixels(ArpComponent& panel)
{
    const auto button = panel.createComponentSnapshot(panel.arpOnButton->getBounds());
    int count = 0;
    for (int y = 0; y < button.getHeight(); ++y)
        for (int x = 0; x < button.getWidth(); ++x)
        {
            const auto c = button.getPixelAt(x, y);
            count += c.getRed() > 150 && c.getGreen() < 100 && c.getBlue() < 100 ? 1 : 0;
        }
    return count;
}
} // namespace

TEST(ArpComponent, WidgetsSitInThreeColumns)
{
    ArpComponent panel;
    EXPECT_EQ(panel.getBounds(), juce::Rectangle<int>(0, 0, 416, 108));
    const std::pair<juce::Component*, juce::Rectangle<int>> places[] = {
        {panel.arpOnButton.get(), {300, 13, 79, 24}},      {panel.tempoTapsBox.get(), {344, 47, 62, 15}},
        {panel.tempoBox.get(), {67, 20, 62, 15}},          {panel.octaveBox.get(), {196, 21, 62, 15}},
        {panel.timeDivisionCombo.get(), {67, 46, 62, 15}}, {panel.clockCombo.get(), {344, 73, 62, 15}},
        {panel.latchCombo.get(), {196, 74, 62, 15}},       {panel.modeCombo.get(), {196, 47, 62, 15}},
        {panel.swingCombo.get(), {67, 74, 62, 15}},
    };
    for (const auto& [child, bounds] : places)
    {
        EXPECT_EQ(child->getBounds(), bounds);
        EXPECT_TRUE(child->isVisible());
    }

    const auto snapshot = panel.createComponentSnapshot(panel.getLocalBounds());
    EXPECT_EQ(snapshot.getPixelAt(208, 60).getAlpha(), 255);
    EXPECT_EQ(snapshot.getPixelAt(208, 104).getAlpha(), 0) << "the picture stops 7 rows short";
}

TEST(ArpComponent, CombosOfferTheirChoicesAndStartOnTheFirst)
{
    ArpComponent panel;
    pumpMessages();
    const std::pair<juce::ComboBox*, juce::StringArray> choices[] = {
        {panel.timeDivisionCombo.get(), {"1/4", "1/4T", "1/8", "1/8T", "1/16", "1/16T", "1/32", "1/32T"}},
        {panel.modeCombo.get(), {"UP", "DOWN", "EXCLUSIVE", "INCLUSIVE", "ORDER", "RANDOM"}},
        {panel.swingCombo.get(), {"50%", "55%", "57%", "59%", "61%", "64%"}},
        {panel.latchCombo.get(), {"OFF ", "ON"}},
        {panel.clockCombo.get(), {"Internal", "External"}},
    };
    for (const auto& [combo, items] : choices)
    {
        ASSERT_EQ(combo->getNumItems(), items.size());
        for (int i = 0; i < items.size(); ++i)
        {
            EXPECT_EQ(combo->getItemText(i), items[i]);
            EXPECT_EQ(combo->getItemId(i), i + 1);
        }
        EXPECT_EQ(combo->getSelectedId(), 1);
        EXPECT_EQ(combo->getText(), items[0]);
    }
}

TEST(ArpComponent, BoxesTakeOnlyValuesInTheirRanges)
{
    ArpComponent panel;
    pumpMessages();
    struct Case
    {
        NumberBox* box;
        int first, lowest, highest;
    };
    for (const auto& c : {Case{panel.tempoBox.get(), 120, 30, 240}, Case{panel.octaveBox.get(), 1, 1, 4},
                          Case{panel.tempoTapsBox.get(), 3, 2, 4}})
    {
        EXPECT_EQ(c.box->getText(), juce::String(c.first));
        for (int typed : {c.lowest - 1, c.highest + 1, c.highest + 10, c.lowest - 10})
        {
            typeInto(*c.box, juce::String(typed));
            pressReturn(*c.box);
            EXPECT_EQ(c.box->getText(), juce::String(c.first)) << typed << " is refused";
        }
        for (int typed : {c.highest, c.lowest})
        {
            typeInto(*c.box, juce::String(typed));
            pressReturn(*c.box);
            EXPECT_EQ(c.box->currentValue, typed);
        }
    }
}

TEST(ArpComponent, OnOffButtonIsRedExactlyWhileOn)
{
    ArpComponent panel;
    TogglingController controller;
    panel.arpOnButton->addListener(&controller);
    auto click = [&]
    {
        panel.arpOnButton->triggerClick();
        pumpMessages();
        // Off screen nothing repaints, so the flash of the click would never end by itself.
        panel.arpOnButton->setState(juce::Button::buttonNormal);
    };

    EXPECT_EQ(redPixels(panel), 0);
    click();
    ASSERT_TRUE(panel.arpOnButton->getToggleState()) << "only the controller toggles it, once per click";
    EXPECT_GT(redPixels(panel), 79 * 24 / 3);
    click();
    EXPECT_FALSE(panel.arpOnButton->getToggleState());
    EXPECT_EQ(redPixels(panel), 0);
    panel.arpOnButton->removeListener(&controller);
}
