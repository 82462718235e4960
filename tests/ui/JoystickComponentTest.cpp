#include "support/TestSupport.h"
#include "ui/JoystickComponent.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

namespace
{
// What one axis shows for a message type; a box's y is checked only where it is shown.
struct AxisLayout
{
    int messageType;
    bool onePicture, twoPicture, firstBox, secondBox, captions, plus;
    int firstY, secondY;
};

constexpr AxisLayout pitchbend{1, false, false, false, false, false, false, 0, 0};
constexpr AxisLayout xOneCc{2, true, false, true, false, true, true, 155, 0};
constexpr AxisLayout xTwoCc{3, false, true, true, true, true, false, 143, 167};
constexpr AxisLayout yOneCc{2, true, false, true, false, true, true, 228, 0};
constexpr AxisLayout yTwoCc{3, false, true, true, true, true, false, 240, 216};

struct Axis
{
    juce::ComboBox* combo;
    juce::Component *onePicture, *twoPicture;
    NumberBox *firstBox, *secondBox;
    juce::Component *captionA, *captionB, *plus;

    void expect(const AxisLayout& want) const
    {
        SCOPED_TRACE(combo->getName() + " type " + juce::String(want.messageType));
        EXPECT_EQ(onePicture->isVisible(), want.onePicture);
        EXPECT_EQ(twoPicture->isVisible(), want.twoPicture);
        EXPECT_EQ(firstBox->isVisible(), want.firstBox);
        EXPECT_EQ(secondBox->isVisible(), want.secondBox);
        EXPECT_EQ(captionA->isVisible(), want.captions);
        EXPECT_EQ(captionB->isVisible(), want.captions);
        EXPECT_EQ(plus->isVisible(), want.plus);
        EXPECT_EQ(firstBox->getBounds(),
                  want.firstBox ? juce::Rectangle<int>(93, want.firstY, 48, 14) : firstBox->getBounds());
        EXPECT_EQ(secondBox->getBounds(),
                  want.secondBox ? juce::Rectangle<int>(93, want.secondY, 48, 14) : secondBox->getBounds());
    }
};

Axis xAxis(JoystickComponent& p)
{
    return {p.xAxisCombo.get(),   p.xOneCcImage.get(), p.xTwoCcImage.get(), p.xFirstCcBox.get(),
            p.xSecondCcBox.get(), p.leftLabel.get(),   p.rightLabel.get(),  p.xPlusLabel.get()};
}

Axis yAxis(JoystickComponent& p)
{
    return {p.yAxisCombo.get(),   p.yOneCcImage.get(), p.yTwoCcImage.get(), p.yFirstCcBox.get(),
            p.ySecondCcBox.get(), p.upLabel.get(),     p.downLabel.get(),   p.yPlusLabel.get()};
}
} // namespace

TEST(JoystickComponent, FixedWidgetsSitAtTheirPlaces)
{
    JoystickComponent panel;
    EXPECT_EQ(panel.getBounds(), juce::Rectangle<int>(0, 0, 151, 270));
    const std::pair<juce::Component*, juce::Rectangle<int>> places[] = {
        {panel.xOneCcImage.get(), {11, 150, 34, 24}}, {panel.xAxisCombo.get(), {65, 115, 76, 20}},
        {panel.yAxisCombo.get(), {65, 189, 76, 20}},  {panel.xTwoCcImage.get(), {11, 137, 34, 49}},
        {panel.yTwoCcImage.get(), {11, 211, 34, 49}}, {panel.yOneCcImage.get(), {11, 224, 34, 24}},
        {panel.leftLabel.get(), {54, 145, 40, 16}},   {panel.rightLabel.get(), {45, 168, 56, 15}},
        {panel.upLabel.get(), {64, 216, 35, 16}},     {panel.downLabel.get(), {43, 241, 51, 15}},
        {panel.xPlusLabel.get(), {75, 155, 16, 16}},  {panel.yPlusLabel.get(), {73, 227, 16, 16}},
    };
    for (const auto& [child, bounds] : places)
        EXPECT_EQ(child->getBounds(), bounds) << child->getName();

    // Both X pictures are shown at their own size, not shrunk into a slot of the other's height.
    for (auto* picture : {panel.xOneCcImage.get(), panel.xTwoCcImage.get()})
        EXPECT_EQ(picture->getImage().getBounds(), picture->getLocalBounds());

    const auto snapshot = panel.createComponentSnapshot(panel.getLocalBounds());
    EXPECT_EQ(snapshot.getPixelAt(75, 200).getAlpha(), 255) << "background behind the controls";
}

TEST(JoystickComponent, StartsWithPitchbendOnXAndOneCcOnY)
{
    JoystickComponent panel;
    yAxis(panel).expect(yOneCc);
    pumpMessages();
    EXPECT_EQ(panel.xAxisCombo->getText(), "Pitchbend");
    EXPECT_EQ(panel.yAxisCombo->getText(), "CC 1");
    xAxis(panel).expect(pitchbend);
    yAxis(panel).expect(yOneCc);
    for (auto* box : {panel.xFirstCcBox.get(), panel.xSecondCcBox.get(), panel.ySecondCcBox.get()})
        EXPECT_EQ(box->getText(), "0");
}

TEST(JoystickComponent, EachMessageTypeShowsItsOwnWidgets)
{
    JoystickComponent panel;
    pumpMessages();
    for (const auto& [axis, sequence] :
         {std::pair{xAxis(panel), std::vector{xOneCc, xTwoCc, pitchbend, xTwoCc}},
          std::pair{yAxis(panel), std::vector{yTwoCc, pitchbend, yOneCc, yTwoCc}}})
    {
        for (const auto& want : sequence)
        {
            axis.combo->setSelectedId(want.messageType);
            pumpMessages();
            axis.expect(want);
        }
        // No selection is not a message type: the layout stays.
        axis.combo->setSelectedId(0);
        pumpMessages();
        axis.expect(sequence.back());
    }
    xAxis(panel).expect(xTwoCc);
}

TEST(JoystickComponent, HiddenBoxesKeepTheirNumbers)
{
    JoystickComponent panel;
    pumpMessages();
    panel.yAxisCombo->setSelectedId(3);
    pumpMessages();
    panel.yFirstCcBox->setValue(11);
    panel.ySecondCcBox->setValue(12);
    panel.yAxisCombo->setSelectedId(1);
    pumpMessages();
    yAxis(panel).expect(pitchbend);
    panel.yAxisCombo->setSelectedId(3);
    pumpMessages();
    EXPECT_EQ(panel.yFirstCcBox->getText(), "11");
    EXPECT_EQ(panel.ySecondCcBox->getText(), "12");
}
