#include "support/TestSupport.h"
#include "tools/AutoPopToolController.h"
#include "app/MainWindow.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

namespace
{
using Row = std::vector<int>;

std::unique_ptr<MainWindow> makeWindow()
{
    auto window = std::make_unique<MainWindow>(0, 0, MainWindow::Services{});
    window->getController().resetToDefaults();
    pumpMessages();
    return window;
}

// field 0 to 3 of the pads of a bank, or, with bank -1, field 0 to 2 of the knobs.
Row values(MainWindow& window, int bank, int field)
{
    const auto& model = window.getController().getModel();
    Row row;
    for (int i = 0; i < 8; ++i)
        row.push_back(bank < 0 ? model.getKnob(i, field) : model.pad(bank, i).getValue(field));
    return row;
}

// From the editor's default program: what the tool must leave alone.
const Row defaultNotesA{44, 45, 46, 47, 48, 49, 50, 51};
const Row defaultNotesB{32, 33, 34, 35, 36, 37, 38, 39};
constexpr int knobs = -1;

class AutoPopLogic : public ::testing::Test
{
protected:
    void click(juce::Button& button)
    {
        button.triggerClick();
        pumpMessages();
    }

    void applyNotes(juce::Button& apply, int scaleId, int startNote)
    {
        if (!panel.noteToggle->getToggleState())
            click(*panel.noteToggle);
        panel.scaleCombo->setSelectedId(scaleId);
        panel.startNoteCombo->setSelectedId(startNote + 1);
        click(apply);
    }

    Row target(int bank, int field) { return values(*targetWindow, bank, field); }

    std::unique_ptr<MainWindow> targetWindow = makeWindow();
    MainWindow* current = nullptr;
    AutoPolulateToolComponent panel;
    AutoPopToolController controller{panel, targetWindow.get(), [this] { return current; }};
};
} // namespace

TEST_F(AutoPopLogic, EveryListEntryGivesItsOwnScale)
{
    const std::pair<const char*, Row> scales[] = {
        {"CHROMATIC UP", {0, 1, 2, 3, 4, 5, 6, 7}},     {"CHROMATIC DOWN", {0, -1, -2, -3, -4, -5, -6, -7}},
        {"MAJOR", {0, 2, 4, 5, 7, 9, 11, 12}},          {"MINOR", {0, 2, 3, 5, 7, 8, 10, 12}},
        {"HARMONIC MINOR", {0, 2, 3, 5, 7, 8, 11, 12}}, {"MELODIC MINOR", {0, 2, 3, 5, 7, 9, 11, 12}},
        {"DORIAN", {0, 2, 3, 5, 7, 9, 10, 12}},         {"PHRYGIAN", {0, 1, 3, 5, 7, 8, 10, 12}},
        {"LYDIAN", {0, 2, 4, 6, 7, 9, 11, 12}},         {"MIXOLYDIAN", {0, 2, 4, 5, 7, 9, 10, 12}},
        {"LOCRIAN", {0, 1, 3, 5, 6, 8, 10, 12}},
    };
    ASSERT_EQ(panel.scaleCombo->getNumItems(), 11);
    for (int id = 1; id <= 11; ++id)
    {
        auto [caption, expected] = scales[id - 1];
        for (int& note : expected)
            note += 48;
        EXPECT_EQ(panel.scaleCombo->getItemText(id - 1), caption);
        applyNotes(*panel.applyBankAButton, id, 48);
        EXPECT_EQ(target(0, 0), expected) << caption;
    }
    EXPECT_EQ(target(1, 0), defaultNotesB);
    EXPECT_EQ(panel.getNotice(), "") << "everything was written";
    EXPECT_EQ(AutoPopToolController::scaleKindFromId(0), AutoPopToolController::scaleKindFromId(11));
}

TEST_F(AutoPopLogic, BankBContinuesTheRunOrStartsWhereAWouldAndOutOfRangeNotesAreSkipped)
{
    applyNotes(*panel.applyBothBanksButton, 3, 60);
    EXPECT_EQ(target(0, 0), (Row{60, 62, 64, 65, 67, 69, 71, 72}));
    EXPECT_EQ(target(1, 0), (Row{72, 74, 76, 77, 79, 81, 83, 84}));
    applyNotes(*panel.applyBothBanksButton, 2, 60);
    EXPECT_EQ(target(0, 0), (Row{60, 59, 58, 57, 56, 55, 54, 53}));
    EXPECT_EQ(target(1, 0), (Row{52, 51, 50, 49, 48, 47, 46, 45}));

    targetWindow->getController().resetToDefaults();
    applyNotes(*panel.applyBankBButton, 3, 48);
    EXPECT_EQ(target(1, 0), (Row{48, 50, 52, 53, 55, 57, 59, 60}));
    EXPECT_EQ(target(0, 0), defaultNotesA);
    applyNotes(*panel.applyBankAButton, 1, 124);
    EXPECT_EQ(target(0, 0), (Row{124, 125, 126, 127, 48, 49, 50, 51}));
    EXPECT_EQ(panel.getNotice(), "4 pads left as they were: A5 to A8 (note would pass 127)");

    targetWindow->getController().resetToDefaults();
    applyNotes(*panel.applyBothBanksButton, 3, 127);
    EXPECT_EQ(target(0, 0), (Row{127, 45, 46, 47, 48, 49, 50, 51}));
    EXPECT_EQ(target(1, 0), defaultNotesB);
    EXPECT_EQ(panel.getNotice(), "15 pads left as they were: A2 to A8, B1 to B8 (note would pass 127)");
}

