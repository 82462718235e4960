#include "support/TestSupport.h"
#include "tools/AutoPolulateToolComponent.h"

#include <gtest/gtest.h>

using testsupport::pressReturn;
using testsupport::pumpMessages;
using testsupport::typeInto;

TEST(AutoPopPanel, WidgetsSitInTheirPlaces)
{
    AutoPolulateToolComponent p;
    EXPECT_EQ(p.getBounds(), juce::Rectangle<int>(0, 0, 633, 268));
    const std::pair<juce::Component*, juce::Rectangle<int>> places[] = {
        {p.scaleCombo.get(), {128, 84, 104, 14}},
        {p.startNoteCombo.get(), {152, 100, 40, 14}},
        {p.startNoteBox.get(), {196, 99, 36, 15}},
        {p.pcStartBox.get(), {188, 135, 43, 15}},
        {p.pcDirection.get(), {143, 154, 88, 14}},
        {p.ccStartBox.get(), {187, 179, 43, 15}},
        {p.ccDirection.get(), {143, 196, 88, 14}},
        {p.ccTypeCombo.get(), {143, 222, 88, 14}},
        {p.noteToggle.get(), {28, 90, 18, 17}},
        {p.pcToggle.get(), {28, 143, 18, 17}},
        {p.ccToggle.get(), {28, 186, 18, 17}},
        {p.ccTypeToggle.get(), {28, 220, 18, 17}},
        {p.applyBankAButton.get(), {246, 88, 131, 26}},
        {p.applyBankBButton.get(), {246, 144, 131, 26}},
        {p.applyBothBanksButton.get(), {246, 200, 131, 26}},
        {p.knobCcToggle.get(), {408, 96, 18, 17}},
        {p.knobCcStartBox.get(), {558, 92, 43, 15}},
        {p.knobCcDirection.get(), {517, 108, 83, 14}},
        {p.knobMinToggle.get(), {408, 147, 18, 17}},
        {p.knobMinBox.get(), {560, 146, 43, 15}},
        {p.knobMaxToggle.get(), {408, 179, 18, 17}},
        {p.knobMaxBox.get(), {560, 178, 43, 15}},
        {p.applyKnobsButton.get(), {446, 209, 131, 26}},
    };
    ASSERT_EQ(p.getNumChildComponents(), 23);
    for (const auto& [child, bounds] : places)
        EXPECT_EQ(child->getBounds(), bounds) << p.getIndexOfChildComponent(child);
    EXPECT_EQ(p.getIndexOfChildComponent(p.knobCcDirection.get()), 0) << "built in member order";
}

TEST(AutoPopPanel, StartsFromTheDefaults)
{
    AutoPolulateToolComponent p;
    pumpMessages();
    for (auto* tick : {p.noteToggle.get(), p.pcToggle.get(), p.ccToggle.get(), p.ccTypeToggle.get(),
                       p.knobCcToggle.get(), p.knobMinToggle.get(), p.knobMaxToggle.get()})
        EXPECT_TRUE(!tick->getToggleState() && tick->getName() == "new button");
    for (auto* combo : {p.knobCcDirection.get(), p.scaleCombo.get(), p.startNoteCombo.get(),
                        p.pcDirection.get(), p.ccDirection.get(), p.ccTypeCombo.get()})
        EXPECT_TRUE(combo->getSelectedId() == 1 && combo->getName() == "new combo box");
    for (auto* box : {p.pcStartBox.get(), p.ccStartBox.get(), p.knobCcStartBox.get(), p.knobMinBox.get(),
                      p.knobMaxBox.get(), p.startNoteBox.get()})
        EXPECT_TRUE(box->currentValue == 0.0 && box->getText() == "0" && box->maxValue == 127.0);
    EXPECT_EQ(p.ccTypeCombo->getItemText(1), "TOGGLE");
    EXPECT_EQ(p.knobCcDirection->getItemText(1), "DESCENDING");
    ASSERT_EQ(p.startNoteCombo->getNumItems(), 128);
    EXPECT_EQ(p.startNoteCombo->getText(), "C-1");
    EXPECT_EQ(p.startNoteCombo->getItemText(60), "C4");
    EXPECT_EQ(p.startNoteCombo->getItemText(127), "G9");
}

TEST(AutoPopPanel, StartNoteListAndBoxFollowEachOther)
{
    AutoPolulateToolComponent p;
    p.startNoteCombo->setSelectedId(61, juce::sendNotificationAsync);
    pumpMessages();
    EXPECT_EQ(p.startNoteBox->getText(), "60");
    typeInto(*p.startNoteBox, "61");
    pressReturn(*p.startNoteBox);
    EXPECT_EQ(p.startNoteCombo->getText(), "C#4");
    typeInto(*p.startNoteBox, "128");
    pressReturn(*p.startNoteBox);
    EXPECT_EQ(p.startNoteBox->getText(), "61");
    EXPECT_EQ(p.startNoteCombo->getSelectedId(), 62);
}

TEST(AutoPopPanel, TickBoxesFlipOnlyWhenClickedAndShowTheirX)
{
    AutoPolulateToolComponent p;
    for (auto* button : {p.noteToggle.get(), p.knobMaxToggle.get(), p.knobMaxToggle.get(),
                         p.applyBankAButton.get(), p.applyBothBanksButton.get(), p.applyKnobsButton.get()})
        button->triggerClick();
    pumpMessages();
    EXPECT_TRUE(p.noteToggle->getToggleState());
    EXPECT_FALSE(p.knobMaxToggle->getToggleState());
    EXPECT_FALSE(p.pcToggle->getToggleState());

    EXPECT_EQ(p.noteToggle->getOverImage(), p.noteToggle->getNormalImage()) << "no over picture of its own";
    EXPECT_NE(p.noteToggle->getDownImage(), p.noteToggle->getNormalImage());
    EXPECT_EQ(p.applyBothBanksButton->getOverImage(), p.applyBothBanksButton->getDownImage());
    EXPECT_NE(p.applyBankAButton->getOverImage(), p.applyBankAButton->getDownImage());

    const auto snapshot = p.createComponentSnapshot(p.getLocalBounds());
    int dark = 0;
    for (int y = 48; y < 78; ++y)
        for (int x = 94; x < 153; ++x)
            dark += snapshot.getPixelAt(x, y).getBrightness() < 0.3f ? 1 : 0;
    EXPECT_GT(dark, 20) << "PADS in black in the frame's gap";
    EXPECT_LT(snapshot.getPixelAt(5, 5).getBrightness(), 1.0f) << "the grey backdrop over the white fill";

    p.setNotice("3 pads left as they were: A6, A7, A8 (note would pass 127)");
    const auto noted = p.createComponentSnapshot(p.getLocalBounds());
    int changed = 0;
    for (int y = 250; y < 268; ++y)
        for (int x = 0; x < 633; ++x)
            changed += noted.getPixelAt(x, y) != snapshot.getPixelAt(x, y) ? 1 : 0;
    EXPECT_GT(changed, 100) << "the notice is drawn in the strip under the frames";
}
