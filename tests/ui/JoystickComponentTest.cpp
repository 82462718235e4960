#include "TestSupport.h"
#include "ui/JoystickComponent.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

namespace
{
// What one axis shows for one message type; a box's y is checked only where it is shown.
struct AxisLayout
{
    int messageType;
    bool onePicture, twoPicture, firstBox, secondBox, captions, plus;
    int firstY, secondY;
};

struct AxisWidgets
{
    juce::ComboBox& combo;
    juce::Component &onePicture, &twoPicture;
    NumberBox &firstBox, &secondBox;
    juce::Component &captionA, &captionB, &plus;
};

AxisWidgets xAxis(JoystickComponent& p)
{
    return {*p.xAxisCombo,   *p.xOneCcImage, *p.xTwoCcImage, *p.xFirstCcBox,
            *p.xSecondCcBox, *p.leftLabel,   *p.rightLabel,  *p.xPlusLabel};
}

AxisWidgets yAxis(JoystickComponent& p)
{
    return {*p.yAxisCombo,   *p.yOneCcImage, *p.yTwoCcImage, *p.yFirstCcBox,
            *p.ySecondCcBox, *p.upLabel,     *p.downLabel,   *p.yPlusLabel};
}

void expectLayout(const AxisWidgets& w, const AxisLayout& want)
{
    SCOPED_TRACE(w.combo.getName() + " type " + juce::String(want.messageType));
    EXPECT_EQ(w.onePicture.isVisible(), want.onePicture);
    EXPECT_EQ(w.twoPicture.isVisible(), want.twoPicture);
    EXPECT_EQ(w.firstBox.isVisible(), want.firstBox);
    EXPECT_EQ(w.secondBox.isVisible(), want.secondBox);
    EXPECT_EQ(w.captionA.isVisible(), want.captions);
    EXPECT_EQ(w.captionB.isVisible(), want.captions);
    EXPECT_EQ(w.plus.isVisible(), want.plus);
    if (want.firstBox)
    {
        EXPECT_EQ(w.firstBox.getBounds(), juce::Rectangle<int>(93, want.firstY, 48, 14));
    }
    if (want.secondBox)
    {
        EXPECT_EQ(w.secondBox.getBounds(), juce::Rectangle<int>(93, want.secondY, 48, 14));
    }
}

constexpr AxisLayout xPitchbend{1, false, false, false, false, false, false, 0, 0};
constexpr AxisLayout xOneCc{2, true, false, true, false, true, true, 155, 0};
constexpr AxisLayout xTwoCc{3, false, true, true, true, true, false, 143, 167};
constexpr AxisLayout yPitchbend{1, false, false, false, false, false, false, 0, 0};
constexpr AxisLayout yOneCc{2, true, false, true, false, true, true, 228, 0};
constexpr AxisLayout yTwoCc{3, false, true, true, true, true, false, 240, 216};
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
}

TEST(JoystickComponent, EachXPictureFillsItsSlotWithoutShrinking)
{
    JoystickComponent panel;
    for (auto* picture : {panel.xOneCcImage.get(), panel.xTwoCcImage.get()})
        EXPECT_EQ(picture->getImage().getBounds(), picture->getLocalBounds());
}

TEST(JoystickComponent, StartsWithPitchbendOnXAndOneCcOnY)
{
    JoystickComponent panel;
    expectLayout(yAxis(panel), yOneCc);
    pumpMessages();
    EXPECT_EQ(panel.xAxisCombo->getSelectedId(), 1);
    EXPECT_EQ(panel.yAxisCombo->getSelectedId(), 2);
    expectLayout(xAxis(panel), xPitchbend);
    expectLayout(yAxis(panel), yOneCc);
    for (auto* box : {panel.xFirstCcBox.get(), panel.xSecondCcBox.get(), panel.yFirstCcBox.get(),
                      panel.ySecondCcBox.get()})
        EXPECT_EQ(box->getText(), "0");
}

TEST(JoystickComponent, EachMessageTypeShowsItsOwnWidgets)
{
    JoystickComponent panel;
    pumpMessages();
    for (const auto& [axis, sequence] :
         {std::pair{xAxis(panel), std::vector{xOneCc, xTwoCc, xPitchbend, xTwoCc, xOneCc}},
          std::pair{yAxis(panel), std::vector{yTwoCc, yPitchbend, yOneCc, yTwoCc, yOneCc}}})
    {
        for (const auto& want : sequence)
        {
            axis.combo.setSelectedId(want.messageType);
            pumpMessages();
            expectLayout(axis, want);
        }
        // A type the combo does not offer leaves the layout alone.
        axis.combo.setSelectedId(0);
        pumpMessages();
        expectLayout(axis, sequence.back());
    }
    expectLayout(xAxis(panel), xOneCc);
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
    expectLayout(yAxis(panel), yPitchbend);
    EXPECT_EQ(panel.yFirstCcBox->currentValue, 11.0);
    EXPECT_EQ(panel.ySecondCcBox->currentValue, 12.0);
    panel.yAxisCombo->setSelectedId(3);
    pumpMessages();
    EXPECT_EQ(panel.ySecondCcBox->getText(), "12");
}

TEST(JoystickComponent, MessageTypeChoicesAndRender)
{
    JoystickComponent panel;
    for (auto* combo : {panel.xAxisCombo.get(), panel.yAxisCombo.get()})
    {
        ASSERT_EQ(combo->getNumItems(), 3);
        EXPECT_EQ(combo->getItemText(0), "Pitchbend");
        EXPECT_EQ(combo->getItemText(1), "CC 1");
        EXPECT_EQ(combo->getItemText(2), "CC 2");
        EXPECT_EQ(combo->getItemId(2), 3);
    }
    const auto snapshot = panel.createComponentSnapshot(panel.getLocalBounds());
    EXPECT_EQ(snapshot.getPixelAt(75, 200).getAlpha(), 255) << "background behind the controls";
}

TEST(JoystickComponent, DeletingThePanelDropsPendingNotifications)
{
    auto panel = std::make_unique<JoystickComponent>();
    panel.reset();
    pumpMessages();
}