TEST_F(AutoPopLogic, RunsAndTriggerTypesFollowTheirTickBoxesOnly)
{
    click(*panel.pcToggle);
    panel.pcStartBox->setValue(10);
    panel.pcDirection->setSelectedId(2);
    click(*panel.applyBothBanksButton);
    click(*panel.applyBothBanksButton);
    EXPECT_EQ(target(0, 2), (Row{10, 9, 8, 7, 6, 5, 4, 3}));
    EXPECT_EQ(target(1, 2), (Row{2, 1, 0, 11, 12, 13, 14, 15})) << "a second press writes the same run";
    EXPECT_EQ(panel.getNotice(), "5 pads left as they were: B4 to B8 (program change would pass 0)");
    EXPECT_EQ(target(0, 1), (Row{1, 2, 3, 4, 5, 6, 7, 8})) << "CC values are not ticked";
    EXPECT_EQ(target(0, 0), defaultNotesA);

    click(*panel.pcToggle);
    click(*panel.ccToggle);
    click(*panel.ccTypeToggle);
    panel.ccStartBox->setValue(100);
    panel.ccTypeCombo->setSelectedId(1);
    click(*panel.applyBankBButton);
    EXPECT_EQ(target(1, 1), (Row{100, 101, 102, 103, 104, 105, 106, 107}));
    EXPECT_EQ(target(1, 3), Row(8, 1)) << "Momentary";
    EXPECT_EQ(target(0, 3), Row(8, 2));
    EXPECT_EQ(target(0, 1), (Row{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(AutoPopLogic, KnobsTakeACcRunAndTheirLimitsUnchecked)
{
    click(*panel.knobCcToggle);
    panel.knobCcStartBox->setValue(125);
    click(*panel.applyKnobsButton);
    EXPECT_EQ(target(knobs, 0), (Row{125, 126, 127, 4, 5, 6, 7, 8}));
    panel.knobCcStartBox->setValue(2);
    panel.knobCcDirection->setSelectedId(2);
    click(*panel.applyKnobsButton);
    EXPECT_EQ(target(knobs, 0), (Row{2, 1, 0, 4, 5, 6, 7, 8}));
    EXPECT_EQ(panel.getNotice(), "5 knobs left as they were: K4 to K8 (CC number would pass 0)");

    click(*panel.knobCcToggle);
    click(*panel.knobMaxToggle);
    panel.knobMaxBox->setValue(20);
    panel.knobMinBox->setValue(100);
    click(*panel.applyKnobsButton);
    EXPECT_EQ(target(knobs, 2), Row(8, 20));
    EXPECT_EQ(target(knobs, 1), Row(8, 0)) << "the minimum is not ticked";
    click(*panel.knobMinToggle);
    click(*panel.applyBankAButton);
    EXPECT_EQ(target(knobs, 1), Row(8, 0)) << "pad buttons never touch knobs";
    click(*panel.applyKnobsButton);
    EXPECT_EQ(target(knobs, 1), Row(8, 100)) << "a minimum above the maximum is kept";
}

TEST_F(AutoPopLogic, AClosedTargetIsNeverWrittenAndTheWindowNowCurrentTakesOver)
{
    auto other = makeWindow();
    current = other.get();
    applyNotes(*panel.applyBankAButton, 1, 0);
    EXPECT_EQ(target(0, 0), (Row{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(values(*other, 0, 0), defaultNotesA) << "a live target is kept";

    targetWindow.reset();
    click(*panel.applyBankAButton);
    EXPECT_EQ(controller.getTargetWindow(), other.get());
    EXPECT_EQ(values(*other, 0, 0), (Row{0, 1, 2, 3, 4, 5, 6, 7}));

    current = nullptr;
    other.reset();
    click(*panel.applyBankAButton);
    click(*panel.applyKnobsButton);
    EXPECT_EQ(controller.getTargetWindow(), nullptr);
}

TEST_F(AutoPopLogic, OneApplyIsOneStepThatUndoAndRedoTakeWhole)
{
    EditorController& edited = targetWindow->getController();
    edited.startHistory();
    const ByteArray before = edited.getProgramImage();
    click(*panel.ccTypeToggle);
    panel.ccTypeCombo->setSelectedId(1);
    applyNotes(*panel.applyBothBanksButton, 2, 36);
    const ByteArray after = edited.getProgramImage();
    ASSERT_NE(after, before);
    EXPECT_EQ(edited.getUndoName(), "Auto Populate");
    edited.undo();
    EXPECT_EQ(edited.getProgramImage(), before);
    EXPECT_FALSE(edited.canUndo());
    EXPECT_EQ(edited.getRedoName(), "Auto Populate");
    edited.redo();
    EXPECT_EQ(edited.getProgramImage(), after);
}
