#include "tools/AutoPopToolController.h"

#include "app/MainWindow.h"

#include <array>

namespace
{
constexpr int chromaticUp = 0;
constexpr int chromaticDown = 1;
constexpr int locrian = 10;

// Semitones of degrees 1 to 7 above the starting note, by scale kind.
constexpr std::array<std::array<int, 7>, 11> degrees{{
    {},
    {},
    {0, 2, 4, 5, 7, 9, 11}, // major
    {0, 2, 3, 5, 7, 8, 10}, // minor
    {0, 1, 3, 5, 7, 8, 10}, // phrygian
    {0, 2, 3, 5, 7, 9, 11}, // melodic minor
    {0, 2, 3, 5, 7, 8, 11}, // harmonic minor
    {0, 2, 4, 5, 7, 9, 10}, // mixolydian
    {0, 2, 4, 6, 7, 9, 11}, // lydian
    {0, 2, 3, 5, 7, 9, 10}, // dorian
    {0, 1, 3, 5, 6, 8, 10}, // locrian
}};

int valueOf(const NumberBox& box)
{
    return static_cast<int>(box.currentValue);
}

int stepOf(const juce::ComboBox& direction)
{
    return direction.getSelectedId() == 2 ? -1 : 1;
}

// A chromatic run carries on where bank A stopped; a seven-note scale starts again an octave up.
int bankBOffset(int kind)
{
    if (kind == chromaticUp)
        return 8;
    if (kind == chromaticDown)
        return -8;
    return 12;
}
} // namespace

AutoPopToolController::AutoPopToolController(AutoPolulateToolComponent& toolPanel, MainWindow* target,
                                             std::function<MainWindow*()> current)
    : panel(toolPanel), targetWindow(target), currentWindow(std::move(current))
{
    for (auto* button : {panel.applyBankAButton.get(), panel.applyBankBButton.get(),
                         panel.applyBothBanksButton.get(), panel.applyKnobsButton.get()})
        button->addListener(this);
}

AutoPopToolController::~AutoPopToolController()
{
    for (auto* button : {panel.applyBankAButton.get(), panel.applyBankBButton.get(),
                         panel.applyBothBanksButton.get(), panel.applyKnobsButton.get()})
        button->removeListener(this);
}

int AutoPopToolController::scaleKindFromId(int id)
{
    switch (id)
    {
    case 1:
        return chromaticUp;
    case 2:
        return chromaticDown;
    case 3:
        return 2;
    case 4:
        return 3;
    case 5:
        return 6;
    case 6:
        return 5;
    case 7:
        return 9;
    case 8:
        return 4;
    case 9:
        return 8;
    case 10:
        return 7;
    default:
        return locrian;
    }
}

int AutoPopToolController::scaleNote(int n, int i, int k)
{
    if (k == chromaticUp)
        return n + i;
    if (k == chromaticDown)
        return n + 12 * (i / 12) - i % 12;
    const auto& row = degrees[static_cast<std::size_t>(k > chromaticDown && k < locrian ? k : locrian)];
    return n + row[static_cast<std::size_t>(i % 7)] + 12 * (i / 7);
}

// A closed target is never written: the tool follows the window the musician now sees, if any.
EditorController* AutoPopToolController::findTarget()
{
    if (targetWindow == nullptr && currentWindow)
        targetWindow = currentWindow();
    return targetWindow != nullptr ? &targetWindow->getController() : nullptr;
}

void AutoPopToolController::buttonClicked(juce::Button* button)
{
    const bool knobs = button == panel.applyKnobsButton.get();
    const bool bankA = button == panel.applyBankAButton.get();
    const bool bankB = button == panel.applyBankBButton.get();
    const bool both = button == panel.applyBothBanksButton.get();
    EditorController* target = findTarget();
    if (!(knobs || bankA || bankB || both) || target == nullptr)
        return;
    NumberBox::commitPendingEdit();

    target->beginAction("Auto Populate");
    if (knobs)
    {
        if (panel.knobCcToggle->getToggleState())
            populateKnobs(0);
        if (panel.knobMinToggle->getToggleState())
            populateKnobs(1);
        if (panel.knobMaxToggle->getToggleState())
            populateKnobs(2);
    }
    else
        applyToPads(bankA || both, bankB || both);
    target->endAction();
}

void AutoPopToolController::applyToPads(bool bankA, bool bankB)
{
    const int k = scaleKindFromId(panel.scaleCombo->getSelectedId());
    const int n = panel.startNoteCombo->getSelectedId() - 1;

    if (panel.noteToggle->getToggleState())
    {
        if (bankA)
            populatePadNotes(0, n, k);
        // Bank B alone starts where bank A would.
        if (bankB)
            populatePadNotes(1, bankA ? n + bankBOffset(k) : n, k);
    }

    const auto run =
        [&](const juce::Button& toggle, const juce::ComboBox& direction, const NumberBox& start, int field)
    {
        if (!toggle.getToggleState())
            return;
        const int s = stepOf(direction);
        const int v = valueOf(start);
        if (bankA)
            populatePadRun(s, v, 0, field);
        if (bankB)
            populatePadRun(s, bankA ? v + 8 * s : v, 1, field);
    };
    run(*panel.ccToggle, *panel.ccDirection, *panel.ccStartBox, PadData::ccField);
    run(*panel.pcToggle, *panel.pcDirection, *panel.pcStartBox, PadData::programChangeField);

    if (panel.ccTypeToggle->getToggleState())
    {
        const int t = panel.ccTypeCombo->getSelectedId();
        if (bankA)
            populatePadRun(0, t, 0, PadData::triggerTypeField);
        if (bankB)
            populatePadRun(0, t, 1, PadData::triggerTypeField);
    }
}

void AutoPopToolController::populatePadNotes(int bank, int n, int k)
{
    // Only the low byte goes on; the note box refuses anything above 127, so notes below 0 are skipped,
    // never wrapped.
    for (int i = 0; i < 8; ++i)
        targetWindow->getController().setPadValue(bank, i, PadData::noteField, scaleNote(n, i, k) & 0xff);
}

void AutoPopToolController::populatePadRun(int step, int first, int bank, int field)
{
    for (int i = 0; i < 8; ++i)
        targetWindow->getController().setPadValue(bank, i, field, first + i * step);
}

void AutoPopToolController::populateKnobs(int what)
{
    auto& target = targetWindow->getController();
    if (what == 0)
    {
        const int s = stepOf(*panel.knobCcDirection);
        const double c = panel.knobCcStartBox->currentValue;
        for (int i = 0; i < 8; ++i)
            target.setKnobValue(i, 0, static_cast<int>(c + static_cast<double>(i * s)));
        return;
    }
    const int value = valueOf(what == 1 ? *panel.knobMinBox : *panel.knobMaxBox);
    for (int i = 0; i < 8; ++i)
        target.setKnobValue(i, what, value);
}

MainWindow* AutoPopToolController::getTargetWindow() const
{
    return targetWindow.getComponent();
}
