#include "TestSupport.h"
#include "ui/KnobBankComponent.h"

#include <gtest/gtest.h>

using testsupport::pressReturn;
using testsupport::pumpMessages;
using testsupport::typeInto;

namespace
{
struct ReportLog : NumberBox::Listener
{
    void numberBoxChanged(NumberBox* box) override { values.push_back(static_cast<int>(box->currentValue)); }
    std::vector<int> values;
};
} // namespace

TEST(KnobBankComponent, KnobsSitInTwoRowsOfFourWithTheirBoxesInPlace)
{
    KnobBankComponent bank;
    EXPECT_EQ(bank.getBounds(), juce::Rectangle<int>(0, 0, 418, 315));
    ASSERT_EQ(bank.knobs.size(), 8);
    for (int i = 0; i < 8; ++i)
    {
        auto& knob = *bank.knobs[i];
        EXPECT_EQ(knob.knobLabel->getText(), "K" + juce::String(i + 1));
        EXPECT_EQ(knob.getBounds(), juce::Rectangle<int>(107 * (i % 4), i < 4 ? 0 : 165, 92, 150)) << i;
        EXPECT_EQ(knob.getParentComponent(), &bank);
    }

    auto& knob = *bank.knobs[0];
    const std::pair<juce::Component*, juce::Rectangle<int>> places[] = {
        {knob.knobLabel.get(), {33, 72, 24, 13}},
        {knob.ccNumberBox.get(), {42, 85, 39, 15}},
        {knob.minValueBox.get(), {42, 106, 39, 15}},
        {knob.maxValueBox.get(), {42, 126, 39, 15}},
    };
    for (const auto& [child, bounds] : places)
    {
        EXPECT_EQ(child->getBounds(), bounds);
        EXPECT_TRUE(child->isVisible());
    }
}

TEST(KnobBankComponent, KnobsStartWithTheFullTravelAndRefuseValuesAbove127)
{
    knobComponent knob("K3");
    pumpMessages(); // the text editor's own pending update would undo typing done before it arrives
    EXPECT_EQ(knob.ccNumberBox->getText(), "0");
    EXPECT_EQ(knob.minValueBox->getText(), "0");
    EXPECT_EQ(knob.maxValueBox->getText(), "127");

    ReportLog log;
    knob.maxValueBox->addListener(&log);
    typeInto(*knob.maxValueBox, "100");
    pressReturn(*knob.maxValueBox);
    typeInto(*knob.maxValueBox, "128");
    pressReturn(*knob.maxValueBox);
    EXPECT_EQ(knob.maxValueBox->getText(), "100");
    EXPECT_EQ(knob.maxValueBox->currentValue, 100.0);
    EXPECT_EQ(log.values, std::vector<int>{100});

    for (auto* box : {knob.ccNumberBox.get(), knob.minValueBox.get()})
    {
        typeInto(*box, "128");
        pressReturn(*box);
        EXPECT_EQ(box->currentValue, 0.0);
    }
}

TEST(KnobBankComponent, LimitsAreNotReordered)
{
    knobComponent knob("K1");
    pumpMessages();
    ReportLog low, high;
    knob.minValueBox->addListener(&low);
    knob.maxValueBox->addListener(&high);
    typeInto(*knob.minValueBox, "100");
    pressReturn(*knob.minValueBox);
    typeInto(*knob.maxValueBox, "20");
    pressReturn(*knob.maxValueBox);
    EXPECT_EQ(knob.minValueBox->getText(), "100");
    EXPECT_EQ(knob.maxValueBox->getText(), "20");
    EXPECT_EQ(low.values, std::vector<int>{100});
    EXPECT_EQ(high.values, std::vector<int>{20});
}

TEST(KnobBankComponent, PaintsTheKnobPictureBehindEachKnob)
{
    KnobBankComponent bank;
    const auto snapshot = bank.createComponentSnapshot(bank.getLocalBounds());
    // The dial's centre in the first knob of each row; the bank itself leaves the gaps clear.
    EXPECT_EQ(snapshot.getPixelAt(46, 40).getAlpha(), 255);
    EXPECT_EQ(snapshot.getPixelAt(46, 205).getAlpha(), 255);
    EXPECT_EQ(snapshot.getPixelAt(100, 40).getAlpha(), 0);
}
