#include "support/TestSupport.h"
#include "ui/PadBankComponent.h"

#include <gtest/gtest.h>

using testsupport::pressReturn;
using testsupport::pumpMessages;
using testsupport::typeInto;

namespace
{
// Stands in for the editor controller: records what the note box and the trigger list report.
struct ControllerStandIn : NumberBox::Listener, juce::ComboBox::Listener
{
    void numberBoxChanged(NumberBox* box) override { notes.push_back(static_cast<int>(box->currentValue)); }
    void comboBoxChanged(juce::ComboBox* combo) override { triggers.push_back(combo->getSelectedId()); }
    std::vector<int> notes, triggers;
};

class PadComponentTest : public ::testing::Test
{
protected:
    PadComponentTest()
    {
        pad.noteValueBox->addListener(&controller);
        pad.triggerTypeCombo->addListener(&controller);
    }

    void commitNote(const char* typed)
    {
        typeInto(*pad.noteValueBox, typed);
        pressReturn(*pad.noteValueBox);
    }

    PadComponent pad{"PAD 3"};
    ControllerStandIn controller;
};
} // namespace

TEST_F(PadComponentTest, StartsMomentaryOnNoteZeroAndReportsThatOnceTheLoopRuns)
{
    pumpMessages();
    EXPECT_EQ(pad.triggerTypeCombo->getText(), "Momentary");
    EXPECT_EQ(pad.triggerTypeCombo->getItemText(1), "Toggle");
    EXPECT_EQ(pad.triggerTypeCombo->getItemId(1), 2);
    EXPECT_EQ(pad.noteNameCombo->getText(), "C-1");
    for (auto* box : {pad.noteValueBox.get(), pad.ccValueBox.get(), pad.programChangeBox.get()})
        EXPECT_EQ(box->getText(), "0");
    EXPECT_EQ(pad.padLabel->getText(), "PAD 3");
    EXPECT_EQ(controller.notes, std::vector<int>{0});
    EXPECT_EQ(controller.triggers, std::vector<int>{1});

    ASSERT_EQ(pad.noteNameCombo->getNumItems(), 128);
    const std::pair<int, const char*> names[] = {{9, "A-1"}, {60, "C4"}, {61, "C#4"}, {127, "G9"}};
    for (const auto& [note, name] : names)
    {
        EXPECT_EQ(pad.noteNameCombo->getItemText(note), name);
        EXPECT_EQ(pad.noteNameCombo->getItemId(note), note + 1);
    }
}

TEST_F(PadComponentTest, NoteBoxAndNameListFollowEachOther)
{
    commitNote("61");
    EXPECT_EQ(pad.noteNameCombo->getText(), "C#4");
    EXPECT_EQ(controller.notes.back(), 61);

    controller.notes.clear();
    pad.noteNameCombo->setSelectedId(10); // A-1, notified later as a user's pick is
    pumpMessages();
    EXPECT_EQ(pad.noteValueBox->getText(), "9");
    EXPECT_EQ(controller.notes, std::vector<int>{9});

    controller.notes.clear();
    commitNote("128");
    pad.ccValueBox->setValue(100);
    pumpMessages();
    EXPECT_EQ(pad.noteValueBox->getText(), "9");
    EXPECT_EQ(pad.noteNameCombo->getText(), "A-1") << "refused notes and other boxes leave the list alone";
    EXPECT_TRUE(controller.notes.empty());
}

TEST_F(PadComponentTest, ValuesFilledBeforeTheLoopRunsWinOverTheFirstSelection)
{
    pad.noteValueBox->setValue(72);
    pad.triggerTypeCombo->setSelectedId(2);
    pumpMessages();
    EXPECT_EQ(pad.noteNameCombo->getText(), "C5");
    EXPECT_EQ(controller.notes, std::vector<int>(controller.notes.size(), 72)) << "note 0 is never reported";
    EXPECT_EQ(controller.triggers, std::vector<int>{2});
}

TEST_F(PadComponentTest, LayoutAndPicture)
{
    const std::pair<juce::Component*, juce::Rectangle<int>> layout[] = {
        {&pad, {0, 0, 107, 124}},
        {pad.padLabel.get(), {0, 4, 104, 15}},
        {pad.noteNameCombo.get(), {53, 26, 39, 14}},
        {pad.noteValueBox.get(), {54, 42, 39, 14}},
        {pad.ccValueBox.get(), {54, 60, 39, 15}},
        {pad.programChangeBox.get(), {54, 78, 39, 15}},
        {pad.triggerTypeCombo.get(), {11, 98, 84, 14}}};
    for (const auto& [child, bounds] : layout)
        EXPECT_EQ(child->getBounds(), bounds) << child->getName();

    const auto image = pad.createComponentSnapshot(pad.getLocalBounds());
    EXPECT_EQ(image.getPixelAt(30, 57).getAlpha(), 255) << "the pad face shows between the captions";
    EXPECT_EQ(image.getPixelAt(50, 2).getAlpha(), 0) << "nothing above the pad picture";
}

TEST(PadBankComponent, EightPadsInTwoRowsOverTheOutline)
{
    juce::Image outline(juce::Image::ARGB, 503, 257, true);
    outline.clear(outline.getBounds(), juce::Colours::green);
    PadBankComponent bank("BANK B", &outline);

    EXPECT_EQ(bank.getBounds(), juce::Rectangle<int>(0, 0, 503, 264));
    EXPECT_EQ(bank.bankLabel->getText(), "BANK B");
    EXPECT_EQ(bank.bankLabel->getBounds(), juce::Rectangle<int>(190, -2, 66, 15));
    ASSERT_EQ(bank.pads.size(), 8);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(bank.pads[i]->padLabel->getText(), "PAD " + juce::String(i + 1));
        EXPECT_EQ(bank.pads[i]->getBounds(),
                  juce::Rectangle<int>(10 + 125 * (i % 4), i < 4 ? 128 : 6, 107, 124));
        EXPECT_EQ(&bank.pads[i]->noteNameCombo->getLookAndFeel(), &bank.look);
    }

    const auto image = bank.createComponentSnapshot(bank.getLocalBounds());
    EXPECT_EQ(image.getPixelAt(4, 100), juce::Colour(juce::Colours::green));
    EXPECT_EQ(image.getPixelAt(4, 1).getAlpha(), 0) << "the outline spans y 2 to 261";
    EXPECT_EQ(image.getPixelAt(4, 262).getAlpha(), 0);
}

TEST(PadBankComponent, WithoutAnOutlineDrawsNothingAndGoesAwayCleanlyWithNotificationsPending)
{
    juce::Component parent;
    {
        PadBankComponent bank("BANK A", nullptr);
        parent.addAndMakeVisible(bank);
        EXPECT_EQ(bank.createComponentSnapshot(bank.getLocalBounds()).getPixelAt(4, 100).getAlpha(), 0);
        bank.pads[2]->noteNameCombo->setSelectedId(50);
    }
    pumpMessages();
    EXPECT_EQ(parent.getNumChildComponents(), 0);
}
