#include "tools/AutoPopToolController.h"

#include "app/MainWindow.h"

#include <algorithm>
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

// Pads as the editor labels them (A1 to B8), knobs K1 to K8; four or more in a row of one bank are
// shortened to "A5 to A8" so that the notice fits its line.
juce::String nameList(bool knob, const std::vector<int>& indices)
{
    const auto name = [knob](int index) {
        return (knob ? juce::String("K") : juce::String(index < 8 ? "A" : "B")) + juce::String(index % 8 + 1);
    };
    juce::StringArray names;
    for (std::size_t first = 0; first < indices.size();)
    {
        std::size_t last = first;
        while (last + 1 < indices.size() && indices[last + 1] == indices[last] + 1 &&
               indices[last + 1] / 8 == indices[first] / 8)
            ++last;
        if (last - first >= 3)
            names.add(name(indices[first]) + " to " + name(indices[last]));
        else
            for (std::size_t i = first; i <= last; ++i)
                names.add(name(indices[i]));
        first = last + 1;
    }
    return names.joinIntoString(", ");
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

    left.clear();
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
    panel.setNotice(describeLeft());
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
    {
        const int note = scaleNote(n, i, k);
        setPad(bank, i, PadData::noteField, note & 0xff, note);
    }
}

void AutoPopToolController::populatePadRun(int step, int first, int bank, int field)
{
    for (int i = 0; i < 8; ++i)
        setPad(bank, i, field, first + i * step, first + i * step);
}

void AutoPopToolController::populateKnobs(int what)
{
    if (what == 0)
    {
        const int s = stepOf(*panel.knobCcDirection);
        const double c = panel.knobCcStartBox->currentValue;
        for (int i = 0; i < 8; ++i)
            setKnob(i, 0, static_cast<int>(c + static_cast<double>(i * s)));
        return;
    }
    const int value = valueOf(what == 1 ? *panel.knobMinBox : *panel.knobMaxBox);
    for (int i = 0; i < 8; ++i)
        setKnob(i, what, value);
}

// The target's boxes refuse what is out of range; the tool only keeps count, nothing is clamped.
void AutoPopToolController::setPad(int bank, int pad, int field, int value, int unmasked)
{
    if (field != PadData::triggerTypeField && (unmasked < 0 || unmasked > 127))
        left.push_back({false, field, unmasked < 0 ? 0 : 127, bank * 8 + pad});
    targetWindow->getController().setPadValue(bank, pad, field, value);
}

void AutoPopToolController::setKnob(int knob, int field, int value)
{
    if (value < 0 || value > 127)
        left.push_back({true, field, value < 0 ? 0 : 127, knob});
    targetWindow->getController().setKnobValue(knob, field, value);
}

juce::String AutoPopToolController::describeLeft() const
{
    static const char* const padFields[] = {"note", "CC value", "program change"};
    static const char* const knobFields[] = {"CC number", "minimum", "maximum"};
    // One part per field and end, in the order of the writes.
    std::vector<std::pair<Left, std::vector<int>>> parts;
    for (const Left& value : left)
    {
        auto part = std::find_if(parts.begin(), parts.end(),
                                 [&value](const auto& p) {
                                     return p.first.knob == value.knob && p.first.field == value.field &&
                                            p.first.end == value.end;
                                 });
        if (part == parts.end())
            part = parts.insert(parts.end(), {value, {}});
        part->second.push_back(value.index);
    }
    juce::StringArray texts;
    for (const auto& [kind, indices] : parts)
        texts.add(nameList(kind.knob, indices) + " (" +
                  (kind.knob ? knobFields : padFields)[static_cast<std::size_t>(kind.field)] +
                  " would pass " + juce::String(kind.end) + ")");
    if (texts.isEmpty())
        return {};
    const int count = static_cast<int>(left.size());
    const juce::String what = parts.size() > 1 ? "value" : parts.front().first.knob ? "knob" : "pad";
    return juce::String(count) + " " + what + (count == 1 ? " left as it was: " : "s left as they were: ") +
           texts.joinIntoString("; ");
}

MainWindow* AutoPopToolController::getTargetWindow() const
{
    return targetWindow.getComponent();
}
