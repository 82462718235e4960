#include "support/TestSupport.h"
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

void commit(NumberBox& box, const juce::String& typed)
{
    typeInto(box, typed);
    pressReturn(box);
}
} // namespace

TEST(KnobBankComponent, KnobsSitInTwoRowsOfFourWithTheirBoxesInPlace)
{
    KnobBankComponent bank;
    EXPECT_EQ(bank.getBounds(), juce::Rectangle<int>(0, 0, 418, 315));
    ASSERT_EQ(bank.knobs.size(), 8);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(bank.knobs[i]->knobLabel->getText(), "K" + juce::String(i + 1));
        EXPECT_EQ(bank.knobs[i]->getBounds(), juce::Rectangle<int>(107 * (i % 4), i < 4 ? 0 : 165, 92, 150))
            << i;
    }

    auto& knob = *bank.knobs[0];
    const std::pair<juce::Component*, juce::Rectangle<int>> places[] = {
        {knob.knobLabel.get(), {33, 72, 24, 13}},
        {knob.ccNumberBox.get(), {42, 85, 39, 15}},
        {knob.minValueBox.get(), {42, 106, 39, 15}},
        {knob.maxValueBox.get(), {42, 126, 39, 15}},
    };
    for (const auto& [child, bounds] : places)
        EXPECT_EQ(child->getBounds(), bounds);

    const auto snapshot = bank.createComponentSnapshot(bank.getLocalBounds());
    EXPECT_EQ(snapshot.getPixelAt(46, 205).getAlpha(), 255) << "the knob picture of K5";
    EXPECT_EQ(snapshot.getPixelAt(100, 40).getAlpha(), 0) << "the bank paints nothing between knobs";
}

TEST(KnobBankComponent, EachBoxKeepsItsOwnValueWithinAFullMidiRange)
{
    knobComponent knob("K3");
    pumpMessages(); // the editor's own pending text update would undo typing done before it arrives
    EXPECT_EQ(knob.ccNumberBox->getText(), "0");
    EXPECT_EQ(knob.minValueBox->getText(), "0");
    EXPECT_EQ(knob.maxValueBox->getText(), "127");

    ReportLog low, high;
    knob.minValueBox->addListener(&low);
    knob.maxValueBox->addListener(&high);
    commit(*knob.maxValueBox, "20");
    commit(*knob.maxValueBox, "128");
    commit(*knob.minValueBox, "100");
    EXPECT_EQ(knob.maxValueBox->getText(), "20") << "128 is refused";
    EXPECT_EQ(knob.minValueBox->getText(), "100") << "LO above HI is kept as typed";
    EXPECT_EQ(high.values, std::vector<int>{20});
    EXPECT_EQ(low.values, std::vector<int>{100});

    commit(*knob.ccNumberBox, "128");
    EXPECT_EQ(knob.ccNumberBox->currentValue, 0.0);
}
