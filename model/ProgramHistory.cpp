#include "model/ProgramHistory.h"

namespace
{
// Names by position in the 108 decoded values.
juce::String valueName(int index)
{
    static const char* const globals[] = {
        "PAD CHANNEL", "KEYBED CHANNEL", "KEYBED OCTAVE", "ARP ON/OFF", "MODE",  "TIME DIV",  "CLOCK",
        "LATCH",       "SWING",          "TEMPO TAPS",    "TEMPO",      "TEMPO", "ARP OCTAVE"};
    if (index < 13)
        return globals[index];
    if (index < 19)
    {
        static const char* const fields[] = {"message type", "first CC", "second CC"};
        return juce::String(index < 16 ? "X AXIS " : "Y AXIS ") + fields[(index - 13) % 3];
    }
    if (index < 83)
    {
        static const char* const fields[] = {"Note", "PC", "CC", "Trigger"};
        const int pad = (index - 19) / 4;
        return "Pad " + juce::String(pad < 8 ? "A" : "B") + juce::String(pad % 8 + 1) + " " +
               fields[(index - 19) % 4];
    }
    if (index < 107)
    {
        static const char* const fields[] = {"CC", "LO", "HI"};
        return "Knob " + juce::String((index - 83) / 3 + 1) + " " + fields[(index - 83) % 3];
    }
    return "TRANSPOSE";
}
} // namespace

void ProgramHistory::reset(ProgramValues start)
{
    programs.clear();
    programs.push_back({std::move(start), {}});
    position = 0;
}

void ProgramHistory::record(ProgramValues next, const juce::String& changeName)
{
    if (!isStarted())
        return;
    programs.erase(programs.begin() + static_cast<long>(position) + 1, programs.end());
    programs.push_back({std::move(next), changeName});
    while (programs.size() > static_cast<std::size_t>(maxSteps) + 1)
        programs.pop_front();
    position = programs.size() - 1;
}

const ProgramValues& ProgramHistory::undo()
{
    if (canUndo())
        --position;
    return current();
}

const ProgramValues& ProgramHistory::redo()
{
    if (canRedo())
        ++position;
    return current();
}

juce::String ProgramHistory::describeChange(const ProgramValues& before, const ProgramValues& after)
{
    juce::StringArray names;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i])
            names.addIfNotAlreadyThere(valueName(static_cast<int>(i)));
    return names.size() == 1 ? names[0] : juce::String("Changes");
}
